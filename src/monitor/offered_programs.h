#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tw {

class TDesktop;

// The executables owning a window on the desktop now; ask on the desktop's own thread.
std::vector<std::string> WindowOwningPrograms(TDesktop& desktop);

// The running programs the add wizard offers, as lines "path=caption": those the lister
// (which replaces the lines) finds that own a window (windowOwners, from
// WindowOwningPrograms), since the others are background processes, shells and tools nobody
// means to limit. Without windowOwners every running program is offered.
void OfferedRunningPrograms(const std::function<void(std::vector<std::string>&)>& running,
                            const std::vector<std::string>* windowOwners,
                            std::vector<std::string>& lines);

} // namespace tw
