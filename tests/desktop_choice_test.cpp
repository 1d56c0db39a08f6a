#include "platform/linux_desktop/desktop_choice.h"

#include <gtest/gtest.h>

namespace {

using tw::ChooseDesktop;
using tw::TDesktopChoice;
using tw::TSessionEnvironment;

// Variables that outlive their session (a sway socket in an X11 login, a Wayland display
// left in a terminal's environment) must not pull the choice away from the session's own
// word; a compositor we cannot ask falls back to the X11 programs it runs, or to nothing.
TEST(DesktopChoice, TheSessionsOwnWordComesFirstAndUnknownCompositorsFallBackToXwayland) {
    EXPECT_EQ(ChooseDesktop({"x11", "KDE", "wayland-0", "/run/sway.sock", ":0"}),
              TDesktopChoice::X11);
    EXPECT_EQ(ChooseDesktop({"wayland", "sway", "wayland-1", "/run/sway.sock", ":0"}),
              TDesktopChoice::Sway);
    EXPECT_EQ(ChooseDesktop({"wayland", "KDE", "wayland-0", "", ":1"}), TDesktopChoice::KWin);
    EXPECT_EQ(ChooseDesktop({"wayland", "ubuntu:GNOME", "wayland-0", "", ""}),
              TDesktopChoice::GnomeShell);
    EXPECT_EQ(ChooseDesktop({"", "", "wayland-0", "/run/sway.sock", ""}), TDesktopChoice::Sway);
    EXPECT_EQ(ChooseDesktop({"tty", "", "", "", ":0"}), TDesktopChoice::X11);
    EXPECT_EQ(ChooseDesktop({"wayland", "Hyprland", "wayland-1", "", ":0"}),
              TDesktopChoice::Xwayland);
    EXPECT_EQ(ChooseDesktop({"wayland", "Hyprland", "wayland-1", "", ""}), TDesktopChoice::None);
}

} // namespace
