#pragma once

#include <string>

namespace tw {

// The process behind a scripted top-level window: how its executable path is answered.
struct TFakeProcess {
    enum class TKind { Path, DevicePath, Unopenable };
    TKind kind = TKind::Path;
    // A drive-letter path, a device-form image path, or the system's refusal text.
    std::string text;

    static TFakeProcess Path(std::string path) { return {TKind::Path, std::move(path)}; }
    // "\Device\HarddiskVolumeN\..." mapped through the desktop's drive-letter table.
    static TFakeProcess DevicePath(std::string path) {
        return {TKind::DevicePath, std::move(path)};
    }
    // Opening the process fails with this system text ("Access is denied.").
    static TFakeProcess Unopenable(std::string systemText) {
        return {TKind::Unopenable, std::move(systemText)};
    }
};

} // namespace tw
