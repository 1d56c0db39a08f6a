// Windows learns of the session's end from its messages; this file is for signal systems.
#ifndef _WIN32

#include "platform/session_end.h"

#include "base/exception.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tw {

namespace {

constexpr std::array<int, 3> EndSignals = {SIGTERM, SIGHUP, SIGINT};

// The handler may only write: the byte wakes the loop, which ends in order.
volatile sig_atomic_t signalledDescriptor = -1;

void OnEndSignal(int) {
    const char byte = 1;
    if (signalledDescriptor >= 0) {
        [[maybe_unused]] ssize_t written = write(signalledDescriptor, &byte, 1);
    }
}

} // namespace

struct TSessionEndWatch::TState {
    std::function<void()> end;
    int pipe[2] = {-1, -1};
    std::array<struct sigaction, EndSignals.size()> previous{};
    bool announced = false;
    bool delivered = false;
};

TSessionEndWatch::TSessionEndWatch(std::function<void()> end) : state_(std::make_unique<TState>()) {
    state_->end = std::move(end);
    if (pipe2(state_->pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw Exception(std::string("Cannot watch for the end of the session: ") +
                        std::strerror(errno));
    }
    signalledDescriptor = state_->pipe[1];
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < EndSignals.size(); ++i) {
        sigaction(EndSignals[i], &action, &state_->previous[i]);
    }
}

TSessionEndWatch::~TSessionEndWatch() {
    for (std::size_t i = 0; i < EndSignals.size(); ++i) {
        sigaction(EndSignals[i], &state_->previous[i], nullptr);
    }
    signalledDescriptor = -1;
    close(state_->pipe[0]);
    close(state_->pipe[1]);
}

int TSessionEndWatch::Descriptor() const {
    return state_->pipe[0];
}

void TSessionEndWatch::Deliver() {
    char bytes[16];
    while (read(state_->pipe[0], bytes, sizeof bytes) > 0) {
        state_->announced = true;
    }
    if (state_->announced && !state_->delivered) {
        state_->delivered = true;
        state_->end();
    }
}

} // namespace tw

#endif
