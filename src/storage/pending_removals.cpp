#include "storage/pending_removals.h"

#include "storage/settings_file.h"

namespace tw {
namespace {

constexpr const char* Sections[] = {"Applications", "WebSites"};

const char* PendingRemovalSection(const TMonitoredItem& item) {
    return item.ItemType == TMonitoredItemType::mitWeb ? "WebSites" : "Applications";
}

} // namespace

void RecordPendingRemoval(TSettingsFile& file, const TMonitoredItem& item) {
    file.WriteString(PendingRemovalSection(item), item.Name, item.Name);
}

void CancelPendingRemoval(TSettingsFile& file, const TMonitoredItem& item) {
    file.DeleteKey(PendingRemovalSection(item), item.Name);
}

std::vector<std::string> PendingRemovalNames(const TSettingsFile& file) {
    std::vector<std::string> names;
    for (const char* section : Sections) {
        for (const auto& [name, value] : file.ReadSectionValues(section)) {
            names.push_back(name);
        }
    }
    return names;
}

void ClearPendingRemovals(TSettingsFile& file) {
    for (const char* section : Sections) {
        if (file.SectionExists(section)) {
            file.EraseSection(section);
        }
    }
}

} // namespace tw
