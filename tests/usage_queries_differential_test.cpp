#include "storage/usage_sql.h"

#include "base/text.h"
#include "items/program_match.h"
#include "storage/activity_logger.h"
#include "storage/daily_rollup.h"
#include "storage/daily_usage_sql.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/log_purge.h"
#include "storage/period_usage.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using tw::TDateTime;
using tw::TSQLiteDatabase;
using tw::TSQLiteTable;

// The program reads usage through the fast queries; the reference texts define what the
// answer is. Random activity databases built around the windows' exact bounds must give
// the same rows from both, for short windows (time-range read) and long ones (read in
// the order of the grouped column).

struct TWindow {
    TDateTime from;
    TDateTime to;
};

std::string SqlValue(const std::optional<std::string>& text) {
    return text ? tw::QuotedStr(*text) : std::string("NULL");
}

// Names that stress the joins: LIKE wildcards, letter case, backslashes, an empty name.
// The site names are those on which LIKE and the scan's match agree; where they differ,
// UsageQueriesDifferencesTest below says how and why.
const std::vector<std::string> AppNames = {
    "C:\\Apps\\game.exe", "C:\\Apps\\GAME.exe", "C:\\Apps\\g%me.exe", "C:\\Apps\\g_me.exe",
    "C:\\Apps\\chat.exe", "C:\\Apps\\it's.exe", "C:\\Browser\\b.exe", "",
};
const std::vector<std::string> SiteNames = {
    "example.com", "EXAMPLE.COM", "video", "VIDEO", "other.org", "abc.org",
};
const std::vector<std::string> Urls = {
    "",
    "http://example.com/page",
    "HTTPS://WWW.EXAMPLE.COM/",
    "http://exAmple.com",
    "http://abc.org/100%25",
    "http://a_c.org/",
    "http://video.net/watch?v=1",
    "http://vidEo.net/",
    "http://other.org/it's",
    "http://aXc.org",
};

class TRandomDatabase {
  public:
    TRandomDatabase(unsigned seed, const std::string& path) : random_(seed), path_(path) {
        namespace fs = std::filesystem;
        fs::copy_file(fs::path(TALLYWICK_TEMPLATE_DIR) / "actmondb.sqlite", path);
        // Whole seconds, so that the bound texts are exact.
        now_ = tw::EncodeDate(2024, 1, 1) + Pick(0, 400) +
               Pick(0, 86399) / static_cast<double>(tw::SecondsPerDay);
        windows_ = {
            {tw::AccountingDayStart(now_), now_},
            {now_ - 1, now_},
            {now_ - 7, now_},
            {now_ - 14, now_},                 // the longest short window
            {now_ - 14 - tw::OneSecond, now_}, // the shortest long one
            {now_ - 30, now_},
            {now_ - 90, now_},
            {now_ - 20, now_ - 3},
        };
        Fill();
    }

    const std::vector<TWindow>& Windows() const { return windows_; }
    const std::string& Path() const { return path_; }
    TDateTime Now() const { return now_; }

    // What happens to a file after its days were rolled up: rows logged late into closed
    // days, rows the clean-up deletes, a row rewritten, the lists changed.
    void Change() {
        TSQLiteDatabase db(path_);
        AddListRows(db, "applications_list", AppNames);
        AddListRows(db, "websites_list", SiteNames);
        db.ExecSQL("DELETE FROM websites_list WHERE rowid IN (SELECT rowid FROM websites_list "
                   "ORDER BY random() LIMIT 1)");
        for (int i = Pick(1, 6); i > 0; --i) {
            AddRow(db);
        }
        db.ExecSQL("DELETE FROM applications WHERE rowid IN (SELECT rowid FROM applications "
                   "ORDER BY random() LIMIT " +
                   std::to_string(Pick(0, 8)) + ")");
        db.ExecSQL("UPDATE applications SET duration = duration + 7, date_created = " +
                   SqlValue(RandomDate()) +
                   " WHERE rowid IN (SELECT rowid FROM applications ORDER BY random() LIMIT 1)");
    }

  private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool Chance(int percent) { return Pick(1, 100) <= percent; }
    template <class T> const T& OneOf(const std::vector<T>& values) {
        return values[static_cast<std::size_t>(Pick(0, static_cast<int>(values.size()) - 1))];
    }

