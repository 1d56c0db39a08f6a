#include "storage/usage_sql.h"

#include "base/text.h"
#include "storage/date_format.h"

namespace tw {
namespace {

// Fills each "%s" of the template in turn.
std::string Format(std::string text, std::initializer_list<std::string> values) {
    std::size_t at = 0;
    for (const std::string& value : values) {
        at = text.find("%s", at);
        text.replace(at, 2, value);
        at += value.size();
    }
    return text;
}

// The outer part both fast queries share with the reference: grouping by name over the
// matched rows followed by one zero row per list row, so that duplicate names pick the
// same caption and flag and every item is present.
std::string FastUsage(const char* list, const char* alias, const std::string& matchedRows) {
    std::string a = alias;
    return std::string("SELECT x.caption as caption, x.active as active, x.name as name, "
                       "SUM(x.duration) as total_duration FROM (") +
           matchedRows + " UNION ALL SELECT  " + a + ".caption as caption, " + a +
           ".active as active, " + a + ".name as name, 0 as duration FROM " + list + " " + a +
           ") X GROUP BY x.name";
}

std::string Bound(TDateTime value) {
    return QuotedStr(DateTimeToSQL(value));
}

// A short window is read as an index range on the time and its rows are sorted for the
// grouping. A long one is cheaper to read in the order of an index that starts with the
// grouped column, so the grouping needs no sort; the unary "+" keeps the planner off the
// time range there.
bool IsLongWindow(TDateTime from, TDateTime to) {
    return to - from > 14;
}

std::string ApplicationTotals(TDateTime from, TDateTime to) {
    if (IsLongWindow(from, to)) {
        return "SELECT app_name, SUM(duration) as duration FROM applications WHERE origin = 1 "
               "AND ((+date_created between " +
               Bound(from) + " and " + Bound(to) +
               ") or (+date_created is null)) GROUP BY app_name";
    }
    return "SELECT app_name, SUM(duration) as duration FROM (SELECT app_name, duration FROM "
           "applications WHERE origin = 1 AND date_created between " +
           Bound(from) + " and " + Bound(to) +
           " UNION ALL SELECT app_name, duration FROM applications WHERE origin = 1 AND "
           "date_created is null) GROUP BY app_name";
}

std::string AddressTotals(TDateTime from, TDateTime to) {
    const char* plus = IsLongWindow(from, to) ? "+" : "";
    return std::string("SELECT browser_url, SUM(duration) as duration FROM applications WHERE ((") +
           plus + "date_created between " + Bound(from) + " and " + Bound(to) + ") or (" + plus +
           "date_created is null)) GROUP BY browser_url";
}

} // namespace

std::string ProgramCoversSQL(const std::string& list, const std::string& totals,
                             TPathCase pathCase) {
    const std::string name = list + ".name";
    const std::string app = totals + ".app_name";
    // NOCASE folds A-Z alone, as the scan does. Where paths compare exactly the plain "="
    // keeps the joins on their indexes.
    const std::string same = pathCase == TPathCase::AnyCase ? " COLLATE NOCASE" : "";
    // The scan's choice among the list's programs: the item naming the executable's path,
    // and only where none does, the items naming its file.
    return "(" + name + " = " + app + same + " OR (program_file_matches(" + name + ", " + app +
           ") AND NOT EXISTS (SELECT 1 FROM applications_list p WHERE p.name = " + app + same +
           ")))";
}

std::string ApplicationsUsageSQL(TDateTime from, TDateTime to) {
    return Format(
        "SELECT x.caption as caption, x.active as active, x.name as name, SUM(x.duration) as "
        "total_duration FROM (SELECT  al.caption as caption, al.active as active, al.name as "
        "name, duration, date_created FROM applications_list al LEFT JOIN applications a ON "
        "al.name = a.app_name WHERE a.origin = 1 UNION ALL SELECT  al.caption as caption, "
        "al.active as active, al.name as name, 0 as duration, null as date_created FROM "
        "applications_list al) X WHERE (x.date_created between '%s' and '%s') or "
        "(x.date_created is null) GROUP BY x.name",
        {DateTimeToSQL(from), DateTimeToSQL(to)});
}

std::string WebsitesUsageSQL(TDateTime from, TDateTime to) {
    return Format(
        "SELECT x.caption as caption, x.active as active, x.name as name, SUM(x.duration) as "
        "total_duration FROM (SELECT  wl.caption as caption, wl.active as active, wl.name as "
        "name, duration, date_created FROM websites_list wl %s UNION ALL SELECT  wl.caption as "
        "caption, wl.active as active, wl.name as name, 0 as duration, null as date_created "
        "FROM websites_list wl) X WHERE (x.date_created between '%s' and '%s') or  "
        "(x.date_created is null) GROUP BY x.name",
        {"LEFT JOIN applications a ON a.browser_url  LIKE \"%\"||wl.name|| \"%\"",
         DateTimeToSQL(from), DateTimeToSQL(to)});
}

std::string ApplicationsUsageFastSQL(TDateTime from, TDateTime to, TPathCase pathCase) {
    return FastUsage("applications_list", "al",
                     "SELECT al.caption as caption, al.active as active, al.name as name, "
                     "s.duration as duration FROM applications_list al JOIN (" +
                         ApplicationTotals(from, to) + ") s ON " +
                         ProgramCoversSQL("al", "s", pathCase));
}

std::string WebsitesUsageFastSQL(TDateTime from, TDateTime to) {
    return FastUsage("websites_list", "wl",
                     "SELECT wl.caption as caption, wl.active as active, wl.name as name, "
                     "s.duration as duration FROM websites_list wl JOIN (" +
                         AddressTotals(from, to) + ") s ON url_matches(wl.name, s.browser_url)");
}

std::string ListUsageSQL(const char* list, const std::string& totalsByName) {
    return FastUsage(list, "l",
                     "SELECT l.caption as caption, l.active as active, l.name as name, s.duration "
                     "as duration FROM " +
                         std::string(list) + " l JOIN (" + totalsByName + ") s ON l.name = s.name");
}

} // namespace tw
