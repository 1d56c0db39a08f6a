#include "storage/settings_file.h"

#include "base/exception.h"
#include "base/text.h"
#include "platform/native_path.h"
#include "storage/error_log.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

// File format notes.
//
// Lines are "[Section]", "key=value", comments (first non-blank character ';' or '#'),
// blank lines, or anything else; lines this class does not change are written back
// byte for byte. Blanks around a key and around a section name are ignored, so a
// hand-edited "Align = 2" still names the key "Align". The value is everything after
// the first '=' up to the line end, unchanged: what WriteString stores, ReadString
// returns, blanks included. Integer reads allow blanks around the number, so the
// hand-edited " 2" above still reads as 2.
//
// Keys and values that could break the line structure are escaped as %XX: line
// breaks (both), and in keys '=', leading '[', ';', '#', and leading or trailing
// blanks. A '%' is escaped only where it is followed by two hex digits, so paths and
// addresses without such sequences look in the file exactly as typed. Reading turns
// %XX back into its byte and leaves any other '%' alone.
//
// A section name that occurs more than once counts as one section made of all its
// parts, in file order. The file keeps a UTF-8 byte order mark and the line-end style
// (CRLF or LF) it was found with.

namespace tw {
namespace {

// A file that is there but cannot be read or written.
class EInOutError : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return "EInOutError"; }
};

const char UnitName[] = "settings_file";
const std::string Utf8Bom = "\xEF\xBB\xBF";
#ifdef _WIN32
const std::string NativeEol = "\r\n";
#else
const std::string NativeEol = "\n";
#endif

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string TrimBlanks(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool EscapeFollows(const std::string& text, std::size_t percent) {
    return percent + 2 < text.size() && HexDigit(text[percent + 1]) >= 0 &&
           HexDigit(text[percent + 2]) >= 0;
}

void AppendEscaped(std::string& out, char c) {
    static const char digits[] = "0123456789ABCDEF";
    auto byte = static_cast<unsigned char>(c);
    out += '%';
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

std::string EncodeValue(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\r' || c == '\n' || (c == '%' && EscapeFollows(value, i))) {
            AppendEscaped(out, c);
        } else {
            out += c;
        }
    }
    return out;
}

std::string EncodeKey(const std::string& key) {
    std::string out;
    out.reserve(key.size());
    for (std::size_t i = 0; i < key.size(); ++i) {
        char c = key[i];
        bool edge = i == 0 || i + 1 == key.size();
        bool opensOtherLine = i == 0 && (c == '[' || c == ';' || c == '#');
        if (c == '\r' || c == '\n' || c == '=' || (c == '%' && EscapeFollows(key, i)) ||
            (edge && IsBlank(c)) || opensOtherLine) {
            AppendEscaped(out, c);
        } else {
            out += c;
        }
    }
    return out;
}

std::string Decode(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && EscapeFollows(text, i)) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool ValidSectionName(const std::string& section) {
    if (section.empty() || TrimBlanks(section) != section) {
        return false;
    }
    for (char c : section) {
        if (c == ']' || c == '\r' || c == '\n') {
            return false;
        }
    }
    return true;
}

void RequireNames(const std::string& section, const std::string& key) {
    Require(ValidSectionName(section), UnitName, "section name is not empty, trimmed, without ']'");
    Require(!key.empty(), UnitName, "key name is not empty");
}

// ---- The file's text as lines --------------------------------------------------------

enum class TLineKind { Other, Section, Entry };

struct TIniLine {
    TLineKind kind = TLineKind::Other;
    std::string raw;   // the line as stored, without its line end
    std::string name;  // section name or decoded key
    std::string value; // decoded value of an entry
    std::size_t equals = 0;
};

struct TIniText {
    bool bom = false;
    std::string eol = NativeEol;
    std::vector<TIniLine> lines;
};

TIniLine ParseLine(std::string raw) {
    TIniLine line;
    line.raw = std::move(raw);
    std::string trimmed = TrimBlanks(line.raw);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') {
        return line;
    }
    if (trimmed[0] == '[') {
        auto close = trimmed.find(']');
        if (close != std::string::npos) {
            line.kind = TLineKind::Section;
            line.name = TrimBlanks(trimmed.substr(1, close - 1));
        }
        return line;
    }
    auto equals = line.raw.find('=');
    if (equals != std::string::npos) {
        line.kind = TLineKind::Entry;
        line.equals = equals;
        line.name = Decode(TrimBlanks(line.raw.substr(0, equals)));
        line.value = Decode(line.raw.substr(equals + 1));
    }
    return line;
}

