#pragma once

#include <vector>

namespace tw {

// One descriptor that becomes readable when any of the sources does (an epoll set), for a
// desktop whose notices come from several connections. Throws tw::Exception with the
// system's text when it cannot be made. The caller closes it.
int WaitOnAll(const std::vector<int>& sources);

} // namespace tw
