#pragma once

#include <cstdint>
#include <string>

namespace tw {

// One connection to sway's IPC socket: a request and its reply in the framing sway shares
// with i3 ("i3-ipc", the payload's length, the message's type, the payload, in the
// machine's byte order).
class TSwayIpc {
  public:
    // Unscoped: the values are the message types written into the request's header.
    enum TMessage : std::uint32_t { smRunCommand = 0, smGetTree = 4 };

    // Connects to the socket at path. Throws tw::Exception with the system's text when it
    // cannot be reached.
    explicit TSwayIpc(const std::string& path);
    ~TSwayIpc();
    TSwayIpc(const TSwayIpc&) = delete;
    TSwayIpc& operator=(const TSwayIpc&) = delete;

    // The reply's payload. A connection that broke (sway restarted, a reply cut short) is
    // made once more for the request; throws tw::Exception when that fails as well.
    std::string Ask(TMessage type, const std::string& payload = {});

  private:
    void Connect();
    void Close();
    // False when the connection broke; throws on a reply that is not sway's.
    bool TryAsk(TMessage type, const std::string& payload, std::string& reply);

    std::string path_;
    int socket_ = -1;
};

} // namespace tw
