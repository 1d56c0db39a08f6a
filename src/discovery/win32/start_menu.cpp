#include "discovery/win32/start_menu.h"

#include "base/text.h"
#include "discovery/program_lines.h"
#include "discovery/shortcut_bytes.h"
#include "platform/file_checks.h"
#include "platform/native_path.h"
#include "platform/win32/com_ids.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_text.h"

#include <shlobj.h>
#include <windows.h>

#include <cwchar>
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
constexpr IID IidShellLinkW = {
    0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID IidPersistFile = {
    0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Room for a shortcut's target: the shell keeps no longer one.
constexpr DWORD TargetCapacity = MAX_PATH;

void CollectFiles(const std::string& folder, TSortedFiles& files) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(WideText(folder + "*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = Utf8Text(entry.cFileName, MAX_PATH);
        if (name == "." || name == "..") {
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CollectFiles(folder + name + "\\", files);
        } else {
            files.insert(folder + name);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

std::string SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) {
        return {};
    }
    return Utf8Text(path, MAX_PATH);
}

std::string Utf8Of(const std::u16string& text) {
    return Utf8Text(std::wstring(text.begin(), text.end()));
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(NativePath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The file the link's item list names; empty when it names none.
std::string ItemListPath(IShellLinkW& link) {
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(link.GetIDList(&items)) || !items) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    const BOOL named = SHGetPathFromIDListW(items, path);
    CoTaskMemFree(items);
    return named ? Utf8Text(path, MAX_PATH) : std::string();
}

// A shortcut into the installer cache leads to its program by the relative path the
// shortcut keeps, when it keeps one.
std::string InstallerCacheResolved(const std::string& shortcutPath, std::string target) {
    if (target.find("\\Installer\\{") != std::string::npos) {
        // Resolved against the shortcut's folder in the text: the process's current
        // folder is left alone.
        if (auto relative = RelativePathInShortcut(FileBytes(shortcutPath))) {
            const std::string folder = shortcutPath.substr(0, shortcutPath.find_last_of("\\/") + 1);
            target = AbsolutePathFrom(folder, Utf8Of(*relative));
        }
    }
    return target;
}

} // namespace

std::string ShortcutTarget(const std::string& shortcutPath) {
    TComPtr<IShellLinkW> link;
    CheckComResult(CoCreateInstance(ClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, IidShellLinkW,
                                    reinterpret_cast<void**>(link.Out())));
    TComPtr<IPersistFile> file;
    CheckComResult(link->QueryInterface(IidPersistFile, reinterpret_cast<void**>(file.Out())));
    CheckComResult(file->Load(WideText(shortcutPath).c_str(), 0));
    wchar_t raw[TargetCapacity] = {};
    CheckComResult(link->GetPath(raw, TargetCapacity, nullptr, SLGP_RAWPATH));
    std::wstring target(raw, wcsnlen(raw, TargetCapacity));
    wchar_t longForm[TargetCapacity] = {};
    const DWORD longLength = GetLongPathNameW(target.c_str(), longForm, TargetCapacity);
    if (longLength > 0 && longLength < TargetCapacity) {
        target.assign(longForm, longLength);
    }
    wchar_t expanded[TargetCapacity] = {};
    const DWORD expandedLength =
        ExpandEnvironmentStringsW(target.c_str(), expanded, TargetCapacity);
    if (expandedLength > 0 && expandedLength <= TargetCapacity) {
        target.assign(expanded, wcsnlen(expanded, TargetCapacity));
    }
    std::string found = Utf8Text(target);
    // Some shells (Wine's) keep the link's path text in the code page, which loses letters
    // outside it, while its item list keeps the names as they are: the list speaks where
    // the text names no file.
    if (!FileExistsChecked(found)) {
        const std::string listed = ItemListPath(*link.Get());
        if (!listed.empty() && FileExistsChecked(listed)) {
            found = listed;
        }
    }
    return InstallerCacheResolved(shortcutPath, found);
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
