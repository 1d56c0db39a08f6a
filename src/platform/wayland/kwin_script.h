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
    ~TKWinScript();
    TKWinScript(const TKWinScript&) = delete;
    TKWinScript& operator=(const TKWinScript&) = delete;

    // False once KWin no longer holds it (unloaded by somebody else); true where KWin cannot
    // say.
    bool IsLoaded() const;

  private:
    void Run(int id);
    void Unload();

    // Our own reference: the connection may be closed by its owner while the script runs.
    struct TBusRelease {
        void operator()(sd_bus* bus) const { sd_bus_unref(bus); }
    };
    std::unique_ptr<sd_bus, TBusRelease> bus_;
    std::string pluginName_;
    std::string file_;
};

} // namespace tw
