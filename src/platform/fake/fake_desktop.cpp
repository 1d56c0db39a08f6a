#include "platform/fake/fake_desktop.h"

#include "base/exception.h"
#include "platform/device_path.h"

#include <algorithm>

namespace tw {

namespace {
constexpr const char* Unit = "FakeDesktop";
}

TFakeDesktop::TFakeDesktop(std::shared_ptr<TFakeLockRegistry> locks)
    : locks_(locks ? std::move(locks) : std::make_shared<TFakeLockRegistry>()) {}

TWindowHandle TFakeDesktop::AddWindow(const std::string& className, TFakeProcess process,
                                      const std::string& text) {
    TWindowHandle window = NewWindow(0, className, text, std::move(process));
    topLevel_.push_back(window);
    return window;
}

TWindowHandle TFakeDesktop::AddChild(TWindowHandle parent, const std::string& className,
                                     const std::string& text) {
    TWindowHandle child = NewWindow(parent, className, text, At(parent).process);
    At(parent).children.push_back(child);
    return child;
}

TWindowHandle TFakeDesktop::NewWindow(TWindowHandle parent, const std::string& className,
                                      const std::string& text, TFakeProcess process) {
    TWindowHandle window = nextHandle_;
    nextHandle_ += 0x10;
    windows_[window] = TWindow{
        parent, className, text, std::move(process), nullptr, TAddressProblem::NoProblem, {}};
    return window;
}

void TFakeDesktop::SetText(TWindowHandle window, const std::string& text) {
    At(window).text = text;
}

void TFakeDesktop::SetAccessible(TWindowHandle window, std::shared_ptr<TAccessible> object) {
    At(window).accessible = std::move(object);
}

void TFakeDesktop::SetAddressProblem(TWindowHandle window, TAddressProblem problem) {
    At(window).addressProblem = problem;
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
    std::vector<TWindowHandle> gone{window};
    CollectDescendants(window, gone);
    const TWindowHandle parent = At(window).parent;
    auto& siblings = parent == 0 ? topLevel_ : At(parent).children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    for (TWindowHandle each : gone) {
        windows_.erase(each);
        if (foreground_ == each) {
            foreground_ = 0;
        }
    }
}

void TFakeDesktop::ClearRecords() {
    closeRequests_.clear();
    shutdownCalls_.clear();
}

TFakeDesktop::TWindow& TFakeDesktop::At(TWindowHandle window) {
    auto at = windows_.find(window);
    Require(at != windows_.end(), Unit, "the window must exist");
    return at->second;
}

const TFakeDesktop::TWindow* TFakeDesktop::Find(TWindowHandle window) const {
    auto at = windows_.find(window);
    return at == windows_.end() ? nullptr : &at->second;
}

void TFakeDesktop::CollectDescendants(TWindowHandle window,
                                      std::vector<TWindowHandle>& into) const {
    if (const TWindow* found = Find(window)) {
        for (TWindowHandle child : found->children) {
            into.push_back(child);
            CollectDescendants(child, into);
        }
    }
}

void TFakeDesktop::Visit(const std::vector<TWindowHandle>& windows,
                         const std::function<bool(TWindowHandle)>& visit) {
    for (TWindowHandle window : windows) {
        if (visitHook_) {
            visitHook_(window);
        }
        if (!visit(window)) {
            return;
        }
    }
}

void TFakeDesktop::EnumTopLevelWindows(const std::function<bool(TWindowHandle)>& visit) {
    Visit(std::vector<TWindowHandle>(topLevel_), visit);
}

void TFakeDesktop::EnumDescendants(TWindowHandle window,
                                   const std::function<bool(TWindowHandle)>& visit) {
    std::vector<TWindowHandle> descendants;
    CollectDescendants(window, descendants);
    Visit(descendants, visit);
}

std::string TFakeDesktop::ClassName(TWindowHandle window) {
    const TWindow* found = Find(window);
    return found ? found->className.substr(0, 259) : std::string();
}

std::string TFakeDesktop::WindowText(TWindowHandle window) {
    const TWindow* found = Find(window);
    return found ? found->text.substr(0, 1023) : std::string();
}

std::string TFakeDesktop::ExecutablePath(TWindowHandle window) {
    const TWindow* found = Find(window);
    if (!found) {
        return std::string("Error: ") + StaleHandleError;
    }
    const TFakeProcess& process = found->process;
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

std::shared_ptr<TAccessible> TFakeDesktop::AccessibleObject(TWindowHandle window) {
    const TWindow* found = Find(window);
    return found ? found->accessible : nullptr;
}

TAddressProblem TFakeDesktop::AddressProblem(TWindowHandle window) {
    const TWindow* found = Find(window);
    return found ? found->addressProblem : TAddressProblem::NoProblem;
}

void TFakeDesktop::PostCloseRequest(TWindowHandle window) {
    // Posting to a window that is gone fails silently, as it does for the system.
    if (Find(window)) {
        closeRequests_.push_back(window);
    }
}

void TFakeDesktop::ShutdownComputer(int mode, int timeoutSeconds) {
    shutdownCalls_.push_back({mode, timeoutSeconds});
    if (!shutdownRefusal_.empty()) {
        throw Exception(shutdownRefusal_);
    }
}

std::unique_ptr<TInstanceLock> TFakeDesktop::AcquireInstanceLock(const std::string& path) {
    return AcquireFakeInstanceLock(locks_, path);
}

bool TFakeDesktop::NextNotice(TDesktopNotice& notice) {
    if (notices_.empty()) {
        return false;
    }
    notice = notices_.front().first;
    lastNoticeCode_ = notices_.front().second;
    notices_.pop_front();
    return true;
}

} // namespace tw
