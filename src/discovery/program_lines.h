#pragma once

#include "base/exception.h"

#include <string>
#include <vector>

namespace tw {

// Thrown when a discovery callback says to stop; the wizard catches it without a word.
class EAbort : public Exception {
  public:
    EAbort() : Exception("Operation aborted") {}
    const char* ClassName() const override { return "EAbort"; }
};

// Program discovery hands its finds on as lines "path=caption".
std::string ProgramLine(const std::string& path, const std::string& caption);
// The path of such a line.
std::string ProgramLinePath(const std::string& line);
// Keeps the lines whose program is one of the paths (compared as the system compares them).
void KeepProgramLinesOf(const std::vector<std::string>& paths, std::vector<std::string>& lines);

// The folder text with one "\" at its end; an empty text stays empty.
std::string IncludeTrailingDelimiter(const std::string& folder);
// The folder above: one trailing "/" or "\" removed, then everything from the last one on.
std::string ParentFolder(const std::string& folder);
// The part after the last "\", "/" or ":".
std::string ExtractFileName(const std::string& path);
// The file name's extension with its dot (".exe"); empty when it has none.
std::string ExtractFileExt(const std::string& path);
// The file name without its extension.
std::string FileNameWithoutExtension(const std::string& path);

// Whether a shortcut's target is offered: an ".exe" whose file name does not look like an
// uninstaller or a setup program, and not a package in the system's installer cache.
bool IsOfferedShortcutTarget(const std::string& target);
// Whether an executable met in a walked folder is offered: not a setup or (un)installer.
bool IsOfferedWalkedExecutable(const std::string& fileName);

// The display caption from an executable's version strings: the first of description,
// product name and internal name that holds more than blanks, else the file name
// without its extension.
std::string CaptionFromVersionStrings(const std::string& fileDescription,
                                      const std::string& productName,
                                      const std::string& internalName, const std::string& path);

// Joins a relative path to a folder and resolves its "." and ".." parts in the text, as
// the system would make it absolute against that folder.
std::string AbsolutePathFrom(const std::string& folder, const std::string& relative);

} // namespace tw
