#pragma once

#include <string>

namespace tw {

// The executable of a process as the system names it for programs: "C:\Apps\x.exe" on a
// drive, "\\server\share\x.exe" on the network. "Error: " + the system's text when the
// process cannot be opened or its image cannot be named.
std::string ProcessImagePath(unsigned long processId);

} // namespace tw
