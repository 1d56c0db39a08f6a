#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tw {

class TErrorLog;

// The program's INI-style settings file: "[Section]" lines open sections, "key=value"
// lines follow. Section and key names are matched without regard to case (A-Z).
// Every read reads the file; every write rewrites it at once and atomically, so a crash
// leaves either the old or the new file, never half of one. A file that cannot be read or
// written is reported to the log: a read then gives the default, a write leaves the file.
class TSettingsFile {
  public:
    TSettingsFile(std::string fileName, TErrorLog& log);
    TErrorLog& Log() const { return log_; }

    const std::string& FileName() const { return fileName_; }

    // Any integer other than 0 is true; missing or not an integer gives the default.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    // Decimal integer; missing or not an integer gives the default.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;

    void WriteBool(const std::string& section, const std::string& key, bool value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    void DeleteKey(const std::string& section, const std::string& key);
    // All key=value pairs of a section in file order (empty when the section is missing).
    std::vector<std::pair<std::string, std::string>>
    ReadSectionValues(const std::string& section) const;
    bool SectionExists(const std::string& section) const;
    void EraseSection(const std::string& section);
    // Erases the section but for the entries of the given keys, in one write: a crash leaves
    // either the whole section or what is kept.
    void EraseSectionExcept(const std::string& section, const std::vector<std::string>& keptKeys);

  private:
    std::string fileName_;
    TErrorLog& log_;
};

} // namespace tw
