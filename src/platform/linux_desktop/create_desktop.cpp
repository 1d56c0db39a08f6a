#include "base/exception.h"
#include "platform/linux_desktop/desktop_choice.h"
#include "platform/wayland/compositor_connect.h"
#include "platform/wayland/wayland_desktop.h"
#include "platform/x11/x11_desktop.h"

namespace tw {

namespace {

// The X11 desktop of a Wayland session, through Xwayland: it sees the programs that run
// there and none of the Wayland ones, which the person is told.
class TXwaylandDesktop : public TX11Desktop {
  public:
    explicit TXwaylandDesktop(std::string why) : why_(std::move(why)) {}
    std::string WindowsProblem() override {
        return why_ + ": only programs running through Xwayland are seen";
    }

  private:
    std::string why_;
};

std::unique_ptr<TDesktop> OnXwayland(const TSessionEnvironment& session, const std::string& why) {
    if (session.display.empty()) {
        throw Exception(why + ", and no X11 display is reachable either");
    }
    try {
        return std::make_unique<TXwaylandDesktop>(why);
    } catch (const Exception& e) {
        // Both reasons: the second alone would hide why Wayland was not asked.
        throw Exception(why + "; " + e.what());
    }
}

} // namespace

std::unique_ptr<TDesktop> CreateDesktop() {
    const TSessionEnvironment session = TSessionEnvironment::OfThisProcess();
    const TDesktopChoice choice = ChooseDesktop(session);
    if (choice == TDesktopChoice::X11) {
        return std::make_unique<TX11Desktop>();
    }
    if (choice == TDesktopChoice::Xwayland || choice == TDesktopChoice::None) {
        const std::string desktop =
            session.currentDesktop.empty() ? "unnamed" : session.currentDesktop;
        return OnXwayland(session, "This Wayland desktop (" + desktop +
                                       ") does not tell Tallywick which window is in front");
    }
    try {
        return std::make_unique<TWaylandDesktop>(choice == TDesktopChoice::Sway ? ConnectSway()
                                                 : choice == TDesktopChoice::KWin
                                                     ? ConnectKWin()
                                                     : ConnectGnomeShell());
    } catch (const Exception& e) {
        // Counting the Xwayland programs beats not starting at all.
        return OnXwayland(session, e.what());
    }
}

} // namespace tw
