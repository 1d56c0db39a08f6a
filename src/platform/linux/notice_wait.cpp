#include "platform/linux/notice_wait.h"

#include "base/exception.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/epoll.h>

namespace tw {

int WaitOnAll(const std::vector<int>& sources) {
    const int descriptor = ::epoll_create1(EPOLL_CLOEXEC);
    if (descriptor < 0) {
        throw Exception(std::string("Unable to wait for desktop notices: ") + std::strerror(errno));
    }
    for (const int source : sources) {
        epoll_event watch{};
        watch.events = EPOLLIN;
        watch.data.fd = source;
        ::epoll_ctl(descriptor, EPOLL_CTL_ADD, source, &watch);
    }
    return descriptor;
}

} // namespace tw
