#include "platform/linux/session_desktop.h"

#include "platform/linux/accessibility_switch.h"
#include "platform/linux/atspi_client.h"
#include "platform/linux/browser_address.h"
#include "platform/linux/logind.h"
#include "platform/linux/notice_wait.h"
#include "platform/linux/session_notices.h"

#include <unistd.h>

namespace tw {

TLinuxSessionDesktop::TLinuxSessionDesktop()
    : session_(std::make_unique<TSessionNotices>()), atspi_(std::make_unique<TAtspiClient>()),
      addresses_(std::make_unique<TBrowserAddresses>(*atspi_)),
      accessibilitySwitch_(std::make_unique<TAccessibilitySwitch>(*atspi_)) {}

TLinuxSessionDesktop::~TLinuxSessionDesktop() {
    if (noticeDescriptor_ >= 0) {
        ::close(noticeDescriptor_);
    }
}

void TLinuxSessionDesktop::WaitAlsoOn(std::vector<int> sources) {
    std::vector<int> all = session_->Descriptors();
    for (const int source : sources) {
        if (source >= 0) {
            all.push_back(source);
        }
    }
    noticeDescriptor_ = WaitOnAll(all);
}

void TLinuxSessionDesktop::NeedAddresses(bool needed) {
    accessibilitySwitch_->Need(needed);
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
        return false;
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
