#include "platform/win32/process_image_path.h"

#include "platform/device_path.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_text.h"

#include <psapi.h>

namespace tw {

namespace {
// Room for paths longer than the classic limit, which the system allows for processes.
constexpr DWORD ImagePathCapacity = 4096;
} // namespace

std::string DriveLetterPathOf(const std::string& devicePath) {
    return DevicePathToDriveLetter(devicePath, [](char letter) {
        const wchar_t drive[3] = {static_cast<wchar_t>(letter), L':', L'\0'};
        wchar_t device[MAX_PATH] = {};
        // The answer is a list of names ending in an empty one; the first is current.
        return QueryDosDeviceW(drive, device, MAX_PATH) ? Utf8Text(device, MAX_PATH)
                                                        : std::string();
    });
}

std::string ProcessImagePath(unsigned long processId) {
    TKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process.Valid()) {
        return "Error: " + SystemErrorText(GetLastError());
    }
    std::wstring image(ImagePathCapacity, L'\0');
    const DWORD length = GetProcessImageFileNameW(process.Get(), image.data(), ImagePathCapacity);
    return DriveLetterPathOf(Utf8Text(std::wstring_view(image.data(), length)));
}

} // namespace tw
