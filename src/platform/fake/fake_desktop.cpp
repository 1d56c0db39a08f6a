#include "platform/fake/fake_desktop.h"

#include "base/exception.h"
#include "platform/device_path.h"

#include <algorithm>

namespace tw {

namespace {
constexpr const char* Unit = "FakeDesktop";
}

TWindowHandle TFakeDesktop::AddWindow(TFakeProcess process, TBrowserKind browser,
                                      const std::string& address) {
    const TWindowHandle window = nextHandle_;
    nextHandle_ += 0x10;
    windows_[window] = TWindow{std::move(process), browser, address, {}, {}, {}};
    topLevel_.push_back(window);
    return window;
}

void TFakeDesktop::SetAddress(TWindowHandle window, const std::string& address) {
    At(window).address = address;
}

void TFakeDesktop::SetTitle(TWindowHandle window, const std::string& title) {
    At(window).title = title;
}

void TFakeDesktop::SetAddressProblem(TWindowHandle window, TAddressProblem problem) {
    At(window).addressProblem = problem;
}

void TFakeDesktop::FailAddressRead(TWindowHandle window, const std::string& systemText) {
    At(window).readFailure = systemText;
}

void TFakeDesktop::SetDosDevice(char letter, const std::string& deviceName) {
    Require(letter >= 'C' && letter <= 'Z', Unit, "drive letter must be C..Z");
    if (deviceName.empty()) {
        dosDevices_.erase(letter);
    } else {
        dosDevices_[letter] = deviceName;
    }
}

void TFakeDesktop::RemoveWindow(TWindowHandle window) {
    At(window);
    topLevel_.erase(std::remove(topLevel_.begin(), topLevel_.end(), window), topLevel_.end());
    windows_.erase(window);
    if (foreground_ == window) {
        foreground_ = 0;
    }
}

void TFakeDesktop::ClearRecords() {
    records_.closeRequests.clear();
    records_.shutdownCalls.clear();
}

TFakeDesktop::TWindow& TFakeDesktop::At(TWindowHandle window) {
    auto at = windows_.find(window);
    Require(at != windows_.end(), Unit, "the window must exist");
    return at->second;
}

TWindowFacts TFakeDesktop::Describe(TWindowHandle window) const {
    TWindowFacts facts;
    facts.window = window;
    const auto at = windows_.find(window);
    if (at == windows_.end()) {
        facts.executablePath = std::string("Error: ") + StaleHandleError;
        return facts;
    }
    const TWindow& found = at->second;
    facts.executablePath = ExecutablePath(found.process);
    facts.browser = found.browser;
    facts.title = found.title;
    if (!found.readFailure.empty()) {
        facts.readFailure = std::make_exception_ptr(Exception(found.readFailure));
    } else if (found.addressProblem != TAddressProblem::NoProblem) {
        facts.addressProblem = found.addressProblem;
    } else {
        facts.address = found.address;
    }
    return facts;
}

std::string TFakeDesktop::ExecutablePath(const TFakeProcess& process) const {
    switch (process.kind) {
    case TFakeProcess::TKind::Unopenable:
        return "Error: " + process.text;
    case TFakeProcess::TKind::DevicePath:
        return DevicePathToDriveLetter(process.text, [this](char letter) {
            auto at = dosDevices_.find(letter);
            return at == dosDevices_.end() ? std::string() : at->second;
        });
    case TFakeProcess::TKind::Path:
        break;
    }
    return process.text;
}

TWindowFacts TFakeDesktop::WhatIsInFront() {
    return foreground_ == 0 ? TWindowFacts{} : Describe(foreground_);
}

void TFakeDesktop::DescribeTopLevelWindows(const std::function<bool(const TWindowFacts&)>& visit) {
    // A snapshot: the visitor may close windows while we go.
    const std::vector<TWindowHandle> windows = topLevel_;
    for (const TWindowHandle window : windows) {
        if (visitHook_) {
            visitHook_(window);
        }
        if (!visit(Describe(window))) {
            return;
        }
    }
}

void TFakeDesktop::PostCloseRequest(TWindowHandle window) {
    // Posting to a window that is gone fails silently, as it does for the system.
    if (windows_.count(window) != 0) {
        records_.closeRequests.push_back(window);
    }
}

void TFakeDesktop::ShutdownComputer(TShutdownKind kind, int timeoutSeconds) {
    records_.shutdownCalls.push_back({kind, timeoutSeconds});
    if (!shutdownRefusal_.empty()) {
        throw Exception(shutdownRefusal_);
    }
}

bool TFakeDesktop::NextNotice(TNotice& notice) {
    if (notices_.empty()) {
        return false;
    }
    notice = notices_.front();
    notices_.pop_front();
    return true;
}

} // namespace tw
