#pragma once

#include "base/date_time.h"

#include <string>
#include <vector>

namespace tw {

class TSQLiteDatabase;

// The activity database's daily roll-up: per accounting day and logged activity (origin,
// executable, address) the seconds, so that a long period adds up a few rows a day instead
// of every scan, and the same per day and watched item. Triggers keep it equal to the rows as they
// are written, changed and deleted; the days it already holds are marked, and a day is built from
// the rows the first time it is asked for, which covers files written before the roll-up existed.

// The roll-up's key of the accounting day that starts at the moment: "yyyy-mm-dd".
std::string RollupDayKey(TDateTime dayStart);

// The logged time text at which that day starts, quoted for SQL. Made from the day's key, so
// that a day start that is a hair off in floating point still bounds the day exactly.
std::string RollupDayStartSQL(TDateTime dayStart);

// The accounting day of a logged time text, as an SQL expression over the column: the date
// of its text, or the day before for a time before 04:00, so that a day's key covers
// exactly the texts between its start and the next day's start.
std::string RollupDayOf(const std::string& column);

// The roll-up's share of the clean-up, as statements that each delete at most %LIMIT% rows
// (run again until fewer go). RollupOldDaysSQL: the days that end before the logged time ?1,
// all of whose rows the clean-up deletes; dropped first, they cost the delete triggers
// nothing. RollupEmptyRowsSQL: rows that fell to nothing when the rows they added up went.
// Both empty for a file without the roll-up.
std::vector<std::string> RollupOldDaysSQL(TSQLiteDatabase& db);
std::vector<std::string> RollupEmptyRowsSQL(TSQLiteDatabase& db);

// Adds the roll-up to a file that lacks it (a file of an older version, or a fresh copy of
// the template); nothing when it is there. Throws the database's error.
void EnsureDailyRollup(TSQLiteDatabase& db);

// Builds the days from the day starting at firstDay up to, not including, the one starting
// at endDay that the roll-up does not hold yet, in one transaction.
void BuildRollupDays(TSQLiteDatabase& db, TDateTime firstDay, TDateTime endDay);

// The same days charged to the watched items (ItemDaysSQL), from the roll-up's days, which
// must be built. A day's charges are made again once its roll-up changed, or the lists' names
// (or the program's way of matching them) are not those they were made for.
void BuildItemDays(TSQLiteDatabase& db, TDateTime firstDay, TDateTime endDay);

// Asks, once per address, which website items cover the addresses (the column browser_url
// of the query), and keeps the answer (again for all once the lists' names change), so that
// reading a period asks no address again.
void MatchNewAddresses(TSQLiteDatabase& db, const std::string& addresses);

} // namespace tw
