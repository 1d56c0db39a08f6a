#include "items/program_match.h"

#include "base/text.h"
#include "platform/file_names.h"

#include <algorithm>

namespace tw {

namespace {

std::string FileNameOf(const std::string& path) {
    const auto cut = path.find_last_of(FolderSeparators());
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

} // namespace

TPathCase NativePathCase() {
    return FileNamesIgnoreCase() ? TPathCase::AnyCase : TPathCase::Exact;
}

bool SameProgramFile(const std::string& a, const std::string& b, TPathCase pathCase) {
    return pathCase == TPathCase::AnyCase ? SameText(a, b) : a == b;
}

bool IsBareProgramName(const std::string& itemName) {
    // Either system's separators make a path: a list written on one keeps its meaning on the
    // other, and no program file is named with them.
    return !Trim(itemName).empty() && itemName.find_first_of("\\/:") == std::string::npos;
}

bool ProgramFileNameMatches(const std::string& itemName, const std::string& exePath) {
    if (!IsBareProgramName(itemName) || Trim(exePath).empty()) {
        return false;
    }
    return SameProgramFile(FileNameOf(exePath), itemName);
}

TProgramMatch MatchProgram(const std::string& itemName, const std::string& exePath,
                           TPathCase pathCase) {
    if (Trim(exePath).empty()) {
        return TProgramMatch::None;
    }
    if (IsBareProgramName(itemName)) {
        return SameProgramFile(FileNameOf(exePath), itemName, pathCase) ? TProgramMatch::ByFileName
                                                                        : TProgramMatch::None;
    }
    return SameProgramFile(itemName, exePath, pathCase) ? TProgramMatch::ByPath
                                                        : TProgramMatch::None;
}

std::vector<std::string> ProgramsCovered(const std::string& itemName,
                                         const std::vector<std::string>& knownPaths) {
    std::vector<std::string> covered;
    for (const std::string& path : knownPaths) {
        if (MatchProgram(itemName, path) != TProgramMatch::None &&
            std::find(covered.begin(), covered.end(), path) == covered.end()) {
            covered.push_back(path);
        }
    }
    return covered;
}

} // namespace tw