TIniText ParseText(std::string content) {
    TIniText text;
    if (content.compare(0, Utf8Bom.size(), Utf8Bom) == 0) {
        text.bom = true;
        content.erase(0, Utf8Bom.size());
    }
    auto firstBreak = content.find('\n');
    if (firstBreak != std::string::npos) {
        text.eol = firstBreak > 0 && content[firstBreak - 1] == '\r' ? "\r\n" : "\n";
    }
    std::size_t start = 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string::npos) {
            end = content.size();
        }
        std::string raw = content.substr(start, end - start);
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
        }
        text.lines.push_back(ParseLine(std::move(raw)));
        start = end + 1;
    }
    return text;
}

std::string RenderText(const TIniText& text) {
    std::string out = text.bom ? Utf8Bom : std::string();
    for (const auto& line : text.lines) {
        out += line.raw;
        out += text.eol;
    }
    return out;
}

// Whether each line belongs to one of the parts of the named section.
std::vector<bool> SectionMembership(const TIniText& text, const std::string& section) {
    std::vector<bool> member(text.lines.size(), false);
    bool inside = false;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        if (text.lines[i].kind == TLineKind::Section) {
            inside = SameText(text.lines[i].name, section);
        } else {
            member[i] = inside;
        }
    }
    return member;
}

const TIniLine* FindEntry(const TIniText& text, const std::string& section,
                          const std::string& key) {
    auto member = SectionMembership(text, section);
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        const auto& line = text.lines[i];
        if (member[i] && line.kind == TLineKind::Entry && SameText(line.name, key)) {
            return &line;
        }
    }
    return nullptr;
}

bool HasSection(const TIniText& text, const std::string& section) {
    for (const auto& line : text.lines) {
        if (line.kind == TLineKind::Section && SameText(line.name, section)) {
            return true;
        }
    }
    return false;
}

// Sets the key's value; returns false when the text already said exactly that.
bool SetEntry(TIniText& text, const std::string& section, const std::string& key,
              const std::string& value) {
    auto member = SectionMembership(text, section);
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        auto& line = text.lines[i];
        if (member[i] && line.kind == TLineKind::Entry && SameText(line.name, key)) {
            // The key keeps its spelling and layout; only the value part changes.
            std::string raw = line.raw.substr(0, line.equals + 1) + EncodeValue(value);
            if (raw == line.raw) {
                return false;
            }
            line = ParseLine(std::move(raw));
            return true;
        }
    }
    TIniLine entry = ParseLine(EncodeKey(key) + "=" + EncodeValue(value));
    // New keys go after the last non-blank line of the section's first part, so blank
    // lines that separate it from the next section stay where they are.
    std::size_t insertAt = text.lines.size();
    bool found = false;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        const auto& line = text.lines[i];
        if (line.kind == TLineKind::Section) {
            if (found) {
                break;
            }
            if (SameText(line.name, section)) {
                found = true;
                insertAt = i + 1;
            }
        } else if (found && !TrimBlanks(line.raw).empty()) {
            insertAt = i + 1;
        }
    }
    if (!found) {
        text.lines.push_back(ParseLine("[" + section + "]"));
        insertAt = text.lines.size();
    }
    text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
    return true;
}

// ---- File access ---------------------------------------------------------------------

std::string SystemErrorText(int error) {
    return std::strerror(error);
}

void RemoveFile(const std::string& fileName) {
    std::error_code ignored;
    std::filesystem::remove(NativePath(fileName), ignored);
}

// The file's text; empty when the file does not exist. Throws EInOutError when the
// file is there but cannot be read, so that nobody mistakes it for an empty file.
TIniText LoadText(const std::string& fileName) {
    errno = 0;
    std::unique_ptr<FILE, int (*)(FILE*)> file(OpenFile(fileName, "rb"), &std::fclose);
    if (!file) {
        int error = errno;
        if (error == ENOENT) {
            return TIniText{};
        }
        throw EInOutError("Cannot open \"" + fileName + "\": " + SystemErrorText(error));
    }
    std::string content;
    char buffer[16384];
    for (;;) {
        std::size_t count = std::fread(buffer, 1, sizeof buffer, file.get());
        content.append(buffer, count);
        if (count < sizeof buffer) {
            break;
        }
    }
    if (std::ferror(file.get())) {
        throw EInOutError("Cannot read \"" + fileName + "\": " + SystemErrorText(errno));
    }
    return ParseText(std::move(content));
}

