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

std::string Replaced(std::string text, const TKWinScript::TReplacements& replacements) {
    for (const auto& [word, value] : replacements) {
        for (auto at = text.find(word); at != std::string::npos;
             at = text.find(word, at + value.size())) {
            text.replace(at, word.size(), value);
        }
    }
    return text;
}

bool Refused(sd_bus_message* reply) {
    return sd_bus_message_is_method_error(reply, nullptr) != 0;
}

} // namespace

TKWinScript::TKWinScript(sd_bus* bus, const std::string& shippedFile,
                         const TReplacements& replacements, const std::string& pluginName)
    : bus_(sd_bus_ref(bus)), pluginName_(pluginName),
      file_(WritePrivateFile(Replaced(ReadShipped(shippedFile), replacements))) {
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

TKWinScript::TKWinScript(TUnwaited, sd_bus* bus, const std::string& shippedFile,
                         const TReplacements& replacements, const std::string& pluginName)
    : bus_(sd_bus_ref(bus)), pluginName_(pluginName),
      file_(WritePrivateFile(Replaced(ReadShipped(shippedFile), replacements))), unwaited_(true) {
    if (sd_bus_call_method_async(bus_.get(), &call_, KWinService, "/Scripting",
                                 "org.kde.kwin.Scripting", "loadScript", OnLoaded, this, "ss",
                                 file_.c_str(), pluginName_.c_str()) < 0) {
        failed_ = true;
    }
}

int TKWinScript::OnLoaded(sd_bus_message* reply, void* self, sd_bus_error*) {
    auto& script = *static_cast<TKWinScript*>(self);
    script.ForgetCall();
    int id = -1;
    if (Refused(reply) || sd_bus_message_read(reply, "i", &id) < 0 || id < 0) {
        script.failed_ = true;
        return 0;
    }
    script.id_ = id;
    script.RunUnwaited(false);
    return 0;
}

void TKWinScript::RunUnwaited(bool plasma6) {
    plasma6_ = plasma6;
    const std::string path =
        plasma6 ? "/Scripting/Script" + std::to_string(id_) : "/" + std::to_string(id_);
    if (sd_bus_call_method_async(bus_.get(), &call_, KWinService, path.c_str(),
                                 "org.kde.kwin.Script", "run", OnRun, this, "") < 0) {
        failed_ = true;
    }
}

int TKWinScript::OnRun(sd_bus_message* reply, void* self, sd_bus_error*) {
    auto& script = *static_cast<TKWinScript*>(self);
    script.ForgetCall();
    if (Refused(reply)) {
        if (script.plasma6_) {
            script.failed_ = true;
        } else {
            script.RunUnwaited(true);
        }
    }
    return 0;
}

void TKWinScript::ForgetCall() {
    call_ = sd_bus_slot_unref(call_);
}

TKWinScript::~TKWinScript() {
    ForgetCall();
    Unload();
}

void TKWinScript::Unload() {
    if (unwaited_) {
        // Sent after the load, so KWin has it loaded by then; no answer is asked for.
        sd_bus_call_method_async(bus_.get(), nullptr, KWinService, "/Scripting",
                                 "org.kde.kwin.Scripting", "unloadScript", nullptr, nullptr, "s",
                                 pluginName_.c_str());
    } else {
        sd_bus_call_method(bus_.get(), KWinService, "/Scripting", "org.kde.kwin.Scripting",
                           "unloadScript", nullptr, nullptr, "s", pluginName_.c_str());
    }
    unlink(file_.c_str());
}

} // namespace tw
