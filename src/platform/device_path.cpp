#include "platform/device_path.h"

namespace tw {

namespace {
// The device must name the whole first part of the path: a bare prefix test would let
// "\Device\HarddiskVolume1" claim paths on "\Device\HarddiskVolume10".
bool DeviceHoldsPath(const std::string& device, const std::string& path) {
    if (device.empty() || path.compare(0, device.size(), device) != 0) {
        return false;
    }
    return path.size() == device.size() || path[device.size()] == '\\';
}
} // namespace

std::string DevicePathToDriveLetter(const std::string& devicePath,
                                    const std::function<std::string(char letter)>& queryDosDevice) {
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        const std::string device = queryDosDevice(letter);
        if (DeviceHoldsPath(device, devicePath)) {
            return std::string(1, letter) + ":" + devicePath.substr(device.size());
        }
    }
    return {};
}

} // namespace tw
