#include "platform/wayland/gnome_extension.h"

#include "base/exception.h"
#include "platform/file_replace.h"
#include "platform/linux/bus_connection.h"
#include "platform/program_paths.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace tw {
namespace {

constexpr const char* Shell = "org.gnome.Shell";
constexpr const char* ShellPath = "/org/gnome/Shell";
constexpr const char* Extensions = "org.gnome.Shell.Extensions";
// The shell turns an extension on shortly after it is listed as enabled.
constexpr int StartWaitSteps = 30;
constexpr auto StartWaitStep = std::chrono::milliseconds(100);

// GNOME Shell's own numbers for an extension's state.
enum class TExtensionState {
    Unknown = 0,
    Enabled = 1,
    Disabled = 2,
    Error = 3,
    OutOfDate = 4,
    Downloading = 5,
    Initialized = 6, // found, never turned on since the shell started
};

struct TExtensionInfo {
    bool known = false; // the shell found it when it started
    TExtensionState state = TExtensionState::Unknown;
    std::string error;
    std::string path; // the folder it was found in
};

TExtensionInfo ReadInfo(sd_bus* bus) {
    TExtensionInfo info;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus, Shell, ShellPath, Extensions, "GetExtensionInfo", nullptr, &reply,
                           "s", GnomeExtensionUuid) < 0 ||
        sd_bus_message_enter_container(reply, 'a', "{sv}") < 0) {
        sd_bus_message_unref(reply);
        return info;
    }
    while (sd_bus_message_enter_container(reply, 'e', "sv") > 0) {
        const char* key = nullptr;
        const char* contents = nullptr;
        sd_bus_message_read(reply, "s", &key);
        info.known = true;
        sd_bus_message_peek_type(reply, nullptr, &contents);
        const std::string name = key ? key : "";
        if (name == "state" && contents && std::string(contents) == "d") {
            double state = 0;
            sd_bus_message_read(reply, "v", "d", &state);
            info.state = static_cast<TExtensionState>(static_cast<int>(state));
        } else if (name == "error" && contents && std::string(contents) == "s") {
            const char* error = nullptr;
            sd_bus_message_read(reply, "v", "s", &error);
            info.error = error ? error : "";
        } else if (name == "path" && contents && std::string(contents) == "s") {
            const char* path = nullptr;
            sd_bus_message_read(reply, "v", "s", &path);
            info.path = path ? path : "";
        } else {
            sd_bus_message_skip(reply, "v");
        }
        sd_bus_message_exit_container(reply);
    }
    sd_bus_message_unref(reply);
    return info;
}

bool ReadBoolProperty(sd_bus* bus, const char* property, bool fallback) {
    int value = fallback;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_get_property_trivial(bus, Shell, ShellPath, Extensions, property, &error, 'b', &value);
    sd_bus_error_free(&error);
    return value != 0;
}

std::string ShellVersion(sd_bus* bus) {
    char* version = nullptr;
    sd_bus_get_property_string(bus, Shell, ShellPath, Extensions, "ShellVersion", nullptr,
                               &version);
    std::string text = version ? version : "";
    std::free(version);
    return text;
}

