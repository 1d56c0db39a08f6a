#include "platform/session_end.h"

#include "platform/win32/hidden_window.h"

#include <windows.h>

#include <atomic>

namespace tw {

namespace {

constexpr const wchar_t* WindowClassName = L"TallywickSessionWindow";
// Posted to the window by the console's handler, which runs on a thread of its own.
constexpr UINT ConsoleEventMessage = WM_APP + 0x45;
// A closed console gives its processes 5 s before it ends them.
constexpr DWORD ConsoleEndWaitMs = 4500;

// What the console's handler may touch from its own thread: the window to post to (null
// once the watch is gone) and an event that is set once `end` has run. The event is never
// closed, so a handler still waiting when the watch goes cannot wait on a closed handle.
std::atomic<HWND> sessionWindow = nullptr;
HANDLE endedEvent = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    const HWND window = sessionWindow.load();
    if (!window || !PostMessageW(window, ConsoleEventMessage, event, 0)) {
        return FALSE;
    }
    // Ctrl+C and Ctrl+Break leave the process to us; the others end it when this returns.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        WaitForSingleObject(endedEvent, ConsoleEndWaitMs);
    }
    return TRUE;
}

} // namespace

struct TSessionEndWatch::TState {
    std::function<void()> end;
    HWND window = nullptr;
    bool delivered = false;

    void Run() {
        if (!delivered) {
            delivered = true;
            // Nothing may unwind into the system's frames that called the window.
            try {
                end();
            } catch (...) {
            }
        }
        SetEvent(endedEvent);
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* state = reinterpret_cast<TState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
        case WM_QUERYENDSESSION:
            return TRUE; // never stand in the way of the session's end
        case WM_ENDSESSION:
            // After this returns the system may end the process at any moment.
            if (wParam && state) {
                state->Run();
            }
            return 0;
        case ConsoleEventMessage:
            if (state) {
                state->Run();
            }
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
        }
    }
};

TSessionEndWatch::TSessionEndWatch(std::function<void()> end) : state_(std::make_unique<TState>()) {
    state_->end = std::move(end);
    if (!endedEvent) {
        endedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ResetEvent(endedEvent);
    state_->window = CreateHiddenWindow(WindowClassName, &TState::WindowProc);
    SetWindowLongPtrW(state_->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_.get()));
    sessionWindow = state_->window;
    SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
}

TSessionEndWatch::~TSessionEndWatch() {
    SetConsoleCtrlHandler(&OnConsoleEvent, FALSE);
    sessionWindow = nullptr;
    SetWindowLongPtrW(state_->window, GWLP_USERDATA, 0);
    DestroyWindow(state_->window);
}

int TSessionEndWatch::Descriptor() const {
    return -1;
}

void TSessionEndWatch::Deliver() {
    // The window procedure delivers, from whichever loop handles the thread's messages.
}

} // namespace tw
