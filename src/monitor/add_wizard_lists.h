#pragma once

#include "items/monitored_list.h"
#include "storage/item_deletion.h"

#include <functional>
#include <string>

namespace tw {

class TChangePolicy;

// What happened to a typed site or program.
struct TAddOutcome {
    bool added = false;
    // A refusal the person is told about (captioned "Please Note").
    std::string warning;
    std::string warningCaption;
};

// The add wizard's working state: the list as it was (never changed here), what was typed,
// browsed, scanned, checked and unchecked, and the result handed back. The window only shows
// these lists and passes the person's clicks on.
class TAddWizardLists {
  public:
    // askAdminPassword is asked before a removal that the person has no right to make;
    // programName is this program's own file name, which is never listed.
    TAddWizardLists(TChangePolicy& policy, std::string programName, const TMonitoredList& current,
                    std::function<bool()> askAdminPassword);

    TMonitoredList ExistingApps;      // the listed applications, all checked
    TMonitoredList SiteItems;         // the listed sites, all checked, and sites typed here
    TMonitoredList NamedApps;         // applications typed or browsed here, checked
    TMonitoredList NamedAppsSetAside; // of those, the ones unchecked again
    TMonitoredList ScanResults;       // found by the last scan, not checked
    TMonitoredList ScanChosen;        // scan results that were checked
    TMonitoredList ScanView;          // what the scan page shows
    TMonitoredList AppsView;          // what the name page shows

    bool ScannedFirst = false;
    bool NamedFirst = false;
    bool FreeRemovalUsed = false;

    // type is mitApp or mitWeb. The name is kept as given; an empty one does nothing.
    TAddOutcome AddTypedItem(TMonitoredItemType type, const std::string& tag,
                             const std::string& name);

    // Checks or unchecks an application of the two application pages, or a site, by name.
    // Unchecking a listed item is a removal, under the once-a-day rule. Returns true when
    // the item ended up deactivated instead of unchecked (the row loses its selection).
    bool SetAppChecked(const std::string& name, bool checked);
    bool SetSiteChecked(const std::string& name, bool checked);

    // A scan begins: what an earlier one found goes.
    void StartScan();
    // A scan's lines "path=caption": added to the results unless already there.
    void AddScanLines(const std::vector<std::string>& lines);

    // The filter keeps captions containing the text, regardless of letter case.
    void BuildScanView(const std::string& filter);
    void BuildAppsView();
    // Every listed application, then the sites, the named and the chosen applications,
    // each name once, each with its checked and active state.
    void BuildResultList(TMonitoredList& result) const;
    // Finish: the day's free removal is recorded as used when it was.
    void Finish();

  private:
    // What unchecking a listed item comes to for this person today.
    TItemDeletion RemovalRight(const std::string& name);
    bool FreeRemovalTaken() const;
    void Rechecked(const std::string& name);
    // Unchecking a listed item: removed, deactivated or left, by right; true when deactivated.
    bool Unchecked(TMonitoredItem& item);

    TChangePolicy& policy_;
    std::string programName_;
    std::function<bool()> askAdminPassword_;
    const TMonitoredList& current_;
    // The item whose removal used the day's free one, so that checking it again returns it.
    std::string freeRemovalName_;
};

} // namespace tw