#ifndef _WIN32
// Makes the rename itself durable; a failure here loses nothing, so it is ignored.
void SyncFolderOf(const std::string& fileName) {
    auto slash = fileName.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : fileName.substr(0, slash + 1);
    int fd = ::open(folder.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

// Replaces the file's content in one step: the new text goes to a temporary file in the
// same folder, is flushed to the disk and then renamed over the old file. Until the
// rename the old file is untouched, so a crash or a full disk cannot cost its content.
void ReplaceFile(const std::string& fileName, const std::string& content) {
    const std::string tempName = fileName + ".tmp";
    errno = 0;
    FILE* file = OpenFile(tempName, "wb");
    if (!file) {
        throw EInOutError("Cannot create \"" + tempName + "\": " + SystemErrorText(errno));
    }
    bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
              std::fflush(file) == 0;
#ifdef _WIN32
    ok = ok && _commit(_fileno(file)) == 0;
#else
    ok = ok && ::fsync(fileno(file)) == 0;
#endif
    int error = errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        RemoveFile(tempName);
        throw EInOutError("Cannot write \"" + tempName + "\": " + SystemErrorText(error));
    }
#ifdef _WIN32
    if (!MoveFileExW(NativePath(tempName).c_str(), NativePath(fileName).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD code = GetLastError();
        RemoveFile(tempName);
        throw EInOutError("Cannot replace \"" + fileName + "\": system error " +
                          std::to_string(code));
    }
#else
    if (std::rename(tempName.c_str(), fileName.c_str()) != 0) {
        int renameError = errno;
        RemoveFile(tempName);
        throw EInOutError("Cannot replace \"" + fileName + "\": " + SystemErrorText(renameError));
    }
    SyncFolderOf(fileName);
#endif
}

// Loads, lets the change edit the text, and writes the result when it changed. Every
// failure is reported under the label and leaves the file as it was.
template <typename Change>
void Modify(const std::string& fileName, const char* label, Change change) {
    try {
        TIniText text = LoadText(fileName);
        if (change(text)) {
            ReplaceFile(fileName, RenderText(text));
        }
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, label));
    }
}

// The text for a read; an unreadable file is reported and reads as empty.
TIniText LoadForRead(const std::string& fileName, const char* label) {
    try {
        return LoadText(fileName);
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, label));
        return TIniText{};
    }
}

bool ParseInteger(const std::string& value, int& result) {
    std::string number = TrimBlanks(value);
    const char* begin = number.data();
    const char* end = begin + number.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    auto [ptr, error] = std::from_chars(begin, end, result);
    return error == std::errc() && ptr == end && begin != end;
}

int ReadIntegerFrom(const TIniText& text, const std::string& section, const std::string& key,
                    int def) {
    const TIniLine* entry = FindEntry(text, section, key);
    int result = 0;
    return entry && ParseInteger(entry->value, result) ? result : def;
}

// The text without the lines of the named section, but for the entries of the kept keys
// and the headers of the parts that hold one; returns false when nothing went.
bool DropSectionExcept(TIniText& text, const std::string& section,
                       const std::vector<std::string>& keptKeys) {
    auto isKept = [&](const TIniLine& line) {
        if (line.kind != TLineKind::Entry) {
            return false;
        }
        for (const std::string& key : keptKeys) {
            if (SameText(line.name, key)) {
                return true;
            }
        }
        return false;
    };
    std::vector<TIniLine> kept;
    std::vector<TIniLine> part; // the current part of the section, header first
    bool partKeepsSome = false;
    auto closePart = [&] {
        if (partKeepsSome) {
            kept.insert(kept.end(), std::make_move_iterator(part.begin()),
                        std::make_move_iterator(part.end()));
        }
        part.clear();
        partKeepsSome = false;
    };
    bool inside = false;
    const std::size_t before = text.lines.size();
    for (auto& line : text.lines) {
        if (line.kind == TLineKind::Section) {
            closePart();
            inside = SameText(line.name, section);
        }
        if (!inside) {
            kept.push_back(std::move(line));
        } else if (line.kind == TLineKind::Section || isKept(line)) {
            partKeepsSome = partKeepsSome || line.kind != TLineKind::Section;
            part.push_back(std::move(line));
        }
    }
    closePart();
    text.lines = std::move(kept);
    return text.lines.size() != before;
}

} // namespace

