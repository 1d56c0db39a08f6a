// The session's accessibility switch as the X11 backend leaves it, on a private session bus
// with the real accessibility bus launcher (which keeps the switch beyond every program).
#ifdef __linux__

#include "platform/x11/x11_desktop.h"
#include "support/browser_session.h"

#include <gtest/gtest.h>

#include <memory>
#include <poll.h>

namespace {

class X11AccessibilitySwitch : public ::testing::Test {
  protected:
    // The desktop after the session: it finds the session's bus where the program would.
    twtest::TDesktopSession session_;
    std::unique_ptr<tw::TX11Desktop> desktop_ = std::make_unique<tw::TX11Desktop>();
};

// Off before; on while addresses are needed; off again when they are not and when the desktop
// goes. A switch found on stays on.
TEST_F(X11AccessibilitySwitch, OnOnlyWhileNeededAndPutBackAsFound) {
    ASSERT_FALSE(session_.Accessibility());
    desktop_->NeedAddresses(false);
    EXPECT_FALSE(session_.Accessibility());
    desktop_->NeedAddresses(true);
    EXPECT_TRUE(session_.Accessibility());
    desktop_->NeedAddresses(false);
    EXPECT_FALSE(session_.Accessibility());

    desktop_->NeedAddresses(true);
    EXPECT_TRUE(session_.Accessibility());
    desktop_.reset(); // the program ends
    EXPECT_FALSE(session_.Accessibility());

    session_.SetAccessibility(true);
    desktop_ = std::make_unique<tw::TX11Desktop>();
    desktop_->NeedAddresses(true);
    desktop_->NeedAddresses(false);
    desktop_.reset();
    EXPECT_TRUE(session_.Accessibility());
}

// A screen reader started while the program had the switch on relies on it: it stays on, also
// when the program needs it again and then ends.
TEST_F(X11AccessibilitySwitch, ASwitchAScreenReaderReliesOnMeanwhileIsLeftOn) {
    desktop_->NeedAddresses(true);
    ASSERT_TRUE(session_.Accessibility());
    session_.SetScreenReader(true);
    desktop_->NeedAddresses(false);
    EXPECT_TRUE(session_.Accessibility());
    desktop_->NeedAddresses(true);
    desktop_.reset();
    EXPECT_TRUE(session_.Accessibility());
}

// Switched off by somebody else while addresses are needed, it is on again at the next scan,
// with the person told the first time (the loop waking for it); and as the program found it
// off, it is put back off when the program ends.
TEST_F(X11AccessibilitySwitch, SwitchedOffWhileNeededIsOnAgainAtTheNextScanAndSaidOnce) {
    desktop_->NeedAddresses(true);
    ASSERT_TRUE(session_.Accessibility());
    for (const bool firstTime : {true, false}) {
        SCOPED_TRACE(firstTime ? "first time" : "second time");
        session_.SetAccessibility(false);
        desktop_->NeedAddresses(true);
        EXPECT_TRUE(session_.Accessibility());
        if (firstTime) {
            pollfd wake{desktop_->NoticeDescriptor(), POLLIN, 0};
            EXPECT_EQ(poll(&wake, 1, 0), 1);
        }
        int told = 0;
        for (tw::TNotice notice; desktop_->NextNotice(notice);) {
            told += notice.what == tw::TDesktopNotice::SwitchedBackOn ? 1 : 0;
        }
        EXPECT_EQ(told, firstTime ? 1 : 0);
    }
    desktop_.reset();
    EXPECT_FALSE(session_.Accessibility());
}

} // namespace

#endif // __linux__
