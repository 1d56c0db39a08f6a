#include "items/list_changes.h"

#include <memory>

namespace tw {

namespace {

// The list is sorted by caption: a renamed item moves to its new place.
void Update(TMonitoredList& list, int index, const TMonitoredItem& from) {
    TMonitoredItem& listed = list.Items(index);
    listed.Active = from.Active;
    if (!from.Active) {
        listed.Checked = false;
    }
    if (listed.Caption != from.Caption) {
        auto moved = CopyOf(listed);
        moved->Caption = from.Caption;
        list.Delete(index);
        list.Add(from.Caption, std::move(moved));
    }
}

} // namespace

TListChangeReport MergeListChanges(const TMonitoredList& changes, TMonitoredList& list,
                                   TMonitoredList* today) {
    TListChangeReport report;
    for (int i = 0; i < changes.Count(); ++i) {
        const TMonitoredItem& entry = changes.Items(i);
        int index = -1;
        const int todayIndex = today ? today->IndexOfItem(&entry) : -1;
        if (entry.Checked) {
            const TCandidateStatus status = list.CheckItem(&entry, index);
            if (status == TCandidateStatus::New) {
                list.Add(entry.Caption, CopyOf(entry));
                if (today && todayIndex == -1) {
                    today->Add(entry.Caption, CopyOf(entry));
                }
            } else if (status != TCandidateStatus::ProgramItself) {
                const bool wasActive = list.Items(index).Active;
                Update(list, index, entry);
                if (todayIndex != -1) {
                    Update(*today, todayIndex, entry);
                }
                if (wasActive != entry.Active) {
                    (entry.Active ? report.reactivated : report.deactivated).push_back(&entry);
                }
            }
            continue;
        }
        index = list.IndexOfItem(&entry);
        if (index == -1) {
            continue;
        }
        if (entry.Active) {
            list.Delete(index);
            if (todayIndex != -1) {
                today->Delete(todayIndex);
            }
        } else {
            const bool wasActive = list.Items(index).Active;
            Update(list, index, entry);
            if (todayIndex != -1) {
                Update(*today, todayIndex, entry);
            }
            if (wasActive) {
                report.deactivated.push_back(&entry);
            }
        }
    }
    return report;
}

} // namespace tw
