#pragma once

#include <string>
#include <sys/types.h>

namespace twtest {

// A D-Bus bus of the test's own, ended with the object. The services it starts on demand take
// over this process's environment as it is when the bus starts.
class TPrivateBus {
  public:
    TPrivateBus();
    ~TPrivateBus();
    TPrivateBus(const TPrivateBus&) = delete;
    TPrivateBus& operator=(const TPrivateBus&) = delete;

    const std::string& Address() const { return address_; }

  private:
    pid_t pid_ = -1;
    std::string address_;
};

} // namespace twtest
