#include "storage/url_match_function.h"

#include "items/address_match.h"
#include "items/program_match.h"

#include <sqlite3.h>

#include <string>

namespace tw {
namespace {

// A missing name or address matches nothing, as a NULL in LIKE does.
void UrlMatchesFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
    const auto* name = sqlite3_value_text(arguments[0]);
    const auto* address = sqlite3_value_text(arguments[1]);
    if (!name || !address) {
        sqlite3_result_int(context, 0);
        return;
    }
    const bool matches =
        UrlMatches(reinterpret_cast<const char*>(name), reinterpret_cast<const char*>(address));
    sqlite3_result_int(context, matches ? 1 : 0);
}

void ProgramFileMatchesFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
    const auto* name = sqlite3_value_text(arguments[0]);
    const auto* path = sqlite3_value_text(arguments[1]);
    const bool matches = name && path &&
                         ProgramFileNameMatches(reinterpret_cast<const char*>(name),
                                                reinterpret_cast<const char*>(path));
    sqlite3_result_int(context, matches ? 1 : 0);
}

} // namespace

void RegisterUrlMatchFunction(sqlite3* db) {
    constexpr int Flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "url_matches", 2, Flags, nullptr, UrlMatchesFunction, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(db, "program_file_matches", 2, Flags, nullptr,
                               ProgramFileMatchesFunction, nullptr, nullptr, nullptr);
}

} // namespace tw
