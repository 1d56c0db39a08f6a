#pragma once

#include "discovery/linux/desktop_programs.h"
#include "discovery/linux/session_folders.h"
#include "discovery/program_sources.h"

#include <string>
#include <vector>

namespace tw {

// A folder the Complete scan starts from.
struct TProgramRoot {
    enum class TKind {
        Programs,       // executables, walked with the folders below
        FlatpakExports, // flatpak's launchers, one per application id
        SnapCommands,   // snap's launcher links, one per application
    };
    std::string Folder;
    TKind Kind = TKind::Programs;
    std::string Sandbox; // the flatpak installation or the snaps' mount folder
};

// The session's roots: /usr/bin, /usr/local/bin, /opt, ~/.local/bin and the flatpak and
// snap export folders; only those present, with links resolved, sorted, none inside
// another (the outer one stays), so that no folder is walked twice.
std::vector<TProgramRoot> ProgramRoots(const TSessionFolders& session);

// The folders under the roots (the roots included) that the walk enters: neither hidden
// ones (a name starting with "."), nor links to folders, nor a folder met before.
int CountProgramFolders(const std::vector<TProgramRoot>& roots, const TScanControl& control);

// A line for each program file under the roots, as the kernel will name it when it runs
// (links resolved, shell wrappers followed), each once, captioned by the menu or its file
// name. Files named like setup or (un)installer programs are passed over. Folders and
// files that cannot be read are skipped. Appends to the lines as they are found; raises
// EAbort when stopped.
void WalkProgramFolders(const std::vector<TProgramRoot>& roots, const TProgramCaptions& captions,
                        const std::string& searchPath, std::vector<std::string>& lines,
                        const TScanControl& control);

} // namespace tw
