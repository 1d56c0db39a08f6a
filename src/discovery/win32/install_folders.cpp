#include "discovery/win32/install_folders.h"

#include "base/exception.h"
#include "base/text.h"
#include "discovery/program_lines.h"
#include "discovery/scan_roots.h"
#include "discovery/win32/file_caption.h"
#include "platform/file_checks.h"

#include <windows.h>

#include <algorithm>

namespace tw {

namespace {

constexpr const char* CurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* UninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

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
    char folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof name;
        const LONG result =
            RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) {
            continue; // longer than any key name may be: not ours to read
        }
        if (result != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
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
        char name[16384];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        DWORD dataLength = 0;
        LONG result =
            RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &dataLength);
        if (result != ERROR_SUCCESS) {
            break;
        }
        if (type != REG_SZ) {
            continue;
        }
        std::string data(dataLength + 1, '\0');
        nameLength = sizeof name;
        DWORD size = dataLength + 1;
        result = RegEnumValueA(key, index, name, &nameLength, nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &size);
        if (result == ERROR_SUCCESS && type == REG_SZ) {
            data.resize(strnlen(data.c_str(), size));
            values.push_back(data);
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
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileExA((folder + "*").c_str(), FindExInfoStandard, &entry,
                                     FindExSearchLimitToDirectories, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    std::vector<std::string> names;
    do {
        const std::string name = entry.cFileName;
        if (entry.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY && name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileA(search, &entry));
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
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "*.exe").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name != "." && name != ".." && IsOfferedWalkedExecutable(name)) {
                lines.push_back(ProgramLine(folder + name, FileCaption(folder + name)));
            }
        } while (FindNextFileA(search, &entry));
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
        char buffer[129] = {};
        DWORD length = sizeof buffer;
        return GetComputerNameA(buffer, &length) ? std::string(buffer, length) : std::string();
    }();
    return name;
}

std::string ProgramFilesDir(const std::string& computerName) {
    TRegistryKey machine;
    const std::string remoteName = "\\\\" + computerName;
    if (RegConnectRegistryA(remoteName.c_str(), HKEY_LOCAL_MACHINE, &machine.key) !=
        ERROR_SUCCESS) {
        throw Exception("Can't open registry on computer " + computerName);
    }
    TRegistryKey currentVersion;
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    if (RegOpenKeyExA(machine.key, CurrentVersionKey, 0, KEY_READ, &currentVersion.key) !=
            ERROR_SUCCESS ||
        RegQueryValueExA(currentVersion.key, "ProgramFilesDir", nullptr, &type,
                         reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        throw Exception("Can't open registry values on computer " + computerName);
    }
    return std::string(value, strnlen(value, size));
}

std::vector<std::string> ScanRoots() {
    const std::string programFiles = ProgramFilesDir(LocalComputerName());
    const std::vector<std::string> excluded = ExcludedFolders(programFiles, WindowsFolder());
    std::vector<std::string> roots;
    TRegistryKey uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &uninstall.key) ==
        ERROR_SUCCESS) {
        for (const std::string& name : SubkeyNames(uninstall.key)) {
            TRegistryKey entry;
            if (RegOpenKeyExA(uninstall.key, name.c_str(), 0, KEY_READ, &entry.key) !=
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
