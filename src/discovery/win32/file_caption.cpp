#include "discovery/win32/file_caption.h"

#include "discovery/program_lines.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace tw {

namespace {

std::string VersionString(const std::vector<char>& data, const char* block, const char* name) {
    char query[128];
    std::snprintf(query, sizeof query, "StringFileInfo\\%s\\%s", block, name);
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), query, reinterpret_cast<void**>(&value), &length) || !value) {
        return {};
    }
    return std::string(value, strnlen(value, length));
}

} // namespace

std::string FileCaption(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) {
        return FileNameWithoutExtension(path);
    }
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) {
        return FileNameWithoutExtension(path);
    }
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD)) {
        return FileNameWithoutExtension(path);
    }
    char block[16];
    std::snprintf(block, sizeof block, "%04X%04X", translation[0], translation[1]);
    return CaptionFromVersionStrings(VersionString(data, block, "FileDescription"),
                                     VersionString(data, block, "ProductName"),
                                     VersionString(data, block, "InternalName"), path);
}

} // namespace tw
