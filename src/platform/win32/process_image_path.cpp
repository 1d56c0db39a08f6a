#include "platform/win32/process_image_path.h"

#include "platform/device_path.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_handle.h"

#include <psapi.h>

namespace tw {

std::string DriveLetterPathOf(const std::string& devicePath) {
    return DevicePathToDriveLetter(devicePath, [](char letter) {
        const char drive[3] = {letter, ':', '\0'};
        char device[MAX_PATH] = {};
        // The answer is a list of names ending in an empty one; the first is current.
        return QueryDosDeviceA(drive, device, MAX_PATH) ? std::string(device) : std::string();
    });
}

std::string ProcessImagePath(unsigned long processId) {
    TKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process.Valid()) {
        return "Error: " + SystemErrorText(GetLastError());
    }
    char image[MAX_PATH] = {};
    const DWORD length = GetProcessImageFileNameA(process.Get(), image, MAX_PATH);
    return DriveLetterPathOf(std::string(image, length));
}

} // namespace tw
