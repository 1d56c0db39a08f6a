#include "platform/wayland/sway_ipc.h"

#include "base/exception.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tw {

namespace {

constexpr char Magic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::size_t HeaderSize = sizeof Magic + 2 * sizeof(std::uint32_t);
// A compositor that does not answer within this is stuck: the scan must not be.
constexpr int ReplyTimeoutMs = 2000;
// More than any tree of windows: a length beyond it means the stream is not sway's.
constexpr std::uint32_t MaxReply = 64u << 20;

bool WriteAll(int socket, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::send(socket, data, size, MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ReadAll(int socket, char* data, std::size_t size,
             std::chrono::steady_clock::time_point deadline) {
    while (size > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait{socket, POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(std::max<long>(0, left.count())));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready == 0) {
            throw Exception("sway did not answer within " + std::to_string(ReplyTimeoutMs) + " ms");
        }
        const ssize_t got = ready < 0 ? -1 : ::recv(socket, data, size, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace

TSwayIpc::TSwayIpc(const std::string& path) : path_(path) {
    Connect();
}

TSwayIpc::~TSwayIpc() {
    Close();
}

void TSwayIpc::Close() {
    if (socket_ >= 0) {
        ::close(socket_);
        socket_ = -1;
    }
}

void TSwayIpc::Connect() {
    Close();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.empty() || path_.size() >= sizeof address.sun_path) {
        throw Exception("sway's IPC socket \"" + path_ + "\" is not a usable path");
    }
    std::memcpy(address.sun_path, path_.c_str(), path_.size());
    socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0 ||
        ::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const std::string reason = std::strerror(errno);
        Close();
        throw Exception("Unable to reach sway at \"" + path_ + "\": " + reason);
    }
}

bool TSwayIpc::TryAsk(TMessage type, const std::string& payload, std::string& reply) {
    char header[HeaderSize];
    const auto length = static_cast<std::uint32_t>(payload.size());
    const auto kind = static_cast<std::uint32_t>(type);
    std::memcpy(header, Magic, sizeof Magic);
    std::memcpy(header + sizeof Magic, &length, sizeof length);
    std::memcpy(header + sizeof Magic + sizeof length, &kind, sizeof kind);
    if (!WriteAll(socket_, header, sizeof header) ||
        !WriteAll(socket_, payload.data(), payload.size())) {
        return false;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(ReplyTimeoutMs);
    // Events of a subscription never arrive here (this connection subscribes to none), so
    // the next reply is the answer.
    if (!ReadAll(socket_, header, sizeof header, deadline)) {
        return false;
    }
    std::uint32_t replyLength = 0;
    std::uint32_t replyType = 0;
    std::memcpy(&replyLength, header + sizeof Magic, sizeof replyLength);
    std::memcpy(&replyType, header + sizeof Magic + sizeof replyLength, sizeof replyType);
    if (std::memcmp(header, Magic, sizeof Magic) != 0 || replyType != kind ||
        replyLength > MaxReply) {
        Close();
        throw Exception("sway's IPC answered something else than a reply");
    }
    reply.assign(replyLength, '\0');
    return ReadAll(socket_, reply.data(), reply.size(), deadline);
}

std::string TSwayIpc::Ask(TMessage type, const std::string& payload) {
    std::string reply;
    try {
        if (socket_ >= 0 && TryAsk(type, payload, reply)) {
            return reply;
        }
        Connect();
        if (TryAsk(type, payload, reply)) {
            return reply;
        }
    } catch (const Exception&) {
        // A reply cut off by the timeout would leave its rest to be taken for the next one.
        Close();
        throw;
    }
    Close();
    throw Exception("sway closed its IPC connection");
}

} // namespace tw
