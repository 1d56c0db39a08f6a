#include "platform/win32/win32_desktop.h"

#include "platform/win32/browser_walk.h"
#include "platform/win32/process_image_path.h"
#include "platform/win32/shutdown.h"
#include "platform/win32/win32_accessible.h"
#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_notices.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/window_styles.h"

#include <exception>

namespace tw {

namespace {

constexpr int WindowTextLength = 1024;
constexpr UINT WindowTextTimeoutMs = 2000;

// The callbacks run inside the system's enumeration, which must not be unwound through:
// an exception is held, the enumeration stopped, and the exception raised again after.
struct TEnumeration {
    const std::function<bool(TWindowHandle)>& visit;
    std::exception_ptr failure;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM context) {
    auto* enumeration = reinterpret_cast<TEnumeration*>(context);
    try {
        return enumeration->visit(FromHwnd(window)) ? TRUE : FALSE;
    } catch (...) {
        enumeration->failure = std::current_exception();
        return FALSE;
    }
}

} // namespace

TWin32Desktop::TWin32Desktop()
    : addresses_([](TWindowHandle window, unsigned timeoutMs, bool& standard) {
          auto answer = TWin32Accessible::TClientAnswer::NoAnswer;
          auto object = TWin32Accessible::ClientOf(ToHwnd(window), timeoutMs, answer);
          standard = answer == TWin32Accessible::TClientAnswer::Standard;
          return object;
      }) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comInitialized_ = SUCCEEDED(com); // S_FALSE too: every success needs its uninitialise
    notices_ = std::make_unique<TWin32Notices>();
}

TWin32Desktop::~TWin32Desktop() {
    notices_.reset();
    if (comInitialized_) {
        CoUninitialize();
    }
}

TWindowFacts TWin32Desktop::WhatIsInFront() {
    const TWindowHandle foreground = FromHwnd(GetForegroundWindow());
    return foreground == 0 ? TWindowFacts{} : DescribeWin32Window(*this, foreground);
}

void TWin32Desktop::DescribeTopLevelWindows(const std::function<bool(const TWindowFacts&)>& visit) {
    EnumTopLevelWindows(
        [&](TWindowHandle window) { return visit(DescribeWin32Window(*this, window)); });
}

void TWin32Desktop::EnumTopLevelWindows(const std::function<bool(TWindowHandle)>& visit) {
    TEnumeration enumeration{visit, nullptr};
    EnumWindows(&VisitWindow, reinterpret_cast<LPARAM>(&enumeration));
    if (enumeration.failure) {
        std::rethrow_exception(enumeration.failure);
    }
}

void TWin32Desktop::EnumDescendants(TWindowHandle window,
                                    const std::function<bool(TWindowHandle)>& visit) {
    TEnumeration enumeration{visit, nullptr};
    EnumChildWindows(ToHwnd(window), &VisitWindow, reinterpret_cast<LPARAM>(&enumeration));
    if (enumeration.failure) {
        std::rethrow_exception(enumeration.failure);
    }
}

std::string TWin32Desktop::ClassName(TWindowHandle window) {
    wchar_t name[260] = {};
    const int length = GetClassNameW(ToHwnd(window), name, 260);
    return length > 0 ? Utf8Text(std::wstring_view(name, static_cast<size_t>(length)))
                      : std::string();
}

std::string TWin32Desktop::WindowText(TWindowHandle window) {
    wchar_t text[WindowTextLength] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(ToHwnd(window), WM_GETTEXT, WindowTextLength,
                             reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, WindowTextTimeoutMs,
                             &copied)) {
        return {};
    }
    text[WindowTextLength - 1] = L'\0';
    std::wstring_view cut(text, wcsnlen(text, WindowTextLength - 1));
    // A text cut at the limit may end in the first half of a character beyond it.
    if (!cut.empty() && IS_HIGH_SURROGATE(cut.back())) {
        cut.remove_suffix(1);
    }
    return Utf8Text(cut);
}

std::string TWin32Desktop::ExecutablePath(TWindowHandle window) {
    // A window gone meanwhile has no process: the open of process 0 fails and says why.
    return ProcessImagePath(ProcessOf(window));
}

unsigned long TWin32Desktop::ProcessOf(TWindowHandle window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(ToHwnd(window), &processId);
    return processId;
}

bool TWin32Desktop::IsShown(TWindowHandle window) {
    return IsWindowVisible(ToHwnd(window)) != FALSE;
}

std::shared_ptr<TAccessible> TWin32Desktop::AccessibleObject(TWindowHandle window) {
    return TWin32Accessible::FromWindow(ToHwnd(window));
}

void TWin32Desktop::PostCloseRequest(TWindowHandle window) {
    PostMessageW(ToHwnd(window), WM_CLOSE, 0, 0);
}

void TWin32Desktop::ShutdownComputer(TShutdownKind kind, int timeoutSeconds) {
    ShutdownWindows(kind, timeoutSeconds);
}

void TWin32Desktop::KeepOffTaskbar(TWindowHandle window) {
    RemoveTaskbarButton(window);
}

bool TWin32Desktop::NextNotice(TNotice& notice) {
    return notices_->Next(notice);
}

bool TWin32Desktop::WakeOnNotices(std::function<void()> wake) {
    notices_->WakeOnNotices(std::move(wake));
    return true;
}

TWindowHandle TWin32Desktop::NoticeWindow() const {
    return FromHwnd(notices_->Window());
}

} // namespace tw
