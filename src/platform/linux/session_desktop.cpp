#include "platform/linux/session_desktop.h"

#include "platform/linux/accessibility_switch.h"
#include "platform/linux/atspi_client.h"
#include "platform/linux/browser_address.h"
#include "platform/linux/logind.h"
#include "platform/linux/notice_wait.h"
#include "platform/linux/session_notices.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tw {

TLinuxSessionDesktop::TLinuxSessionDesktop()
    : session_(std::make_unique<TSessionNotices>()), atspi_(std::make_unique<TAtspiClient>()),
      addresses_(std::make_unique<TBrowserAddresses>(*atspi_)),
      accessibilitySwitch_(std::make_unique<TAccessibilitySwitch>(*atspi_)),
      announced_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TLinuxSessionDesktop::~TLinuxSessionDesktop() {
    for (const int descriptor : {noticeDescriptor_, announced_}) {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
}

void TLinuxSessionDesktop::WaitAlsoOn(std::vector<int> sources) {
    std::vector<int> all = session_->Descriptors();
    sources.push_back(announced_);
    for (const int source : sources) {
        if (source >= 0) {
            all.push_back(source);
        }
    }
    noticeDescriptor_ = WaitOnAll(all);
}

void TLinuxSessionDesktop::NeedAddresses(bool needed) {
    if (accessibilitySwitch_->Need(needed)) {
        Announce(TNotice(TDesktopNotice::SwitchedBackOn,
                         "The desktop's accessibility was switched off while websites are on "
                         "Tallywick's list; Tallywick switched it on again. A browser started "
                         "while it was off shows Tallywick no page until it is started again."));
    }
}

void TLinuxSessionDesktop::Announce(const TNotice& notice) {
    if (notice.what == TDesktopNotice::SwitchedBackOn &&
        !toldSwitchedBackOn_.insert(notice.detail).second) {
        return;
    }
    announcements_.push_back(notice);
    const std::uint64_t one = 1;
    // A counter that is full is readable already, which wakes the loop as well.
    [[maybe_unused]] const ssize_t written = ::write(announced_, &one, sizeof one);
}

void TLinuxSessionDesktop::ShutdownComputer(TShutdownKind kind, int timeoutSeconds) {
    LogindShutdown(kind, timeoutSeconds);
}

bool TLinuxSessionDesktop::NextNotice(TNotice& notice) {
    if (NextOwnNotice(notice)) {
        return true;
    }
    TDesktopNotice what{};
    if (!session_->Next(what)) {
        if (announcements_.empty()) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t read = ::read(announced_, &count, sizeof count);
            return false;
        }
        notice = announcements_.front();
        announcements_.pop_front();
        return true;
    }
    notice = TNotice(what);
    return true;
}

std::string TLinuxSessionDesktop::LockDetectionProblem() {
    return session_->LockDetectionProblem();
}

void TLinuxSessionDesktop::ReadAddress(TWindowFacts& facts, const TBrowserWindow& browser) {
    PutAddressInto(facts, browser.family, addresses_->Read(browser));
}

} // namespace tw
