#pragma once

#include <string>
#include <vector>

namespace tw {

// The settings file's text as lines, and the edits on it.
//
// Lines are "[Section]", "key=value", comments (first non-blank character ';' or '#'),
// blank lines, or anything else; lines no edit changes are written back byte for byte.
// Blanks around a key and around a section name are ignored, so a hand-edited
// "Align = 2" still names the key "Align". The value is everything after the first '='
// up to the line end, unchanged, blanks included.
//
// Keys and values that could break the line structure are escaped as %XX: line breaks
// (both), and in keys '=', leading '[', ';', '#', and leading or trailing blanks. A '%' is
// escaped only where it is followed by two hex digits, so paths and addresses without such
// sequences look in the file exactly as typed. Reading turns %XX back into its byte and
// leaves any other '%' alone.
//
// A section name that occurs more than once counts as one section made of all its parts,
// in file order. The text keeps a UTF-8 byte order mark and the line-end style (CRLF or
// LF) it was found with; a new text takes the system's.

enum class TLineKind { Other, Section, Entry };

struct TIniLine {
    TLineKind kind = TLineKind::Other;
    std::string raw;   // the line as stored, without its line end
    std::string name;  // section name or decoded key
    std::string value; // decoded value of an entry
    std::size_t equals = 0;
};

struct TIniText {
    TIniText();
    bool bom = false;
    std::string eol;
    std::vector<TIniLine> lines;
};

std::string TrimBlanks(const std::string& text);
// Not empty, trimmed, without ']' or a line break.
bool ValidSectionName(const std::string& section);

TIniText ParseText(std::string content);
std::string RenderText(const TIniText& text);

// Whether each line belongs to one of the parts of the named section.
std::vector<bool> SectionMembership(const TIniText& text, const std::string& section);
const TIniLine* FindEntry(const TIniText& text, const std::string& section, const std::string& key);
bool HasSection(const TIniText& text, const std::string& section);

// The edits return false when they changed nothing.
// Sets the key's value.
bool SetEntry(TIniText& text, const std::string& section, const std::string& key,
              const std::string& value);
bool DropEntry(TIniText& text, const std::string& section, const std::string& key);
bool DropSection(TIniText& text, const std::string& section);
// The section goes but for the entries of the kept keys and the headers of the parts that
// hold one.
bool DropSectionExcept(TIniText& text, const std::string& section,
                       const std::vector<std::string>& keptKeys);

} // namespace tw
