#include "items/monitored_list.h"

#include "base/exception.h"
#include "base/text.h"
#include "items/address_match.h"
#include "items/program_match.h"
#include "platform/program_paths.h"

#include <algorithm>

namespace tw {
namespace {

constexpr const char* Unit = "MonitoredObjects";

// Captions are ordered with only A-Z folded and every other byte compared as unsigned,
// deliberately not with the user's locale collation: the order decides which of two
// matching websites wins, so the same list must resolve the same way on every machine and
// under every locale. The folding agrees with SameText used by the name lookups, and byte
// order on UTF-8 is code-point order, so non-ASCII captions still sort sensibly.
bool KeyLess(const std::string& a, const std::string& b) {
    const std::string la = LowerAscii(a);
    const std::string lb = LowerAscii(b);
    return std::lexicographical_compare(
        la.begin(), la.end(), lb.begin(), lb.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        });
}

bool PassesTextFilter(const std::string& key, const std::string* textFilter) {
    return textFilter == nullptr ||
           LowerAscii(key).find(LowerAscii(*textFilter)) != std::string::npos;
}

} // namespace

int TMonitoredList::Add(const std::string& key, std::unique_ptr<TMonitoredItem> item) {
    Require(item != nullptr, Unit, "item must not be null");
    // lower_bound lands before any equal keys, so the newest of equals comes first.
    const auto at = std::lower_bound(
        pairs_.begin(), pairs_.end(), key,
        [](const Pair& pair, const std::string& k) { return KeyLess(pair.key, k); });
    const auto inserted = pairs_.insert(at, Pair{key, std::move(item)});
    return static_cast<int>(inserted - pairs_.begin());
}

void TMonitoredList::SetCapacity(int capacity) {
    Require(capacity >= 0, Unit, "capacity must not be negative");
    pairs_.reserve(static_cast<std::size_t>(capacity));
}

const TMonitoredItem& TMonitoredList::Items(int index) const {
    Require(index >= 0 && index < Count(), Unit, "item index out of range");
    return *pairs_[static_cast<std::size_t>(index)].item;
}

TMonitoredItem& TMonitoredList::Items(int index) {
    Require(index >= 0 && index < Count(), Unit, "item index out of range");
    return *pairs_[static_cast<std::size_t>(index)].item;
}

const std::string& TMonitoredList::Keys(int index) const {
    Require(index >= 0 && index < Count(), Unit, "key index out of range");
    return pairs_[static_cast<std::size_t>(index)].key;
}

void TMonitoredList::Delete(int index) {
    Require(index >= 0 && index < Count(), Unit, "delete index out of range");
    pairs_.erase(pairs_.begin() + index);
}

int TMonitoredList::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        if (SameText(pairs_[static_cast<std::size_t>(i)].item->Name, name)) {
            return i;
        }
    }
    // "https://www.Example.com" names the listed site "example.com": found, so that it is
    // not listed twice. A name written exactly as listed still wins over this, since older
    // lists may hold both spellings as items of their own.
    for (int i = 0; i < Count(); ++i) {
        const TMonitoredItem& item = *pairs_[static_cast<std::size_t>(i)].item;
        if (item.ItemType == TMonitoredItemType::mitWeb && SameSiteName(item.Name, name)) {
            return i;
        }
    }
    return -1;
}

int TMonitoredList::IndexOfItem(const TMonitoredItem* item) const {
    Require(item != nullptr, Unit, "item must not be null");
    return IndexOfName(item->Name);
}

TMonitoredItem* TMonitoredList::Find(const std::string& name) {
    const int index = IndexOfName(name);
    return index == -1 ? nullptr : pairs_[static_cast<std::size_t>(index)].item.get();
}

const TMonitoredItem* TMonitoredList::Find(const std::string& name) const {
    return const_cast<TMonitoredList*>(this)->Find(name);
}

bool TMonitoredList::HasWebsite() const {
    for (const Pair& pair : pairs_) {
        if (pair.item->ItemType == TMonitoredItemType::mitWeb) {
            return true;
        }
    }
    return false;
}

