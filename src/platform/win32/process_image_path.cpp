#include "platform/win32/process_image_path.h"

#include "platform/win32/win32_error.h"
#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_text.h"

#include <windows.h>

namespace tw {

namespace {
// Room for paths longer than the classic limit, which the system allows for processes.
constexpr DWORD ImagePathCapacity = 4096;
// The name asked for in the system's Win32 form, not the device form.
constexpr DWORD Win32PathForm = 0;
} // namespace

std::string ProcessImagePath(unsigned long processId) {
    // The limited right is the one Windows still grants on a program run as administrator
    // (or as another user); the full query right is refused there, and such a program
    // would be neither counted nor closed.
    TKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process.Valid()) {
        return "Error: " + SystemErrorText(GetLastError());
    }
    // The system's own Win32 form maps the volume to the drive letter the session sees and
    // keeps a program started from the network as \\server\share\..., which no table of
    // drive letters can tell.
    std::wstring image(ImagePathCapacity, L'\0');
    DWORD length = ImagePathCapacity;
    if (!QueryFullProcessImageNameW(process.Get(), Win32PathForm, image.data(), &length)) {
        return "Error: " + SystemErrorText(GetLastError());
    }
    return Utf8Text(std::wstring_view(image.data(), length));
}

} // namespace tw