    // Mostly on or right next to a bound of some window, sometimes anywhere, rarely absent.
    std::optional<std::string> RandomDate() {
        if (Chance(4)) {
            return std::nullopt;
        }
        const TWindow& window = OneOf(windows_);
        switch (Pick(0, 7)) {
        case 6:
            // Around the start of a day: the daily reset.
            return tw::DateTimeToSQL(tw::AccountingDayStart(now_ - Pick(0, 95)) +
                                     Pick(-1, 0) * tw::OneSecond);
        case 7:
            return tw::DateTimeToSQL(tw::AccountingDayStart(now_ - Pick(0, 95)));
        case 0:
            return tw::DateTimeToSQL(window.from);
        case 1:
            return tw::DateTimeToSQL(window.to);
        case 2:
            return tw::DateTimeToSQL(window.from - tw::OneSecond);
        case 3:
            return tw::DateTimeToSQL(window.to + tw::OneSecond);
        default:
            return tw::DateTimeToSQL(now_ - Pick(0, 100 * 86400) / tw::SecondsPerDay);
        }
    }

    void AddListRows(TSQLiteDatabase& db, const char* table, const std::vector<std::string>& pool) {
        const int count = Pick(0, 5);
        for (int i = 0; i < count; ++i) {
            std::optional<std::string> name = OneOf(pool);
            if (Chance(3)) {
                name.reset();
            }
            // Same name twice, with another caption and flag.
            const int copies = Chance(25) ? 2 : 1;
            for (int c = 0; c < copies; ++c) {
                db.ExecSQL(std::string("INSERT INTO ") + table + "(name, caption, active) VALUES(" +
                           SqlValue(name) + ", " +
                           tw::QuotedStr("Caption " + std::to_string(Pick(0, 9))) + ", " +
                           std::to_string(Pick(0, 1)) + ")");
            }
        }
    }

    void Fill() {
        TSQLiteDatabase db(path_);
        db.ExecSQL("BEGIN");
        AddListRows(db, "applications_list", AppNames);
        AddListRows(db, "websites_list", SiteNames);
        const int rows = Pick(0, 40);
        for (int i = 0; i < rows; ++i) {
            AddRow(db);
        }
        db.ExecSQL("COMMIT");
    }

    void AddRow(TSQLiteDatabase& db) {
        std::optional<std::string> app = Chance(85) ? OneOf(AppNames) : "C:\\Other\\x.exe";
        std::optional<std::string> url = OneOf(Urls);
        if (Chance(3)) {
            url.reset();
        }
        if (Chance(2)) {
            app.reset();
        }
        db.ExecSQL("INSERT INTO applications(date_created, app_name, browser_url, app_type, "
                   "duration, origin) VALUES(" +
                   SqlValue(RandomDate()) + ", " + SqlValue(app) + ", " + SqlValue(url) +
                   ", 'Desktop Application', " +
                   (Chance(3) ? std::string("NULL") : std::to_string(Pick(0, 600))) + ", " +
                   std::to_string(Pick(1, 2)) + ")");
    }

    std::mt19937 random_;
    std::string path_;
    TDateTime now_ = 0;
    std::vector<TWindow> windows_;
};

// Every row and column as the program reads it, with the column types it would use.
std::string Dump(TSQLiteTable& table) {
    std::ostringstream out;
    out << table.RowCount() << " rows\n";
    for (int c = 0; c < table.ColumnCount(); ++c) {
        out << table.ColumnName(c) << ":" << table.TypeOfColumn(c) << " ";
    }
    out << "\n";
    for (bool more = table.First(); more && !table.Eof(); more = table.Next()) {
        for (const char* column : {"CAPTION", "ACTIVE", "NAME", "TOTAL_DURATION"}) {
            out << column << "=" << table.ValueByName(column) << " | ";
        }
        out << "\n";
    }
    return out.str();
}

TEST(UsageQueriesDifferentialTest, FastQueriesReturnTheReferenceRows) {
    twtest::TempDir dir;
    int compared = 0;
    int nonEmpty = 0;
    for (unsigned seed = 1; seed <= 80; ++seed) {
        TRandomDatabase data(seed, dir.File("actmondb" + std::to_string(seed) + ".sqlite"));
        TSQLiteDatabase db(data.Path());
        for (const TWindow& window : data.Windows()) {
            const std::pair<std::string, std::string> queries[] = {
                {tw::ApplicationsUsageSQL(window.from, window.to),
                 tw::ApplicationsUsageFastSQL(window.from, window.to)},
                {tw::WebsitesUsageSQL(window.from, window.to),
                 tw::WebsitesUsageFastSQL(window.from, window.to)},
            };
            for (const auto& [reference, fast] : queries) {
                auto expected = db.GetTable(reference);
                auto actual = db.GetTable(fast);
                const std::string expectedRows = Dump(*expected);
                ASSERT_EQ(expectedRows, Dump(*actual))
                    << "seed " << seed << ", window " << tw::DateTimeToSQL(window.from) << " .. "
                    << tw::DateTimeToSQL(window.to) << "\nfast query: " << fast;
                ++compared;
                nonEmpty += expected->RowCount() > 0 ? 1 : 0;
            }
        }
    }
    // The generator must actually produce lists to compare.
    EXPECT_EQ(80 * 8 * 2, compared);
    EXPECT_GT(nonEmpty, compared / 2);
}

