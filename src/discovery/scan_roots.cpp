#include "discovery/scan_roots.h"

#include "base/text.h"
#include "discovery/program_lines.h"

#include <algorithm>

namespace tw {

std::vector<std::string> ExcludedFolders(const std::string& programFiles,
                                         const std::string& windowsFolder) {
    return {
        programFiles + "\\",
        windowsFolder + "\\",
        windowsFolder + "\\" + "system32\\",
        ParentFolder(programFiles) + "\\" + "PROGRA~1" + "\\",
    };
}

std::string RootFromUninstallValue(const std::string& value) {
    const auto colon = value.find(":\\");
    if (colon == std::string::npos || colon == 0) {
        return {};
    }
    const size_t start = colon - 1;
    size_t end = value.size();
    for (const char* suffix : {".dll", ".exe"}) {
        const auto found = value.find(suffix);
        if (found != std::string::npos) {
            end = std::min(end, found + 4);
        }
    }
    if (end <= start) {
        return {};
    }
    const std::string text = value.substr(start, end - start);
    const auto lastDelimiter = text.find_last_of('\\');
    const std::string lastPart = text.substr(lastDelimiter + 1);
    if (lastPart.find('.') != std::string::npos) {
        return text.substr(0, lastDelimiter + 1);
    }
    // A value that is itself a folder ("D:\Games\Foo" or "D:\") keeps one delimiter, so
    // that a drive's root is recognised as one.
    return IncludeTrailingDelimiter(text);
}

void AddRoot(std::vector<std::string>& roots, const std::string& folder,
             const std::vector<std::string>& excluded) {
    if (folder.empty()) {
        return;
    }
    if (std::any_of(roots.begin(), roots.end(),
                    [&](const std::string& root) { return SameText(root, folder); })) {
        return;
    }
    const std::string lower = LowerAscii(folder);
    for (const std::string& each : excluded) {
        // A folder the system could not name ("\" alone) excludes nothing.
        if (each.size() > 1 && lower.find(LowerAscii(each)) != std::string::npos) {
            return;
        }
    }
    if (folder.size() == 3 && folder[1] == ':' && folder[2] == '\\') {
        return;
    }
    roots.push_back(folder);
}

void PruneRoots(std::vector<std::string>& roots) {
    std::sort(roots.begin(), roots.end(), [](const std::string& a, const std::string& b) {
        return LowerAscii(a) < LowerAscii(b);
    });
    for (size_t i = 0; i + 1 < roots.size(); ++i) {
        const std::string lower = LowerAscii(roots[i]);
        while (i + 1 < roots.size() && LowerAscii(roots[i + 1]).find(lower) != std::string::npos) {
            roots.erase(roots.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
    }
}

} // namespace tw
