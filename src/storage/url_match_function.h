#pragma once

struct sqlite3;

namespace tw {

// Makes the program's website match available to SQL as url_matches(name, address), so that
// the usage totals attribute a logged address exactly as the scan does.
void RegisterUrlMatchFunction(sqlite3* db);

} // namespace tw
