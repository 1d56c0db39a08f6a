#include "storage/ini_text.h"

#include "base/text.h"
#include "platform/file_replace.h"

#include <iterator>

namespace tw {
namespace {

const std::string Utf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
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

} // namespace

TIniText::TIniText() : eol(NativeLineEnd()) {}

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

bool DropEntry(TIniText& text, const std::string& section, const std::string& key) {
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
}

bool DropSection(TIniText& text, const std::string& section) {
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
}

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

} // namespace tw
