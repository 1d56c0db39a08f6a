#include "discovery/program_lines.h"

#include "base/text.h"
#include "items/program_match.h"

#include <algorithm>

namespace tw {

namespace {
bool IsDelimiter(char c) {
    return c == '\\' || c == '/';
}
} // namespace

std::string ProgramLine(const std::string& path, const std::string& caption) {
    return path + "=" + caption;
}

std::string ProgramLinePath(const std::string& line) {
    return line.substr(0, line.find('='));
}

void KeepProgramLinesOf(const std::vector<std::string>& paths, std::vector<std::string>& lines) {
    std::erase_if(lines, [&](const std::string& line) {
        const std::string path = ProgramLinePath(line);
        return std::none_of(paths.begin(), paths.end(),
                            [&](const std::string& kept) { return SameProgramFile(kept, path); });
    });
}

std::string IncludeTrailingDelimiter(const std::string& folder) {
    if (folder.empty() || folder.back() == '\\') {
        return folder;
    }
    return folder + "\\";
}

std::string ParentFolder(const std::string& folder) {
    std::string text = folder;
    if (!text.empty() && IsDelimiter(text.back())) {
        text.pop_back();
    }
    const auto cut = text.find_last_of("\\/");
    return cut == std::string::npos ? text : text.substr(0, cut);
}

std::string ExtractFileName(const std::string& path) {
    const auto cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ExtractFileExt(const std::string& path) {
    const std::string name = ExtractFileName(path);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string FileNameWithoutExtension(const std::string& path) {
    const std::string name = ExtractFileName(path);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool IsOfferedShortcutTarget(const std::string& target) {
    if (!SameText(ExtractFileExt(target), ".exe")) {
        return false;
    }
    const std::string name = LowerAscii(ExtractFileName(target));
    return name.find("unins") == std::string::npos && name.find("setup") == std::string::npos &&
           target.find("\\Installer\\{") == std::string::npos;
}

bool IsOfferedWalkedExecutable(const std::string& fileName) {
    const std::string name = LowerAscii(fileName);
    // "uninst" contains "inst"; both are named as the rule reads.
    for (const char* word : {"setup", "inst", "uninst"}) {
        if (name.find(word) != std::string::npos) {
            return false;
        }
    }
    return true;
}

std::string CaptionFromVersionStrings(const std::string& fileDescription,
                                      const std::string& productName,
                                      const std::string& internalName, const std::string& path) {
    for (const std::string* candidate : {&fileDescription, &productName, &internalName}) {
        if (!Trim(*candidate).empty()) {
            return *candidate;
        }
    }
    return FileNameWithoutExtension(path);
}

std::string AbsolutePathFrom(const std::string& folder, const std::string& relative) {
    const bool rooted = relative.size() >= 2 && relative[1] == ':';
    const std::string joined = rooted ? relative : IncludeTrailingDelimiter(folder) + relative;
    // The first part ("C:" or the "\\server" start) is never climbed above.
    std::vector<std::string> parts;
    std::string part;
    std::string head;
    size_t start = 0;
    if (joined.size() >= 2 && joined[1] == ':') {
        head = joined.substr(0, 2);
        start = 2;
    } else if (joined.size() >= 2 && IsDelimiter(joined[0]) && IsDelimiter(joined[1])) {
        head = "\\";
        start = 1;
    }
    for (size_t i = start; i <= joined.size(); ++i) {
        if (i == joined.size() || IsDelimiter(joined[i])) {
            if (part == "..") {
                if (!parts.empty()) {
                    parts.pop_back();
                }
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += joined[i];
        }
    }
    std::string result = head;
    for (const std::string& each : parts) {
        result += "\\" + each;
    }
    return result.empty() || result == head ? head + "\\" : result;
}

} // namespace tw
