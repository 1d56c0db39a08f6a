#include "support/private_bus.h"

#include <csignal>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace twtest {

TPrivateBus::TPrivateBus() {
    int output[2];
    if (pipe(output) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_ = fork();
    if (pid_ == 0) {
        close(output[0]);
        const std::string fd = "--print-address=" + std::to_string(output[1]);
        execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile", fd.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(output[1]);
    char c = 0;
    pollfd waiting{output[0], POLLIN, 0};
    while (poll(&waiting, 1, 10000) > 0 && read(output[0], &c, 1) == 1 && c != '\n') {
        address_ += c;
    }
    close(output[0]);
    if (address_.empty()) {
        throw std::runtime_error("a private bus did not start (is dbus-daemon there?)");
    }
}

TPrivateBus::~TPrivateBus() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

} // namespace twtest