int TMonitoredList::FindMatch(const std::string& exePath, const std::string& address,
                              TMonitoredItemType& kind) const {
    const bool hasAddress = !Trim(address).empty();
    // The probe leaves the path empty when it cannot name the executable; that must not
    // charge the time to an item that happens to have no name.
    const bool hasPath = !Trim(exePath).empty();
    int pathIndex = -1;
    int fileNameIndex = -1;
    for (int i = 0; i < Count(); ++i) {
        const std::string& name = pairs_[static_cast<std::size_t>(i)].item->Name;
        if (hasAddress && UrlMatches(name, address)) {
            kind = TMonitoredItemType::mitWeb;
            return i;
        }
        if (!hasPath) {
            continue;
        }
        // Keep going: the last item of that name wins.
        switch (MatchProgram(name, exePath)) {
        case TProgramMatch::ByPath:
            pathIndex = i;
            break;
        case TProgramMatch::ByFileName:
            fileNameIndex = i;
            break;
        case TProgramMatch::None:
            break;
        }
    }
    kind = TMonitoredItemType::mitApp;
    // The item naming this very file is the more particular one; the usage totals make the
    // same choice, so the time shown is the time charged.
    return pathIndex != -1 ? pathIndex : fileNameIndex;
}

void TMonitoredList::AssignFiltered(const TMonitoredList* source, TMonitoredItemType typeFilter,
                                    const std::string* textFilter) {
    Require(source != nullptr, Unit, "source list must not be null");
    // Filtering a list into itself must not lose the items by clearing them first.
    std::vector<Pair> own;
    if (source == this) {
        own = std::move(pairs_);
    }
    const std::vector<Pair>& from = source == this ? own : source->pairs_;
    pairs_.clear();
    for (const Pair& pair : from) {
        if (typeFilter != TMonitoredItemType::mitAll && typeFilter != pair.item->ItemType) {
            continue;
        }
        if (!PassesTextFilter(pair.key, textFilter)) {
            continue;
        }
        Add(pair.key, CopyOf(*pair.item));
    }
}

void TMonitoredList::AddMissingFrom(const TMonitoredList* source, const std::string* textFilter) {
    Require(source != nullptr, Unit, "source list must not be null");
    // From itself every name is already present, and adding while walking would move the
    // pairs under the loop.
    if (source == this) {
        return;
    }
    for (const Pair& pair : source->pairs_) {
        if (!PassesTextFilter(pair.key, textFilter) || IndexOfName(pair.item->Name) != -1) {
            continue;
        }
        Add(pair.key, CopyOf(*pair.item));
    }
}

TCandidateStatus TMonitoredList::CheckItem(const TMonitoredItem* candidate, int& index) const {
    Require(candidate != nullptr, Unit, "candidate item must not be null");
    if (SameText(candidate->Name, ProgramPath())) {
        return TCandidateStatus::ProgramItself;
    }
    index = IndexOfName(candidate->Name);
    if (index == -1) {
        return TCandidateStatus::New;
    }
    const TMonitoredItem& found = Items(index);
    if (!found.Active) {
        return TCandidateStatus::Inactive;
    }
    return found.Checked ? TCandidateStatus::Listed : TCandidateStatus::ListedUnchecked;
}

void FillFromNameValueList(const std::vector<std::string>& lines, TMonitoredList& target) {
    for (const std::string& line : lines) {
        const std::size_t eq = line.find('=');
        std::string name = eq == std::string::npos ? std::string() : line.substr(0, eq);
        std::string caption = eq == std::string::npos ? line : line.substr(eq + 1);
        // A line that names no executable could never match anything once listed.
        if (Trim(name).empty()) {
            continue;
        }
        TMonitoredItemType kind;
        if (target.FindMatch(name, "", kind) != -1) {
            continue;
        }
        auto item = std::make_unique<TMonitoredItem>();
        item->Name = std::move(name);
        item->Caption = caption;
        item->ItemType = TMonitoredItemType::mitApp;
        item->Active = true;
        target.Add(caption, std::move(item));
    }
}

} // namespace tw
