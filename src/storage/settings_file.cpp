#include "storage/settings_file.h"

#include "base/exception.h"
#include "base/text.h"
#include "platform/file_replace.h"
#include "platform/native_path.h"
#include "storage/error_log.h"
#include "storage/ini_text.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

// The file's format is ini_text.h's; every write replaces the whole file in one step
// (file_replace.h).

namespace tw {
namespace {

const char UnitName[] = "settings_file";

void RequireNames(const std::string& section, const std::string& key) {
    Require(ValidSectionName(section), UnitName, "section name is not empty, trimmed, without ']'");
    Require(!key.empty(), UnitName, "key name is not empty");
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
        throw EInOutError("Cannot open \"" + fileName + "\": " + std::strerror(error));
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
        throw EInOutError("Cannot read \"" + fileName + "\": " + std::strerror(errno));
    }
    return ParseText(std::move(content));
}

// Loads, lets the change edit the text, and writes the result when it changed. Every
// failure is reported under the label and leaves the file as it was.
template <typename Change>
void Modify(TErrorLog& log, const std::string& fileName, const char* label, Change change) {
    try {
        TIniText text = LoadText(fileName);
        if (change(text)) {
            ReplaceFileContent(fileName, RenderText(text));
        }
    } catch (const std::exception& e) {
        log.Report(ErrorReportText(e, label));
    }
}

// The text for a read; an unreadable file is reported and reads as empty.
TIniText LoadForRead(TErrorLog& log, const std::string& fileName, const char* label) {
    try {
        return LoadText(fileName);
    } catch (const std::exception& e) {
        log.Report(ErrorReportText(e, label));
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

} // namespace

TSettingsFile::TSettingsFile(std::string fileName, TErrorLog& log)
    : fileName_(std::move(fileName)), log_(log) {}

bool TSettingsFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    RequireNames(section, key);
    TIniText text = LoadForRead(log_, fileName_, "; TSettingsFile.ReadBool: ");
    return ReadIntegerFrom(text, section, key, def ? 1 : 0) != 0;
}

int TSettingsFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    RequireNames(section, key);
    TIniText text = LoadForRead(log_, fileName_, "; TSettingsFile.ReadInteger: ");
    return ReadIntegerFrom(text, section, key, def);
}

std::string TSettingsFile::ReadString(const std::string& section, const std::string& key,
                                      const std::string& def) const {
    RequireNames(section, key);
    TIniText text = LoadForRead(log_, fileName_, "; TSettingsFile.ReadString: ");
    const TIniLine* entry = FindEntry(text, section, key);
    return entry ? entry->value : def;
}

void TSettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    RequireNames(section, key);
    Modify(log_, fileName_, "; TSettingsFile.WriteBool: ", [&](TIniText& text) {
        return SetEntry(text, section, key, value ? "1" : "0");
    });
}

void TSettingsFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    RequireNames(section, key);
    Modify(log_, fileName_, "; TSettingsFile.WriteInteger: ", [&](TIniText& text) {
        return SetEntry(text, section, key, std::to_string(value));
    });
}

void TSettingsFile::WriteString(const std::string& section, const std::string& key,
                                const std::string& value) {
    RequireNames(section, key);
    Modify(log_, fileName_, "; TSettingsFile.WriteString: ", [&](TIniText& text) {
        return SetEntry(text, section, key, value);
    });
}

void TSettingsFile::DeleteKey(const std::string& section, const std::string& key) {
    RequireNames(section, key);
    Modify(log_, fileName_, "; TSettingsFile.DeleteKey: ", [&](TIniText& text) {
        return DropEntry(text, section, key);
    });
}

std::vector<std::pair<std::string, std::string>>
TSettingsFile::ReadSectionValues(const std::string& section) const {
    Require(ValidSectionName(section), UnitName, "section name is not empty, trimmed, without ']'");
    TIniText text = LoadForRead(log_, fileName_, "; TSettingsFile.ReadSectionValues: ");
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
    return HasSection(LoadForRead(log_, fileName_, "; TSettingsFile.SectionExists: "), section);
}

void TSettingsFile::EraseSection(const std::string& section) {
    Require(ValidSectionName(section), UnitName, "section name is not empty, trimmed, without ']'");
    Modify(log_, fileName_, "; TSettingsFile.EraseSection: ", [&](TIniText& text) {
        return DropSection(text, section);
    });
}

void TSettingsFile::EraseSectionExcept(const std::string& section,
                                       const std::vector<std::string>& keptKeys) {
    Require(ValidSectionName(section), UnitName, "section name is not empty, trimmed, without ']'");
    Modify(log_, fileName_, "; TSettingsFile.EraseSectionExcept: ", [&](TIniText& text) {
        return DropSectionExcept(text, section, keptKeys);
    });
}

} // namespace tw
