#pragma once

#include <X11/Xlib.h>

#include <map>
#include <string>

namespace tw {

// One connection to an X server that survives what would otherwise end the process:
// protocol errors (a window that vanished between two requests) are swallowed, so the
// failing request simply answers nothing, and a broken connection (the server went away)
// marks the connection lost instead of letting Xlib exit the process. From then on
// Get() throws tw::Exception("X display connection lost").
class TX11Connection {
  public:
    // Opens the display (empty name: $DISPLAY). Throws tw::Exception naming the display
    // when it cannot be reached.
    explicit TX11Connection(const std::string& displayName);
    ~TX11Connection();
    TX11Connection(const TX11Connection&) = delete;
    TX11Connection& operator=(const TX11Connection&) = delete;

    // The open display; throws once the connection is lost.
    Display* Get();
    // Throws when the connection was lost, for example by the request just made.
    void ThrowIfLost() const;
    bool Lost() const { return lost_; }

    ::Window Root() const { return root_; }
    // The atom of a name, asked of the server once.
    ::Atom Intern(const char* name);

  private:
    static void OnConnectionLost(Display* display, void* self);

    Display* display_ = nullptr;
    ::Window root_ = 0;
    bool lost_ = false;
    std::map<std::string, ::Atom> atoms_;
};

} // namespace tw
