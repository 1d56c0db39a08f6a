#pragma once

#include <string>

namespace tw {

// The executable of a process in drive-letter form, from its image name in device form
// and the device names behind the drive letters. "Error: " + the system's text when the
// process cannot be opened; empty when the image lies on a volume without a drive letter.
std::string ProcessImagePath(unsigned long processId);

// The device-form path in drive-letter form through the system's drive-letter table;
// empty when no letter C to Z names its volume.
std::string DriveLetterPathOf(const std::string& devicePath);

} // namespace tw
