#include "discovery/win32/file_caption.h"

#include "discovery/program_lines.h"
#include "platform/win32/win32_text.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace tw {

namespace {

std::string VersionString(const std::vector<char>& data, const wchar_t* block,
                          const wchar_t* name) {
    wchar_t query[128];
    std::swprintf(query, 128, L"StringFileInfo\\%ls\\%ls", block, name);
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &length) || !value) {
        return {};
    }
    return Utf8Text(value, length);
}

} // namespace

std::string FileCaption(const std::string& path) {
    const std::wstring file = WideText(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) {
        return FileNameWithoutExtension(path);
    }
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) {
        return FileNameWithoutExtension(path);
    }
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD)) {
        return FileNameWithoutExtension(path);
    }
    wchar_t block[16];
    std::swprintf(block, 16, L"%04X%04X", translation[0], translation[1]);
    return CaptionFromVersionStrings(VersionString(data, block, L"FileDescription"),
                                     VersionString(data, block, L"ProductName"),
                                     VersionString(data, block, L"InternalName"), path);
}

} // namespace tw
