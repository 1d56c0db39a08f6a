#pragma once

#include <string>
#include <sys/types.h>

namespace tw {

// Full path of a local process's executable from /proc, or "Error: " + the system's text
// when it cannot be read (another user's process without the rights to look, or a process
// that has already ended: "No such process").
//
// When the file was deleted or replaced after the process started (a package upgrade
// does that to running programs), the kernel appends " (deleted)". That suffix is dropped,
// because the path the program was started from is what a watched item names; a file whose
// real name happens to end in " (deleted)" keeps its name.
std::string ExecutablePathOfProcess(pid_t pid);

} // namespace tw