// The daily roll-up stands in for the rows of whole closed days: the totals read over it are
// the reference rows, and so are the per-day figures, on files that never had a roll-up and
// after rows were logged late, rewritten and cleaned up under it.
using TTotals = std::map<std::pair<std::string, std::string>, std::int64_t>; // (day, name)

// The reference totals per name over a window.
std::map<std::string, std::int64_t> ReferenceTotals(TSQLiteDatabase& db, const TWindow& window) {
    std::map<std::string, std::int64_t> totals;
    for (const std::string& sql : {tw::ApplicationsUsageSQL(window.from, window.to),
                                   tw::WebsitesUsageSQL(window.from, window.to)}) {
        auto table = db.GetTable(sql);
        for (bool more = table->First(); more && !table->Eof(); more = table->Next()) {
            totals[table->ValueByName("name")] +=
                table->ValueAsInteger(table->ColumnIndex("total_duration"));
        }
    }
    return totals;
}

// The reference per day: each accounting day's part of the window on its own, less the rows
// that carry no time (the reference counts them in every window, the days in none).
TTotals ReferenceDays(TSQLiteDatabase& db, const TWindow& window) {
    const TDateTime never = tw::EncodeDate(1900, 1, 1);
    const auto timeless = ReferenceTotals(db, {never, never});
    TTotals days;
    for (TDateTime day = tw::AccountingDayStart(window.from); day <= window.to; day += 1) {
        const TWindow part{std::max(day, window.from),
                           std::min(day + 1 - tw::OneSecond, window.to)};
        for (const auto& [name, seconds] : ReferenceTotals(db, part)) {
            const std::int64_t own = seconds - timeless.at(name);
            if (own != 0) {
                days[{tw::DateToText(day), name}] += own;
            }
        }
    }
    return days;
}

TTotals ProgramDays(TSQLiteDatabase& db) {
    TTotals days;
    for (const tw::TDailyItemUsage& usage : tw::ReadDailyItemUsage(db)) {
        days[{usage.day, usage.name}] += usage.seconds;
    }
    return days;
}

TEST(UsageQueriesDifferentialTest, DailyRollupGivesTheReferenceFigures) {
    twtest::TempDir dir;
    int rolledUp = 0;
    for (unsigned seed = 1; seed <= 16; ++seed) {
        TRandomDatabase data(seed, dir.File("rollup" + std::to_string(seed) + ".sqlite"));
        for (int round = 0; round < 2; ++round) {
            for (const TWindow& window : data.Windows()) {
                TSQLiteDatabase db(data.Path());
                const tw::TPeriodSplit split =
                    tw::GatherPeriodUsage(db, window.from, window.to, data.Now());
                rolledUp += split.UsesRollup() ? 1 : 0;
                const std::pair<std::string, std::string> queries[] = {
                    {tw::ApplicationsUsageSQL(window.from, window.to),
                     tw::ApplicationsPeriodUsageSQL()},
                    {tw::WebsitesUsageSQL(window.from, window.to), tw::WebsitesPeriodUsageSQL()},
                };
                const std::string where = "seed " + std::to_string(seed) + ", round " +
                                          std::to_string(round) + ", window " +
                                          tw::DateTimeToSQL(window.from) + " .. " +
                                          tw::DateTimeToSQL(window.to);
                for (const auto& [reference, rollup] : queries) {
                    ASSERT_EQ(Dump(*db.GetTable(reference)), Dump(*db.GetTable(rollup))) << where;
                }
                ASSERT_EQ(ReferenceDays(db, window), ProgramDays(db)) << where;
            }
            data.Change();
            // The clean-up as the program runs it, in slices.
            tw::TErrorLog log;
            tw::TLogPurge purge(log, data.Path(), data.Now(), true, true);
            while (purge.Step()) {
            }
        }
    }
    EXPECT_GT(rolledUp, 16 * 2 * 4);
}

// Where the program's totals part from the reference: a website item counts an address only
// where the scan would have charged it to that item.
struct TDifference {
    const char* name;
    const char* address;
    bool referenceCounts;
    bool programCounts;
    const char* why;
};

