#pragma once

#include "platform/desktop.h"
#include "platform/x11/x11_connection.h"

namespace tw {

// Work-area changes and presses of Alt, read from a connection of their own: events that
// arrive while the probe waits for a reply on the main connection would otherwise sit in
// Xlib's queue, where a poll on the descriptor never sees them.
class TX11Notices {
  public:
    explicit TX11Notices(const std::string& displayName);

    int Descriptor();
    // Throws tw::Exception("X display connection lost") once the server is gone.
    bool Next(TDesktopNotice& notice);

  private:
    bool Translate(XEvent& event, TDesktopNotice& notice);

    TX11Connection connection_;
    ::Atom workArea_ = 0;
    int inputOpcode_ = -1; // XInput2 raw keys; -1 when the server lacks them
};

} // namespace tw
