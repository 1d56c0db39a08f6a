#pragma once

#include "base/date_time.h"
#include "items/program_match.h"

#include <string>

namespace tw {

// When a list's program item covers a logged executable, as the scan decides it: the same
// path, or a file name of the executable's when no item names that path, paths compared as
// the case says. list and totals are the aliases of the list and of the logged rows.
std::string ProgramCoversSQL(const std::string& list, const std::string& totals,
                             TPathCase pathCase = NativePathCase());

// The usage totals per watched item over [from, to], one row per list row name with
// the columns caption, active, name and total_duration. These are the reference texts:
// their LEFT JOIN runs over every logged row before the time filter applies.
std::string ApplicationsUsageSQL(TDateTime from, TDateTime to);
std::string WebsitesUsageSQL(TDateTime from, TDateTime to);

// Queries that first add up the durations per distinct executable or address inside the
// time window (an index range) and only then join that small set to the list. These are the
// ones the program runs. They return the reference rows, except that a website item counts
// an address only where the scan's own match (url_matches) says it covers it: the
// reference's LIKE would also count facebook.com's time toward book.com, and the time on
// the list would hold it twice. Likewise a program listed by its file name alone counts the
// executables of that name that no item lists by path, where the reference counts none.
// On Windows a path logged in another letter case than the list's counts toward the item,
// as the scan counted it; the reference compares exactly.
std::string ApplicationsUsageFastSQL(TDateTime from, TDateTime to,
                                     TPathCase pathCase = NativePathCase());
std::string WebsitesUsageFastSQL(TDateTime from, TDateTime to);

// The same rows for one list ("applications_list" or "websites_list") over time already
// charged to its items: a query with the columns name (a list name) and duration.
std::string ListUsageSQL(const char* list, const std::string& totalsByName);

} // namespace tw
