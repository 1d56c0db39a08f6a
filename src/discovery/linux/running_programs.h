#pragma once

#include "discovery/linux/desktop_programs.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace tw {

// Replaces the lines with the executables of the processes whose real user is `user`, as
// /proc names them, each path once and sorted, captioned by the menu or their file name.
// Processes that end while they are read, and those without an executable file (kernel
// threads), are passed over.
void RunningPrograms(uid_t user, const TProgramCaptions& captions, std::vector<std::string>& lines);

} // namespace tw
