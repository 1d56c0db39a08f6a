#include "storage/usage_sql.h"

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

std::string TimeFilter(TDateTime from, TDateTime to) {
    return "((date_created between '" + DateTimeToSQL(from) + "' and '" + DateTimeToSQL(to) +
           "') or (date_created is null))";
}

} // namespace

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

std::string ApplicationsUsageFastSQL(TDateTime from, TDateTime to) {
    return FastUsage("applications_list", "al",
                     "SELECT al.caption as caption, al.active as active, al.name as name, "
                     "s.duration as duration FROM applications_list al JOIN (SELECT app_name, "
                     "SUM(duration) as duration FROM applications WHERE origin = 1 AND " +
                         TimeFilter(from, to) + " GROUP BY app_name) s ON al.name = s.app_name");
}

std::string WebsitesUsageFastSQL(TDateTime from, TDateTime to) {
    return FastUsage("websites_list", "wl",
                     "SELECT wl.caption as caption, wl.active as active, wl.name as name, "
                     "s.duration as duration FROM websites_list wl JOIN (SELECT browser_url, "
                     "SUM(duration) as duration FROM applications WHERE " +
                         TimeFilter(from, to) +
                         " GROUP BY browser_url) s ON s.browser_url LIKE '%'||wl.name||'%'");
}

} // namespace tw