// Where GNOME Shell looks for extensions, the first holding ours being the one it runs: the
// user's data folder, then the system's.
std::vector<std::string> ExtensionFolders() {
    std::vector<std::string> folders;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    folders.push_back(dataHome && dataHome[0] == '/' ? dataHome
                                                     : UserHomeFolder() + "/.local/share");
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::istringstream dirs(dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share");
    for (std::string folder; std::getline(dirs, folder, ':');) {
        folders.push_back(folder);
    }
    for (std::string& folder : folders) {
        folder += std::string("/gnome-shell/extensions/") + GnomeExtensionUuid;
    }
    return folders;
}

// The folder of the extension the shell runs; empty when none is installed.
std::string ExtensionFolder() {
    std::error_code error;
    for (const std::string& folder : ExtensionFolders()) {
        if (std::filesystem::exists(folder + "/metadata.json", error)) {
            return folder;
        }
    }
    return {};
}

std::string ReadFirstLine(const std::string& fileName) {
    std::ifstream file(fileName);
    std::string line;
    std::getline(file, line);
    return line;
}

// The extension answers only the executable named beside it. A copy installed in the user's
// own data folder is this program's to point at itself (a build under test, a copy installed
// for one user); the system's copy names the program the package installed, and a program
// never rewrites it. Returns why this program will not be answered; empty when it will.
std::string ServeThisProgram(const std::string& folder) {
    const std::string allowedFile = folder + "/" + GnomeExtensionAllowedFile;
    const std::string& self = ProgramPath();
    if (ReadFirstLine(allowedFile) == self) {
        return {};
    }
    std::error_code error;
    if (std::filesystem::equivalent(folder, ExtensionFolders().front(), error)) {
        try {
            ReplaceFileContent(allowedFile, self + "\n");
            return {};
        } catch (const Exception& e) {
            return std::string("Tallywick's GNOME Shell extension could not be told to answer "
                               "this program (") +
                   e.what() + ")";
        }
    }
    const std::string allowed = ReadFirstLine(allowedFile);
    return "Tallywick's GNOME Shell extension in " + folder + " answers only " +
           (allowed.empty() ? std::string("the program it was installed for") : allowed) +
           ", not " + self;
}

std::string Refusal(sd_bus* bus, const TExtensionInfo& info) {
    if (!info.known) {
        return !ExtensionFolder().empty()
                   ? std::string("GNOME Shell reads a newly installed extension only when you "
                                 "log in again, so log out and in once")
                   : std::string("Tallywick's GNOME Shell extension (") + GnomeExtensionUuid +
                         ") is not installed";
    }
    if (!ReadBoolProperty(bus, "UserExtensionsEnabled", true)) {
        return "GNOME Shell's extensions are switched off (in the Extensions app, or by the "
               "administrator), and Tallywick's own extension is one of them";
    }
    switch (info.state) {
    case TExtensionState::OutOfDate:
        return "Tallywick's GNOME Shell extension was not made for GNOME Shell " +
               ShellVersion(bus);
    case TExtensionState::Error:
        return "GNOME Shell stopped Tallywick's extension (" + info.error + ")";
    default:
        return "GNOME Shell did not turn Tallywick's extension on (the administrator may have "
               "fixed which extensions run)";
    }
}

} // namespace

bool GnomeExtensionTurnedOff(sd_bus* bus) {
    const TExtensionInfo info = ReadInfo(bus);
    return info.known &&
           (info.state == TExtensionState::Disabled || info.state == TExtensionState::Initialized);
}

void DisableGnomeExtension(sd_bus* bus) {
    // Sent without waiting for the answer: an ending session's shell may not give one, and
    // the program's end must not wait on it.
    if (sd_bus_call_method_async(bus, nullptr, Shell, ShellPath, Extensions, "DisableExtension",
                                 nullptr, nullptr, "s", GnomeExtensionUuid) >= 0) {
        sd_bus_flush(bus);
    }
}

std::string EnableGnomeExtension(sd_bus* bus) {
    TExtensionInfo info = ReadInfo(bus);
    // The copy the shell runs; one installed since it started is read at the next login.
    if (const std::string folder = info.known ? info.path : ExtensionFolder(); !folder.empty()) {
        if (std::string refusal = ServeThisProgram(folder); !refusal.empty()) {
            return refusal;
        }
    }
    if (info.state == TExtensionState::Enabled) {
        return {};
    }
    if (!info.known || info.state == TExtensionState::OutOfDate ||
        info.state == TExtensionState::Error ||
        !ReadBoolProperty(bus, "UserExtensionsEnabled", true)) {
        return Refusal(bus, info);
    }
    sd_bus_call_method(bus, Shell, ShellPath, Extensions, "EnableExtension", nullptr, nullptr, "s",
                       GnomeExtensionUuid);
    for (int step = 0; step < StartWaitSteps; ++step) {
        info = ReadInfo(bus);
        if (info.state == TExtensionState::Enabled) {
            return {};
        }
        if (info.state == TExtensionState::Error || info.state == TExtensionState::OutOfDate) {
            break;
        }
        std::this_thread::sleep_for(StartWaitStep);
    }
    return Refusal(bus, info);
}

} // namespace tw
