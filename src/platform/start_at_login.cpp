#include "platform/start_at_login.h"

#include "base/exception.h"

#ifdef _WIN32

#include "platform/native_path.h"

#include <system_error>

#include <windows.h>

namespace tw {
namespace {

constexpr wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

[[noreturn]] void Fail(const char* what, LSTATUS error) {
    throw Exception(std::string("Unable to ") + what + " the value \"" + RunValueName +
                    "\" of HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
                    "\r\nError: " +
                    std::system_category().message(static_cast<int>(error)));
}

} // namespace

bool StartAtLoginAvailable() {
    return true;
}

bool StartsAtLogin() {
    DWORD size = 0;
    return RegGetValueW(HKEY_CURRENT_USER, RunKey, NativePath(RunValueName).c_str(),
                        RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, nullptr,
                        &size) == ERROR_SUCCESS &&
           size > sizeof(wchar_t);
}

void SetStartAtLogin(bool on, const std::string& programPath) {
    const std::wstring name = NativePath(RunValueName).wstring();
    if (!on) {
        const LSTATUS error = RegDeleteKeyValueW(HKEY_CURRENT_USER, RunKey, name.c_str());
        if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) {
            Fail("remove", error);
        }
        return;
    }
    // Quoted: the shell splits an unquoted command line at the first space of the path.
    const std::wstring command = L"\"" + NativePath(programPath).wstring() + L"\"";
    const LSTATUS error =
        RegSetKeyValueW(HKEY_CURRENT_USER, RunKey, name.c_str(), REG_SZ, command.c_str(),
                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    if (error != ERROR_SUCCESS) {
        Fail("write", error);
    }
}

std::string UserAutostartFolder() {
    return std::string();
}

} // namespace tw

#else

#include "platform/program_paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace tw {
namespace {

namespace fs = std::filesystem;

enum class TEntry { Missing, Starts, Hidden };

// Only what decides starting matters here, in the "[Desktop Entry]" group: "Hidden=true"
// makes every desktop treat the entry as deleted, and "X-GNOME-Autostart-enabled=false" is
// what several desktops' own startup settings write to turn an entry off.
TEntry ReadEntry(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        return TEntry::Missing;
    }
    const auto trimmed = [](std::string text) {
        text.erase(0, text.find_first_not_of(" \t"));
        text.erase(text.find_last_not_of(" \t\r") + 1);
        return text;
    };
    bool inMainGroup = false;
    std::string line;
    while (std::getline(file, line)) {
        line = trimmed(line);
        if (!line.empty() && line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inMainGroup || equals == std::string::npos) {
            continue;
        }
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        if ((key == "Hidden" && value == "true") ||
            (key == "X-GNOME-Autostart-enabled" && value == "false")) {
            return TEntry::Hidden;
        }
    }
    return TEntry::Starts;
}

// $XDG_CONFIG_DIRS (absolute entries only), or /etc/xdg, each with "/autostart/".
std::vector<std::string> SystemAutostartFolders() {
    std::vector<std::string> folders;
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::istringstream list(dirs && *dirs ? dirs : "/etc/xdg");
    std::string folder;
    while (std::getline(list, folder, ':')) {
        if (!folder.empty() && folder.front() == '/') {
            folders.push_back(folder + "/autostart/");
        }
    }
    return folders;
}

TEntry SystemEntry() {
    for (const std::string& folder : SystemAutostartFolders()) {
        if (TEntry entry = ReadEntry(folder + AutostartEntryName); entry != TEntry::Missing) {
            return entry;
        }
    }
    return TEntry::Missing;
}

// The Exec value for one program path: quoted, with the characters the quoting reserves
// escaped, then the escapes of any string value applied on top.
std::string ExecValue(const std::string& program) {
    std::string quoted = "\"";
    for (char c : program) {
        if (std::strchr("\"`$\\", c)) {
            quoted += '\\';
        } else if (c == '%') {
            quoted += '%'; // a field code otherwise
        }
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        switch (c) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
        }
    }
    return value;
}

std::string EntryText(bool hidden, const std::string& programPath) {
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Tallywick\n"
                       "Comment=Daily time limit for distracting websites and programs\n"
                       "Icon=tallywick\n";
    text += "Exec=" + ExecValue(programPath) + "\n";
    if (hidden) {
        text += "Hidden=true\n";
    }
    return text;
}

[[noreturn]] void Fail(const std::string& what, const std::string& path,
                       const std::error_code& error) {
    throw Exception("Unable to " + what + " \"" + path + "\"\nError: " + error.message());
}

// Written beside the target and renamed over it: the desktop reads either the old entry
// or the new one, never half of one.
void WriteEntry(const std::string& path, const std::string& text) {
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    if (error) {
        Fail("create the folder of", path, error);
    }
    const std::string part = path + ".part";
    {
        errno = 0;
        std::ofstream file(part, std::ios::binary | std::ios::trunc);
        file << text;
        file.flush();
        if (!file) {
            // The stream keeps no error of its own; the system's is what its calls left.
            const std::error_code cause(errno ? errno : EIO, std::generic_category());
            fs::remove(part, error);
            Fail("write", path, cause);
        }
    }
    fs::rename(part, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(part, ignored);
        Fail("write", path, error);
    }
}

} // namespace

bool StartAtLoginAvailable() {
    return true;
}

std::string UserAutostartFolder() {
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
        config = xdg;
    } else {
        const std::string home = UserHomeFolder();
        if (home.empty()) {
            throw Exception("Failed to get the home folder");
        }
        config = home + "/.config";
    }
    return config + "/autostart/";
}

bool StartsAtLogin() {
    if (TEntry own = ReadEntry(UserAutostartFolder() + AutostartEntryName);
        own != TEntry::Missing) {
        return own == TEntry::Starts;
    }
    return SystemEntry() == TEntry::Starts;
}

void SetStartAtLogin(bool on, const std::string& programPath) {
    const std::string own = UserAutostartFolder() + AutostartEntryName;
    if (!on) {
        WriteEntry(own, EntryText(true, programPath));
    } else if (SystemEntry() == TEntry::Starts) {
        std::error_code error;
        fs::remove(own, error);
        if (error) {
            Fail("remove", own, error);
        }
    } else {
        WriteEntry(own, EntryText(false, programPath));
    }
}

} // namespace tw

#endif
