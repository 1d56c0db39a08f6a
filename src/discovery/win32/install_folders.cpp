#include "discovery/win32/install_folders.h"

#include "base/exception.h"
#include "base/text.h"
#include "discovery/program_lines.h"
#include "discovery/scan_roots.h"
#include "discovery/win32/file_caption.h"
#include "platform/file_checks.h"
#include "platform/win32/win32_text.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace tw {

namespace {

constexpr const wchar_t* CurrentVersionKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const wchar_t* UninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// The longest name a registry key may have, and a value.
constexpr DWORD KeyNameCapacity = 256;
constexpr DWORD ValueNameCapacity = 16384;

// Closes a registry key when it goes out of scope.
struct TRegistryKey {
    HKEY key = nullptr;
    ~TRegistryKey() {
        if (key) {
            RegCloseKey(key);
        }
    }
};

std::string WindowsFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? Utf8Text(std::wstring_view(folder, length))
                                           : std::string();
}

std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[KeyNameCapacity];
        DWORD length = KeyNameCapacity;
        const LONG result =
            RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) {
            continue; // longer than any key name may be: not ours to read
        }
        if (result != ERROR_SUCCESS) {
            break;
        }
        names.push_back(Utf8Text(std::wstring_view(name, length)));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return LowerAscii(a) < LowerAscii(b);
    });
    return names;
}

// The plain string values of a key (expandable strings are left out).
std::vector<std::string> StringValues(HKEY key) {
    std::vector<std::string> values;
    for (DWORD index = 0;; ++index) {
        std::vector<wchar_t> name(ValueNameCapacity);
        DWORD nameLength = ValueNameCapacity;
        DWORD type = 0;
        DWORD dataLength = 0;
        LONG result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, nullptr,
                                    &dataLength);
        if (result != ERROR_SUCCESS) {
            break;
        }
        if (type != REG_SZ) {
            continue;
        }
        // Room for a terminating zero the stored value may lack.
        std::wstring data(dataLength / sizeof(wchar_t) + 1, L'\0');
        nameLength = ValueNameCapacity;
        DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &size);
        if (result == ERROR_SUCCESS && type == REG_SZ) {
            values.push_back(Utf8Text(data.c_str(), size / sizeof(wchar_t)));
        }
    }
    return values;
}

bool FolderPresent(const std::string& folder) {
    return DirectoryExistsChecked(folder);
}

// Entries whose attributes are exactly "directory": hidden, system, read-only and archive
// folders are left out.
template <class Visit> void ForEachPlainSubfolder(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileExW(WideText(folder + "*").c_str(), FindExInfoStandard, &entry,
                                     FindExSearchLimitToDirectories, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    std::vector<std::string> names;
    do {
        const std::string name = Utf8Text(entry.cFileName, MAX_PATH);
        if (entry.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY && name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    for (const std::string& name : names) {
        visit(folder + name + "\\");
    }
}

void KeepGoingOrAbort(const TKeepGoing& keepGoing) {
    if (keepGoing && !keepGoing()) {
        throw EAbort();
    }
}

int CountIn(const std::string& folder, const TKeepGoing& keepGoing) {
    int total = 0;
    ForEachPlainSubfolder(folder, [&](const std::string& subfolder) {
        KeepGoingOrAbort(keepGoing);
        total += 1 + CountIn(subfolder, keepGoing);
    });
    return total;
}

void WalkIn(const std::string& folder, std::vector<std::string>& lines,
            const TKeepGoing& keepGoing) {
    if (!FolderPresent(folder)) {
        return;
    }
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(WideText(folder + "*.exe").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = Utf8Text(entry.cFileName, MAX_PATH);
            if (name != "." && name != ".." && IsOfferedWalkedExecutable(name)) {
                lines.push_back(ProgramLine(folder + name, FileCaption(folder + name)));
            }
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    ForEachPlainSubfolder(folder, [&](const std::string& subfolder) {
        KeepGoingOrAbort(keepGoing);
        WalkIn(subfolder, lines, keepGoing);
    });
}

} // namespace

const std::string& LocalComputerName() {
    static const std::string name = [] {
        wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
        return GetComputerNameW(buffer, &length) ? Utf8Text(std::wstring_view(buffer, length))
                                                 : std::string();
    }();
    return name;
}

std::string ProgramFilesDir(const std::string& computerName) {
    TRegistryKey machine;
    const std::wstring remoteName = L"\\\\" + WideText(computerName);
    if (RegConnectRegistryW(remoteName.c_str(), HKEY_LOCAL_MACHINE, &machine.key) !=
        ERROR_SUCCESS) {
        throw Exception("Can't open registry on computer " + computerName);
    }
    TRegistryKey currentVersion;
    wchar_t value[MAX_PATH * 2] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    if (RegOpenKeyExW(machine.key, CurrentVersionKey, 0, KEY_READ, &currentVersion.key) !=
            ERROR_SUCCESS ||
        RegQueryValueExW(currentVersion.key, L"ProgramFilesDir", nullptr, &type,
                         reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        throw Exception("Can't open registry values on computer " + computerName);
    }
    return Utf8Text(value, size / sizeof(wchar_t));
}

std::vector<std::string> ScanRoots() {
    const std::string programFiles = ProgramFilesDir(LocalComputerName());
    const std::vector<std::string> excluded = ExcludedFolders(programFiles, WindowsFolder());
    std::vector<std::string> roots;
    TRegistryKey uninstall;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &uninstall.key) ==
        ERROR_SUCCESS) {
        for (const std::string& name : SubkeyNames(uninstall.key)) {
            TRegistryKey entry;
            if (RegOpenKeyExW(uninstall.key, WideText(name).c_str(), 0, KEY_READ, &entry.key) !=
                ERROR_SUCCESS) {
                continue;
            }
            for (const std::string& value : StringValues(entry.key)) {
                AddRoot(roots, RootFromUninstallValue(value), excluded);
            }
        }
    }
    roots.push_back(IncludeTrailingDelimiter(programFiles));
    PruneRoots(roots);
    return roots;
}

int CountFolders(const std::vector<std::string>& roots, const TKeepGoing& keepGoing) {
    int total = 0;
    for (const std::string& root : roots) {
        if (FolderPresent(root)) {
            total += CountIn(root, keepGoing);
        }
    }
    return total;
}

int CountInstallFolders(const TKeepGoing& keepGoing) {
    return CountFolders(ScanRoots(), keepGoing);
}

void WalkFolders(const std::vector<std::string>& roots, std::vector<std::string>& lines,
                 const TKeepGoing& keepGoing) {
    for (const std::string& root : roots) {
        WalkIn(root, lines, keepGoing);
    }
}

void WalkInstallFolders(std::vector<std::string>& lines, const TKeepGoing& keepGoing) {
    WalkFolders(ScanRoots(), lines, keepGoing);
}

} // namespace tw
