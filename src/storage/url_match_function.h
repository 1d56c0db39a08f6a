#pragma once

struct sqlite3;

namespace tw {

// Makes the program's website match available to SQL as url_matches(name, address), so that
// the usage totals attribute a logged address exactly as the scan does; likewise
// program_file_matches(name, executable) for programs listed by their file name alone.
void RegisterUrlMatchFunction(sqlite3* db);

} // namespace tw
