#include "platform/wayland/kwin_script.h"

#include "base/exception.h"
#include "platform/linux/bus_connection.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tw {
namespace {

constexpr const char* KWinService = "org.kde.KWin";

std::string ReadShipped(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw Exception("Tallywick's KWin script " + path + " is missing");
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// KWin reads the file after we ask it to, so it is a file of this user's only, in the
// session's own runtime folder where there is one.
std::string WritePrivateFile(const std::string& text) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string path =
        std::string(runtime && runtime[0] == '/' ? runtime : "/tmp") + "/tallywick-kwin-XXXXXX.js";
    const int fd = mkstemps(path.data(), 3);
    if (fd < 0) {
        throw Exception("Tallywick cannot write its KWin script to " + path);
    }
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    if (!written) {
        unlink(path.c_str());
        throw Exception("Tallywick cannot write its KWin script to " + path);
    }
    return path;
}

} // namespace

TKWinScript::TKWinScript(sd_bus* bus, const std::string& shippedFile,
                         const TReplacements& replacements, const std::string& pluginName)
    : bus_(sd_bus_ref(bus)), pluginName_(pluginName) {
    std::string text = ReadShipped(shippedFile);
    for (const auto& [word, value] : replacements) {
        for (auto at = text.find(word); at != std::string::npos;
             at = text.find(word, at + value.size())) {
            text.replace(at, word.size(), value);
        }
    }
    file_ = WritePrivateFile(text);
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int id = -1;
    const int called =
        sd_bus_call_method(bus_.get(), KWinService, "/Scripting", "org.kde.kwin.Scripting",
                           "loadScript", &error, &reply, "ss", file_.c_str(), pluginName_.c_str());
    if (called >= 0) {
        sd_bus_message_read(reply, "i", &id);
    }
    const std::string reason = called < 0 ? BusErrorText(error, called) : "";
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    if (id < 0) {
        unlink(file_.c_str());
        throw Exception("KWin did not load Tallywick's script" +
                        (reason.empty() ? std::string() : ": " + reason));
    }
    try {
        Run(id);
    } catch (...) {
        Unload();
        throw;
    }
}

void TKWinScript::Run(int id) {
    // Plasma 5 names a loaded script's object by its number alone, Plasma 6 under /Scripting.
    std::string reason;
    for (const std::string& path :
         {"/" + std::to_string(id), "/Scripting/Script" + std::to_string(id)}) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        const int called = sd_bus_call_method(bus_.get(), KWinService, path.c_str(),
                                              "org.kde.kwin.Script", "run", &error, nullptr, "");
        if (called >= 0) {
            sd_bus_error_free(&error);
            return;
        }
        reason = BusErrorText(error, called);
        sd_bus_error_free(&error);
    }
    throw Exception("KWin did not run Tallywick's script: " + reason);
}

bool TKWinScript::IsLoaded() const {
    sd_bus_message* reply = nullptr;
    int loaded = 1;
    if (sd_bus_call_method(bus_.get(), KWinService, "/Scripting", "org.kde.kwin.Scripting",
                           "isScriptLoaded", nullptr, &reply, "s", pluginName_.c_str()) >= 0) {
        sd_bus_message_read(reply, "b", &loaded);
    }
    sd_bus_message_unref(reply);
    return loaded != 0;
}

TKWinScript::~TKWinScript() {
    Unload();
}

void TKWinScript::Unload() {
    sd_bus_call_method(bus_.get(), KWinService, "/Scripting", "org.kde.kwin.Scripting",
                       "unloadScript", nullptr, nullptr, "s", pluginName_.c_str());
    unlink(file_.c_str());
}

} // namespace tw