TEST(UsageQueriesDifferencesTest, SiteTotalsFollowTheScansMatch) {
    const TDifference cases[] = {
        {"book.com", "https://facebook.com/", true, false,
         "part of a label: the time is facebook.com's, not also book.com's"},
        {"example.com", "http://example.org/?u=example.com", true, false,
         "the name in the query is not the page's host"},
        {"it's", "http://other.org/it's", true, false, "nor in the path"},
        {"ex%le", "http://example.com/", true, false, "% is no wildcard in a list entry"},
        {"a_c", "http://aXc.org/", true, false, "nor is _"},
        {"", "http://example.com/", true, false, "an empty name covers nothing"},
        {"example.com/News", "http://example.com/news", true, false,
         "a path keeps its case, which LIKE ignores"},
        {"example.com", "http://example.com/", true, true, "agreed: the plain case"},
    };
    twtest::TempDir dir;
    int n = 0;
    for (const TDifference& c : cases) {
        const std::string path = dir.File("differences" + std::to_string(n++) + ".sqlite");
        std::filesystem::copy_file(
            std::filesystem::path(TALLYWICK_TEMPLATE_DIR) / "actmondb.sqlite", path);
        TSQLiteDatabase db(path);
        const TDateTime now = tw::EncodeDate(2024, 5, 1) + 0.5;
        db.ExecSQL("INSERT INTO websites_list(name, caption, active) VALUES(" +
                   tw::QuotedStr(c.name) + ", 'Site', 1)");
        db.ExecSQL("INSERT INTO applications(date_created, app_name, browser_url, app_type, "
                   "duration, origin) VALUES(" +
                   tw::QuotedStr(tw::DateTimeToSQL(now)) + ", 'b', " + tw::QuotedStr(c.address) +
                   ", 'Web Site', 60, 1)");
        const auto total = [&](const std::string& sql) {
            auto table = db.GetTable(sql);
            return table->ValueAsInteger(table->ColumnIndex("total_duration"));
        };
        EXPECT_EQ(total(tw::WebsitesUsageSQL(now - 1, now + 1)), c.referenceCounts ? 60 : 0)
            << c.name << " / " << c.address;
        EXPECT_EQ(total(tw::WebsitesUsageFastSQL(now - 1, now + 1)), c.programCounts ? 60 : 0)
            << c.name << " / " << c.address << ": " << c.why;
    }
}

// A path logged in another letter case than the list's: counted on Windows, where the scan
// counts it, and not elsewhere, where it is another file. Both ways run here: the totals
// must charge what the scan's own comparison charges, the path's item before the file's.
TEST(UsageQueriesDifferencesTest, ProgramPathsCompareAsTheScanDoes) {
    const std::string listed = "C:/Windows/System32/notepad.exe";
    const std::string logged = "C:/Windows/system32/notepad.exe";
    struct TCase {
        tw::TPathCase pathCase;
        bool alsoByFileName;
        std::int64_t pathItemSeconds;
    };
    const TCase cases[] = {
        {tw::TPathCase::AnyCase, false, 60},
        {tw::TPathCase::Exact, false, 0},
        {tw::TPathCase::AnyCase, true, 60},
        {tw::TPathCase::Exact, true, 0},
    };
    twtest::TempDir dir;
    int n = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(n);
        const std::string path = dir.File("paths" + std::to_string(n++) + ".sqlite");
        std::filesystem::copy_file(
            std::filesystem::path(TALLYWICK_TEMPLATE_DIR) / "actmondb.sqlite", path);
        TSQLiteDatabase db(path);
        const TDateTime now = tw::EncodeDate(2024, 5, 1) + 0.5;
        std::vector<std::string> names = {listed};
        if (c.alsoByFileName) {
            names.push_back("notepad.exe");
        }
        for (const std::string& name : names) {
            db.ExecSQL("INSERT INTO applications_list(name, caption, active) VALUES(" +
                       tw::QuotedStr(name) + ", " + tw::QuotedStr(name) + ", 1)");
        }
        db.ExecSQL("INSERT INTO applications(date_created, app_name, browser_url, app_type, "
                   "duration, origin) VALUES(" +
                   tw::QuotedStr(tw::DateTimeToSQL(now)) + ", " + tw::QuotedStr(logged) +
                   ", '', 'Desktop Application', 60, 1)");
        // The scan's choice: the items naming the path, or else those naming its file.
        std::map<std::string, std::int64_t> scan;
        bool byPath = false;
        for (const std::string& name : names) {
            byPath =
                byPath || tw::MatchProgram(name, logged, c.pathCase) == tw::TProgramMatch::ByPath;
        }
        for (const std::string& name : names) {
            const tw::TProgramMatch match = tw::MatchProgram(name, logged, c.pathCase);
            scan[name] =
                match == (byPath ? tw::TProgramMatch::ByPath : tw::TProgramMatch::ByFileName) ? 60
                                                                                              : 0;
        }
        EXPECT_EQ(scan[listed], c.pathItemSeconds);
        std::map<std::string, std::int64_t> totals;
        auto table = db.GetTable(tw::ApplicationsUsageFastSQL(now - 1, now + 1, c.pathCase));
        for (bool more = table->First(); more && !table->Eof(); more = table->Next()) {
            totals[table->ValueByName("name")] =
                table->ValueAsInteger(table->ColumnIndex("total_duration"));
        }
        EXPECT_EQ(totals, scan);
    }
}

} // namespace
