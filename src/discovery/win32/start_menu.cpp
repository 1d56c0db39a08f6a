#include "discovery/win32/start_menu.h"

#include "base/text.h"
#include "discovery/program_lines.h"
#include "discovery/shortcut_bytes.h"
#include "platform/win32/com_ids.h"
#include "platform/win32/win32_error.h"

#include <shlobj.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <set>

namespace tw {

namespace {

struct TCaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return LowerAscii(a) < LowerAscii(b);
    }
};
using TSortedFiles = std::set<std::string, TCaseInsensitiveLess>;

constexpr CLSID ClsidShellLink = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID IidShellLinkA = {
    0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID IidPersistFile = {
    0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

void CollectFiles(const std::string& folder, TSortedFiles& files) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CollectFiles(folder + name + "\\", files);
        } else {
            files.insert(folder + name);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

std::string SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) {
        return {};
    }
    char narrow[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, path, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

std::wstring Widen(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::string Narrow(const std::u16string& text) {
    std::wstring wide(text.begin(), text.end());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), narrow.data(),
                        length, nullptr, nullptr);
    return narrow;
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

std::string ShortcutTarget(const std::string& shortcutPath) {
    TComPtr<IShellLinkA> link;
    CheckComResult(CoCreateInstance(ClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, IidShellLinkA,
                                    reinterpret_cast<void**>(link.Out())));
    TComPtr<IPersistFile> file;
    CheckComResult(link->QueryInterface(IidPersistFile, reinterpret_cast<void**>(file.Out())));
    CheckComResult(file->Load(Widen(shortcutPath).c_str(), 0));
    char raw[MAX_PATH] = {};
    CheckComResult(link->GetPath(raw, MAX_PATH, nullptr, SLGP_RAWPATH));
    std::string target = raw;
    char longForm[MAX_PATH] = {};
    const DWORD longLength = GetLongPathNameA(target.c_str(), longForm, MAX_PATH);
    if (longLength > 0 && longLength < MAX_PATH) {
        target = longForm;
    }
    char expanded[MAX_PATH] = {};
    const DWORD expandedLength = ExpandEnvironmentStringsA(target.c_str(), expanded, MAX_PATH);
    if (expandedLength > 0 && expandedLength <= MAX_PATH) {
        target = expanded;
    }
    if (target.find("\\Installer\\{") != std::string::npos) {
        // Resolved against the shortcut's folder in the text: the process's current
        // folder is left alone.
        if (auto relative = RelativePathInShortcut(FileBytes(shortcutPath))) {
            const std::string folder = shortcutPath.substr(0, shortcutPath.find_last_of("\\/") + 1);
            target = AbsolutePathFrom(folder, Narrow(*relative));
        }
    }
    return target;
}

void ShortcutPrograms(const std::vector<std::string>& folders, std::vector<std::string>& lines) {
    TSortedFiles files;
    for (const std::string& folder : folders) {
        if (!folder.empty()) {
            CollectFiles(IncludeTrailingDelimiter(folder), files);
        }
    }
    for (const std::string& file : files) {
        if (!SameText(ExtractFileExt(file), ".lnk")) {
            continue;
        }
        const std::string target = ShortcutTarget(file);
        if (IsOfferedShortcutTarget(target)) {
            lines.push_back(ProgramLine(target, FileNameWithoutExtension(file)));
        }
    }
}

void StartMenuPrograms(std::vector<std::string>& lines) {
    ShortcutPrograms({SpecialFolder(CSIDL_COMMON_PROGRAMS), SpecialFolder(CSIDL_PROGRAMS)}, lines);
}

} // namespace tw