TSettingsFile::TSettingsFile(std::string fileName) : fileName_(std::move(fileName)) {}

bool TSettingsFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    RequireNames(section, key);
    TIniText text = LoadForRead(fileName_, "; TSettingsFile.ReadBool: ");
    return ReadIntegerFrom(text, section, key, def ? 1 : 0) != 0;
}

int TSettingsFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    RequireNames(section, key);
    TIniText text = LoadForRead(fileName_, "; TSettingsFile.ReadInteger: ");
    return ReadIntegerFrom(text, section, key, def);
}

std::string TSettingsFile::ReadString(const std::string& section, const std::string& key,
                                      const std::string& def) const {
    RequireNames(section, key);
    TIniText text = LoadForRead(fileName_, "; TSettingsFile.ReadString: ");
    const TIniLine* entry = FindEntry(text, section, key);
    return entry ? entry->value : def;
}

void TSettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    RequireNames(section, key);
    Modify(fileName_, "; TSettingsFile.WriteBool: ", [&](TIniText& text) {
        return SetEntry(text, section, key, value ? "1" : "0");
    });
}

void TSettingsFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    RequireNames(section, key);
    Modify(fileName_, "; TSettingsFile.WriteInteger: ", [&](TIniText& text) {
        return SetEntry(text, section, key, std::to_string(value));
    });
}

void TSettingsFile::WriteString(const std::string& section, const std::string& key,
                                const std::string& value) {
    RequireNames(section, key);
    Modify(fileName_, "; TSettingsFile.WriteString: ", [&](TIniText& text) {
        return SetEntry(text, section, key, value);
    });
}

void TSettingsFile::DeleteKey(const std::string& section, const std::string& key) {
    RequireNames(section, key);
    Modify(fileName_, "; TSettingsFile.DeleteKey: ", [&](TIniText& text) {
        auto member = SectionMembership(text, section);
        std::vector<TIniLine> kept;
        for (std::size_t i = 0; i < text.lines.size(); ++i) {
            auto& line = text.lines[i];
            if (!(member[i] && line.kind == TLineKind::Entry && SameText(line.name, key))) {
                kept.push_back(std::move(line));
            }
        }
        bool changed = kept.size() != text.lines.size();
        text.lines = std::move(kept);
        return changed;
    });
}

std::vector<std::pair<std::string, std::string>>
TSettingsFile::ReadSectionValues(const std::string& section) const {
    Require(ValidSectionName(section), UnitName, "section name is not empty, trimmed, without ']'");
    TIniText text = LoadForRead(fileName_, "; TSettingsFile.ReadSectionValues: ");
    auto member = SectionMembership(text, section);
    std::vector<std::pair<std::string, std::string>> values;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        if (member[i] && text.lines[i].kind == TLineKind::Entry) {
            values.emplace_back(text.lines[i].name, text.lines[i].value);
        }
    }
    return values;
}

bool TSettingsFile::SectionExists(const std::string& section) const {
    Require(ValidSectionName(section), UnitName, "section name is not empty, trimmed, without ']'");
    return HasSection(LoadForRead(fileName_, "; TSettingsFile.SectionExists: "), section);
}

void TSettingsFile::EraseSection(const std::string& section) {
    Require(ValidSectionName(section), UnitName, "section name is not empty, trimmed, without ']'");
    Modify(fileName_, "; TSettingsFile.EraseSection: ", [&](TIniText& text) {
        std::vector<TIniLine> kept;
        bool inside = false;
        for (auto& line : text.lines) {
            if (line.kind == TLineKind::Section) {
                inside = SameText(line.name, section);
            }
            if (!inside) {
                kept.push_back(std::move(line));
            }
        }
        bool changed = kept.size() != text.lines.size();
        text.lines = std::move(kept);
        return changed;
    });
}

void TSettingsFile::EraseSectionExcept(const std::string& section,
                                       const std::vector<std::string>& keptKeys) {
    Require(ValidSectionName(section), UnitName, "section name is not empty, trimmed, without ']'");
    Modify(fileName_, "; TSettingsFile.EraseSectionExcept: ", [&](TIniText& text) {
        return DropSectionExcept(text, section, keptKeys);
    });
}

} // namespace tw
