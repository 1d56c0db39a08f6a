#pragma once

#include "items/monitored_item.h"

#include <memory>
#include <string>
#include <vector>

namespace tw {

// What adding a candidate to a list would meet.
enum class TCandidateStatus {
    New,            // not on the list
    Listed,         // present, active and checked
    ProgramItself,  // this program, which is never listed
    Inactive,       // present but inactive
    ListedUnchecked // present, active and unchecked
};

// An owning list of watched items, kept sorted by key (the caption), compared without
// regard to case; an equal key goes before its equals. Broken preconditions throw
// EAssertionFailed naming MonitoredObjects.
class TMonitoredList {
  public:
    TMonitoredList() = default;
    TMonitoredList(const TMonitoredList&) = delete;
    TMonitoredList& operator=(const TMonitoredList&) = delete;
    // Moving hands the items over whole; copies are made item by item with Assign.
    TMonitoredList(TMonitoredList&&) = default;
    TMonitoredList& operator=(TMonitoredList&&) = default;

    // Takes ownership; the item must not be null. Returns the item's index.
    int Add(const std::string& key, std::unique_ptr<TMonitoredItem> item);
    int Count() const { return static_cast<int>(pairs_.size()); }
    int Capacity() const { return static_cast<int>(pairs_.capacity()); }
    void SetCapacity(int capacity);

    const TMonitoredItem& Items(int index) const;
    TMonitoredItem& Items(int index);
    const std::string& Keys(int index) const;
    void Clear() { pairs_.clear(); }
    void Delete(int index);

    // First item whose Name equals the text, letters A-Z compared without case; failing
    // that, the first website the text names by the address rules (SameSiteName); -1 if none.
    int IndexOfName(const std::string& name) const;
    int IndexOfItem(const TMonitoredItem* item) const;
    // The item IndexOfName finds, or null.
    TMonitoredItem* Find(const std::string& name);
    const TMonitoredItem* Find(const std::string& name) const;
    // Whether any item is a website, so that browser addresses are needed.
    bool HasWebsite() const;

    // The lookup of the scan cycle: which item covers this executable and address.
    // kind becomes mitWeb for an address match, otherwise mitApp (also when nothing matched).
    // A blank address or a blank executable path takes no part in the comparison. Programs
    // match by MatchProgram; an item naming the file's path goes before one naming its file.
    int FindMatch(const std::string& exePath, const std::string& address,
                  TMonitoredItemType& kind) const;

    // Replaces the contents by copies of the source's items that pass the filters
    // (type mitAll = any; filter = null for none, otherwise a case-blind substring of the key).
    void AssignFiltered(const TMonitoredList* source, TMonitoredItemType typeFilter,
                        const std::string* textFilter);
    // Adds copies of source items that pass the text filter and whose Name is not here yet.
    void AddMissingFrom(const TMonitoredList* source, const std::string* textFilter);

    // Whether a candidate may be added. index becomes the found position or -1 (left alone
    // for the program itself).
    TCandidateStatus CheckItem(const TMonitoredItem* candidate, int& index) const;

  private:
    struct Pair {
        std::string key;
        std::unique_ptr<TMonitoredItem> item;
    };
    std::vector<Pair> pairs_;
};

// "path=caption" lines become application items, skipping names that already match an
// item of the target and lines that name no path (no "=" or nothing before it).
void FillFromNameValueList(const std::vector<std::string>& lines, TMonitoredList& target);

} // namespace tw
