#include "monitor/offered_programs.h"

#include "discovery/program_lines.h"
#include "platform/desktop.h"

namespace tw {

std::vector<std::string> WindowOwningPrograms(TDesktop& desktop) {
    std::vector<std::string> owners;
    desktop.DescribeTopLevelWindows([&](const TWindowFacts& facts) {
        if (!facts.executablePath.empty()) {
            owners.push_back(facts.executablePath);
        }
        return true;
    });
    return owners;
}

void OfferedRunningPrograms(const std::function<void(std::vector<std::string>&)>& running,
                            const std::vector<std::string>* windowOwners,
                            std::vector<std::string>& lines) {
    running(lines);
    if (windowOwners != nullptr) {
        KeepProgramLinesOf(*windowOwners, lines);
    }
}

} // namespace tw
