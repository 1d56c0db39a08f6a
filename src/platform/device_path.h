#pragma once

#include <functional>
#include <string>

namespace tw {

// Turns a process image path in device form ("\Device\HarddiskVolume2\Apps\x.exe") into
// drive-letter form ("D:\Apps\x.exe"). queryDosDevice answers the device name behind a
// letter (empty when it has none). Letters C to Z are tried in order and the first whose
// device holds the path wins; empty when no letter does (a volume mounted without one).
std::string DevicePathToDriveLetter(const std::string& devicePath,
                                    const std::function<std::string(char letter)>& queryDosDevice);

} // namespace tw
