#include "platform/win32/win32_error.h"

#include "platform/win32/win32_text.h"

#include <windows.h>

#include <cstdio>

namespace tw {

std::string SystemErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    // In the user's language, which need not fit any code page: UTF-8 like all our text.
    std::string text = length ? Utf8Text(std::wstring_view(buffer, length)) : std::string();
    if (buffer) {
        LocalFree(buffer);
    }
    while (!text.empty() &&
           (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) {
        text.pop_back();
    }
    if (text.empty()) {
        char fallback[64];
        std::snprintf(fallback, sizeof fallback, "System error 0x%08lX", code);
        text = fallback;
    }
    return text;
}

void RaiseOSError(unsigned long code) {
    throw EOSError(code, SystemErrorText(code));
}

void RaiseLastOSError() {
    RaiseOSError(GetLastError());
}

void CheckComResult(long result) {
    if (FAILED(result)) {
        RaiseOSError(static_cast<unsigned long>(result));
    }
}

} // namespace tw
