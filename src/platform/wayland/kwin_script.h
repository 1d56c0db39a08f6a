#pragma once

#include <memory>
#include <string>
#include <systemd/sd-bus.h>
#include <utility>
#include <vector>

namespace tw {

// A script of ours running inside KWin, which alone knows every window on a Plasma Wayland
// desktop. The script's file is one we ship, with words in it replaced (our address on the
// bus, a window's id) and written to a private file that lives as long as the script does.
// Loading throws tw::Exception with KWin's reason; the script is unloaded with the object.
class TKWinScript {
  public:
    using TReplacements = std::vector<std::pair<std::string, std::string>>;

    TKWinScript(sd_bus* bus, const std::string& shippedFile, const TReplacements& replacements,
                const std::string& pluginName);
    // Loads and runs the script without waiting for KWin: its answers are handled with the
    // connection's other messages, and Failed() tells when it refused. Throws only when the
    // file cannot be written. Unloaded without waiting either, when the object goes.
    struct TUnwaited {};
    TKWinScript(TUnwaited, sd_bus* bus, const std::string& shippedFile,
                const TReplacements& replacements, const std::string& pluginName);
    ~TKWinScript();
    TKWinScript(const TKWinScript&) = delete;
    TKWinScript& operator=(const TKWinScript&) = delete;

    bool Failed() const { return failed_; }

  private:
    void Run(int id);
    void Unload();
    // Sends run to the object of the loaded script: Plasma 5's name for it, or Plasma 6's.
    void RunUnwaited(bool plasma6);
    static int OnLoaded(sd_bus_message* reply, void* self, sd_bus_error* error);
    static int OnRun(sd_bus_message* reply, void* self, sd_bus_error* error);
    void ForgetCall();

    // Our own reference: the connection may be closed by its owner while the script runs.
    struct TBusRelease {
        void operator()(sd_bus* bus) const { sd_bus_unref(bus); }
    };
    std::unique_ptr<sd_bus, TBusRelease> bus_;
    std::string pluginName_;
    std::string file_;
    bool unwaited_ = false;
    bool failed_ = false;
    int id_ = -1;
    bool plasma6_ = false;
    // The call whose answer is awaited; dropped with the object, so no answer reaches it then.
    sd_bus_slot* call_ = nullptr;
};

} // namespace tw
