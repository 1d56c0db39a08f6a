#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tw {

// What a menu entry (a ".desktop" file) says about the program it starts.
struct TDesktopEntry {
    std::string Type;
    std::string Name; // in the language asked for, where the entry has it
    std::string Exec;
    std::string TryExec;
    std::string FlatpakApp; // the sandboxed application the entry starts, if any
    bool NoDisplay = false;
    bool Hidden = false;
};

// Reads the "Desktop Entry" group of a menu entry's text, with Name in the language of the
// locale text (as LC_MESSAGES holds it: "de_AT.UTF-8@euro"; empty or "C" for none).
// Nothing when the text breaks the file format (a line that is neither a comment, a group
// nor a key=value pair, a key before the first group, or no "Desktop Entry" group first):
// a menu shows no such entry either.
std::optional<TDesktopEntry> ParseDesktopEntry(const std::string& text, const std::string& locale);

// The arguments of an Exec value (escapes of the string value already removed), split at
// unquoted blanks with the entry format's quoting, field codes such as %U dropped. Nothing
// when the quoting is broken.
std::optional<std::vector<std::string>> ExecArguments(const std::string& exec);

} // namespace tw
