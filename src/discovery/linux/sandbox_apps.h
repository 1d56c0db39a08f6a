#pragma once

#include <optional>
#include <string>

namespace tw {

// Sandboxed applications are started through a launcher ("flatpak run", the snap
// command), so the program a menu entry or an export names is the launcher, never what
// runs. These find the program the sandbox starts, by the path /proc/PID/exe gives it.

// A flatpak application of an installation folder ("/var/lib/flatpak",
// "~/.local/share/flatpak"): the command given (the entry's "--command="), or else the
// one its metadata names, as the sandbox sees it ("/app/bin/app" or where its links and
// wrappers lead inside "/app"). Nothing when the application is not installed there or
// its program lies outside its own files (in the runtime).
std::optional<std::string> FlatpakProgram(const std::string& installation, const std::string& appId,
                                          const std::string& command);

// A snap application by the name of its link in the snap commands folder ("app" or
// "snap.app"), under the folder the snaps are mounted in ("/snap"): the program its
// command starts in the current revision, wrappers followed.
std::optional<std::string> SnapProgram(const std::string& snapRoot, const std::string& linkName);

// Whether a program is one of the sandbox launchers, which stand for no application of
// their own.
bool IsSandboxLauncher(const std::string& path);

} // namespace tw
