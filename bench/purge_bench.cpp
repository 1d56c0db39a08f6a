// Measures the start-up clean-up's slices on the window's thread: the longest one decides
// whether the window stutters. The database holds 100 days of heavy use (one row every 3
// seconds, 8 hours a day; 15 listed programs, 3 unlisted ones, half of the rows from a
// browser) with the daily roll-up built, so its delete triggers run: the first start after
// an update, 10 days past the retention and the unlisted programs' rows never cleaned up.
// Runs the clean-up as the program does (TLogPurge), and for comparison the statements of the
// earlier clean-up (1000 old rows a slice, then every unlisted row of a day at once), each on
// a copy of the same file.
//
//   purge_bench [folder] [days] [rows-per-day]   (default: a new folder here, 100, 9600)
#include "storage/clock.h"
#include "storage/daily_rollup.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/log_purge.h"
#include "storage/sqlite_database.h"
#include "support/manual_clock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace tw;
namespace fs = std::filesystem;

std::string AppPath(int i) {
    return "/opt/games/game" + std::to_string(i) + "/bin/game" + std::to_string(i);
}

void FillDatabase(const std::string& file, TDateTime firstDay, int days, int rowsPerDay) {
    TSQLiteDatabase db(file);
    db.ExecSQL("BEGIN");
    for (int i = 0; i < 15; ++i) {
        db.ExecSQL("INSERT INTO applications_list(name, caption, active) VALUES('" + AppPath(i) +
                   "', 'Game " + std::to_string(i) + "', 1)");
        db.ExecSQL("INSERT INTO websites_list(name, caption, active) VALUES('site" +
                   std::to_string(i) + ".example', 'Site', 1)");
    }
    std::mt19937 random(42);
    for (int day = 0; day < days; ++day) {
        const TDateTime start = firstDay + day + 9 * OneHour;
        for (int r = 0; r < rowsPerDay; ++r) {
            const std::string date = DateTimeToSQL(start + r * 3 * OneSecond);
            const int pick = static_cast<int>(random() % 18); // 15 listed, 3 unlisted
            if (r % 2 == 0) {
                db.ExecSQL("INSERT INTO applications VALUES(?1, '/usr/lib/browser/browser', ?2, "
                           "'Google Chrome', 3, 2)",
                           {date, "https://www.site" + std::to_string(pick) + ".example/page/" +
                                      std::to_string(random() % 50)});
            } else {
                db.ExecSQL("INSERT INTO applications VALUES(?1, ?2, '', 'Desktop Application', "
                           "3, 1)",
                           {date, pick < 15 ? AppPath(pick) : "/opt/tool" + std::to_string(pick)});
            }
        }
    }
    db.ExecSQL("COMMIT");
    EnsureDailyRollup(db);
    BuildRollupDays(db, firstDay + 4 * OneHour, firstDay + days + 4 * OneHour);
}

void Report(const char* what, const std::function<bool()>& step) {
    std::vector<double> slices;
    double total = 0;
    for (bool more = true; more;) {
        const auto start = std::chrono::steady_clock::now();
        more = step();
        slices.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        total += slices.back();
    }
    std::sort(slices.begin(), slices.end());
    std::printf("%-9s %8.0f ms in %5zu slices: longest %6.1f ms, 99th %6.1f ms, median %5.1f ms\n",
                what, total, slices.size(), slices.back(), slices[slices.size() * 99 / 100],
                slices[slices.size() / 2]);
}

// The earlier clean-up's slices, statement for statement.
class TEarlierPurge {
  public:
    TEarlierPurge(std::string path, TDateTime now) : path_(std::move(path)) {
        cutoff_ = DateTimeToSQL(now - 90);
        TDateTime day = now - 90;
        for (; day <= now + 1; day += 1) {
            days_.push_back({"date_created >= ?1 AND date_created < ?2",
                             {DateTimeToSQL(day), DateTimeToSQL(day + 1)}});
        }
        days_.push_back({"date_created >= ?1", {DateTimeToSQL(day)}});
        days_.push_back({"date_created < ?1", {cutoff_}});
        days_.push_back({"date_created IS NULL", {}});
    }
    bool Step() {
        TSQLiteDatabase db(path_);
        if (!oldDone_) {
            db.ExecSQL("DELETE FROM applications WHERE rowid IN (SELECT rowid FROM applications "
                       "WHERE date_created < ?1 LIMIT ?2)",
                       {cutoff_, std::int64_t{1000}});
            oldDone_ = db.Changes() < 1000;
            return true;
        }
        const auto& [condition, values] = days_[next_++];
        db.ExecSQL("DELETE FROM applications WHERE origin = 1 AND " + condition +
                       " AND app_name NOT IN (SELECT DISTINCT name FROM applications_list)",
                   values);
        return next_ < days_.size();
    }

  private:
    std::string path_;
    std::string cutoff_;
    bool oldDone_ = false;
    std::vector<std::pair<std::string, TSQLValues>> days_;
    std::size_t next_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::current_path() / "purge-bench-data";
    const int days = argc > 2 ? std::stoi(argv[2]) : 100;
    const int rowsPerDay = argc > 3 ? std::stoi(argv[3]) : 8 * 3600 / 3;
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string file = (folder / "actmondb.sqlite").string();
    const std::string filled = file + ".filled";
    fs::copy_file(fs::path(TALLYWICK_TEMPLATE_DIR) / "actmondb.sqlite", filled);

    const TDateTime today = EncodeDate(2026, 12, 7);
    twtest::TManualClockSource clock(today + 20 * OneHour);
    ClockInstallSource(&clock);
    const auto fillStart = std::chrono::steady_clock::now();
    FillDatabase(filled, today - (days - 1), days, rowsPerDay);
    std::printf(
        "database: %d days x %d rows, %.0f MB, filled in %.1f s\n", days, rowsPerDay,
        static_cast<double>(fs::file_size(filled)) / 1e6,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - fillStart).count());

    fs::copy_file(filled, file, fs::copy_options::overwrite_existing);
    TEarlierPurge earlier(file, ClockNow());
    Report("earlier:", [&] { return earlier.Step(); });

    fs::copy_file(filled, file, fs::copy_options::overwrite_existing);
    TErrorLog log;
    TLogPurge purge(log, file, ClockNow(), true, true);
    Report("now:", [&] { return purge.Step(); });
    ClockInstallSource(nullptr);
    fs::remove_all(folder);
}
