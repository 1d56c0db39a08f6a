#include "monitor/add_wizard_lists.h"

#include "base/exception.h"
#include "base/text.h"
#include "platform/program_paths.h"
#include "storage/change_policy.h"

#include <array>
#include <memory>

namespace tw {

namespace {

constexpr const char* Unit = "AppSiteAddWizardFRM";

// The lists are sorted by caption: a renamed item moves to its new place.
void Rename(TMonitoredList& list, const TMonitoredItem& item, const std::string& caption) {
    auto renamed = CopyOf(item);
    renamed->Caption = caption;
    list.Delete(list.IndexOfItem(&item));
    list.Add(caption, std::move(renamed));
}

// Moves an item by name from one list to another, checked or not; false when absent.
bool MoveByName(const std::string& name, TMonitoredList& from, TMonitoredList& to, bool checked) {
    const TMonitoredItem* found = from.Find(name);
    if (found == nullptr) {
        return false;
    }
    auto moved = CopyOf(*found);
    moved->Checked = checked;
    from.Delete(from.IndexOfItem(found));
    const std::string key = moved->Caption;
    to.Add(key, std::move(moved));
    return true;
}

void AddCopy(TMonitoredList& list, const TMonitoredItem& item) {
    list.Add(item.Caption, CopyOf(item));
}

const char* DuplicateWarning(TMonitoredItemType adding, TMonitoredItemType listedAs) {
    if (adding == TMonitoredItemType::mitWeb) {
        return listedAs == TMonitoredItemType::mitApp
                   ? "You have already added an application with the same filename. Please "
                     "choose another URL."
                   : "You have already added a site with the same URL to the list. Please "
                     "choose another URL.";
    }
    return listedAs == TMonitoredItemType::mitWeb
               ? "You have already added a site with the same URL to the list. Please choose "
                 "another filename."
               : "You have already added an application with the same filename. Please choose "
                 "another filename.";
}

TAddOutcome Refused(std::string warning, const char* caption) {
    TAddOutcome outcome;
    outcome.warning = std::move(warning);
    outcome.warningCaption = caption;
    return outcome;
}

TAddOutcome Added() {
    TAddOutcome outcome;
    outcome.added = true;
    return outcome;
}

} // namespace

TAddWizardLists::TAddWizardLists(TChangePolicy& policy, std::string programName,
                                 const TMonitoredList& current,
                                 std::function<bool()> askAdminPassword)
    : policy_(policy), programName_(std::move(programName)),
      askAdminPassword_(std::move(askAdminPassword)), current_(current) {
    ExistingApps.AssignFiltered(&current, TMonitoredItemType::mitApp, nullptr);
    SiteItems.AssignFiltered(&current, TMonitoredItemType::mitWeb, nullptr);
    for (TMonitoredList* list : {&ExistingApps, &SiteItems}) {
        for (int i = 0; i < list->Count(); ++i) {
            list->Items(i).Checked = true;
        }
    }
}

TAddOutcome TAddWizardLists::AddTypedItem(TMonitoredItemType type, const std::string& tag,
                                          const std::string& name) {
    if (name.empty()) {
        return {};
    }
    if (type != TMonitoredItemType::mitApp && type != TMonitoredItemType::mitWeb) {
        throw EAssertionFailed(
            "AMonitoredItemType type = " + std::to_string(static_cast<int>(type)) +
            " is not allowed (" + Unit + ")");
    }
    BuildAppsView();
    TMonitoredItem candidate;
    candidate.Caption = Trim(tag).empty() ? name : Trim(tag);
    candidate.Name = name;
    candidate.Checked = true;
    candidate.ItemType = type;
    const bool isSite = type == TMonitoredItemType::mitWeb;

    TMonitoredList result;
    BuildResultList(result);
    int index = -1;
    const TCandidateStatus status = result.CheckItem(&candidate, index);
    if (status == TCandidateStatus::ProgramItself) {
        return Refused('"' + programName_ + "\" could not be added to time-limit list",
                       "Please Note");
    }
    // A name listed as the other kind is taken whatever the caption: a site typed on the
    // sites page must not quietly rename a listed application, nor the other way round.
    if (status != TCandidateStatus::New && result.Items(index).ItemType != type) {
        return Refused(DuplicateWarning(type, result.Items(index).ItemType), "Please Note");
    }
    switch (status) {
    case TCandidateStatus::New:
        AddCopy(isSite ? SiteItems : NamedApps, candidate);
        if (!isSite && !ScannedFirst) {
            NamedFirst = true;
        }
        return Added();
    case TCandidateStatus::Listed: {
        // An application is renamed where it lives: the first of these holding it.
        const std::array<TMonitoredList*, 3> lists =
            isSite ? std::array<TMonitoredList*, 3>{&SiteItems, nullptr, nullptr}
                   : std::array<TMonitoredList*, 3>{&ScanChosen, &NamedApps, &ExistingApps};
        for (TMonitoredList* list : lists) {
            if (list == nullptr) {
                break;
            }
            const TMonitoredItem* found = list->Find(name);
            if (found == nullptr) {
                continue;
            }
            // Only a new tag renames; the same name typed again, in whatever letter case,
            // is a duplicate.
            if (Trim(tag).empty() || found->Caption == candidate.Caption) {
                return Refused(DuplicateWarning(type, type), "Please Note");
            }
            Rename(*list, *found, candidate.Caption);
            return Added();
        }
        return {};
    }
    case TCandidateStatus::Inactive: {
        TMonitoredList& own = isSite ? SiteItems : ExistingApps;
        TMonitoredItem* found = own.Find(name);
        if (found == nullptr) {
            return {};
        }
        found->Active = true;
        found->Checked = true;
        if (!Trim(tag).empty() && found->Caption != candidate.Caption) {
            Rename(own, *found, candidate.Caption);
        }
        return Added();
    }
    case TCandidateStatus::ListedUnchecked:
        // Typing it again wants it back on the list.
        if (isSite) {
            SetSiteChecked(name, true);
        } else {
            SetAppChecked(name, true);
        }
        return Added();
    case TCandidateStatus::ProgramItself: // refused above
        break;
    }
    return {};
}

bool TAddWizardLists::FreeRemovalTaken() const {
    return policy_.MonitoredItemDeleteActionProcessed() || FreeRemovalUsed;
}

TItemDeletion TAddWizardLists::RemovalRight(const std::string& name) {
    TItemDeletion right = policy_.DeletionRight();
    if (right == TItemDeletion::Nothing && askAdminPassword_ && askAdminPassword_()) {
        right = TItemDeletion::Removed;
    }
    if (right == TItemDeletion::Deactivated) {
        // One removal a day, also within one wizard: a second one only deactivates.
        if (FreeRemovalTaken()) {
            return TItemDeletion::Deactivated;
        }
        FreeRemovalUsed = true;
        freeRemovalName_ = name;
        return TItemDeletion::Removed;
    }
    return right;
}

void TAddWizardLists::Rechecked(const std::string& name) {
    // Taking back the removal that used the day's free one gives it back.
    if (FreeRemovalUsed && SameText(freeRemovalName_, name)) {
        FreeRemovalUsed = false;
        freeRemovalName_.clear();
    }
}

bool TAddWizardLists::Unchecked(TMonitoredItem& item) {
    switch (RemovalRight(item.Name)) {
    case TItemDeletion::Nothing:
        return false;
    case TItemDeletion::Deactivated:
        item.Active = false;
        item.Checked = false;
        return true;
    case TItemDeletion::Removed:
        item.Checked = false;
        return false;
    }
    return false;
}

bool TAddWizardLists::SetAppChecked(const std::string& name, bool checked) {
    TMonitoredItem* existing = ExistingApps.Find(name);
    if (checked) {
        if (existing != nullptr) {
            existing->Checked = true;
            existing->Active = true;
            Rechecked(name);
        } else if (!MoveByName(name, ScanResults, ScanChosen, true)) {
            MoveByName(name, NamedAppsSetAside, NamedApps, true);
        }
        return false;
    }
    if (existing == nullptr) {
        if (!MoveByName(name, ScanChosen, ScanResults, false)) {
            MoveByName(name, NamedApps, NamedAppsSetAside, false);
        }
        return false;
    }
    return Unchecked(*existing);
}

bool TAddWizardLists::SetSiteChecked(const std::string& name, bool checked) {
    TMonitoredItem* found = SiteItems.Find(name);
    if (found == nullptr) {
        return false;
    }
    TMonitoredItem& item = *found;
    if (checked) {
        item.Checked = true;
        item.Active = true;
        Rechecked(name);
        return false;
    }
    if (current_.Find(name) == nullptr) {
        item.Checked = false; // typed while the wizard is open: nothing to remove
        return false;
    }
    return Unchecked(item);
}

void TAddWizardLists::StartScan() {
    if (!NamedFirst) {
        ScannedFirst = true;
    }
    ScanResults.Clear();
}

void TAddWizardLists::AddScanLines(const std::vector<std::string>& lines) {
    FillFromNameValueList(lines, ScanResults);
}

void TAddWizardLists::BuildScanView(const std::string& filter) {
    const std::string* textFilter = filter.empty() ? nullptr : &filter;
    ScanView.AssignFiltered(&ExistingApps, TMonitoredItemType::mitAll, textFilter);
    // The order only decides which copy wins when a name is in several lists.
    using TOrder = std::array<const TMonitoredList*, 3>;
    const TOrder order = NamedFirst ? TOrder{&NamedApps, &ScanChosen, &ScanResults}
                                    : TOrder{&ScanChosen, &ScanResults, &NamedApps};
    for (const TMonitoredList* list : order) {
        ScanView.AddMissingFrom(list, textFilter);
    }
}

void TAddWizardLists::BuildAppsView() {
    AppsView.AssignFiltered(&ExistingApps, TMonitoredItemType::mitAll, nullptr);
    using TOrder = std::array<const TMonitoredList*, 3>;
    const TOrder order = ScannedFirst ? TOrder{&ScanChosen, &NamedApps, &NamedAppsSetAside}
                                      : TOrder{&NamedApps, &NamedAppsSetAside, &ScanChosen};
    for (const TMonitoredList* list : order) {
        AppsView.AddMissingFrom(list, nullptr);
    }
}

void TAddWizardLists::BuildResultList(TMonitoredList& result) const {
    result.AssignFiltered(&ExistingApps, TMonitoredItemType::mitAll, nullptr);
    for (const TMonitoredList* list : {&SiteItems, &NamedApps, &ScanChosen}) {
        result.AddMissingFrom(list, nullptr);
    }
}

void TAddWizardLists::Finish() {
    if (FreeRemovalUsed) {
        policy_.SetMonitoredItemDeleteActionProcessed(true);
    }
}

} // namespace tw
