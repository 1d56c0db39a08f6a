// Measures the start-up clean-up's slices on the window's thread: the longest one decides
// whether the window stutters. The database holds 100 days of heavy use (one row every 3
// seconds, 8 hours a day; 15 listed programs, 3 unlisted ones, half of the rows from a
// browser) with the daily roll-up built, so its delete triggers run: the first start after
// an update, 10 days past the retention and the unlisted programs' rows never cleaned up.
// Runs the clean-up's slices on the window's thread (TLogPurge), and for comparison the
// statements of the earlier clean-up (1000 old rows a slice, then every unlisted row of a day
// at once), each on a copy of the same file. Then the clean-up as the program runs it, on a
// thread of its own, while the window's thread writes a scan's row and reads today's total
// every 20 ms: how long each of those held the window's thread is what a person would notice.
//
//   purge_bench [folder] [days] [rows-per-day]   (default: a new folder here, 100, 9600)
#include "base/slice_runner.h"
#include "storage/activity_database.h"
#include "storage/clock.h"
#include "storage/daily_rollup.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/log_purge.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "support/manual_clock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
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

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void ReportTimes(const char* what, std::vector<double> times, const char* unit) {
    if (times.empty()) {
        return;
    }
    double total = 0;
    for (double t : times) {
        total += t;
    }
    std::sort(times.begin(), times.end());
    std::printf("%-9s %8.0f ms in %5zu %-7s longest %6.1f ms, 99th %6.1f ms, median %5.1f ms\n",
                what, total, times.size(), unit, times.back(), times[times.size() * 99 / 100],
                times[times.size() / 2]);
}

void Report(const char* what, const std::function<bool()>& step) {
    std::vector<double> slices;
    for (bool more = true; more;) {
        const auto start = std::chrono::steady_clock::now();
        more = step();
        slices.push_back(MsSince(start));
    }
    ReportTimes(what, std::move(slices), "slices:");
}

// The clean-up on its own thread, a slice every 10 ms as the program's timer hands them over,
// while the window's thread logs a scan and reads today's total every 20 ms.
// Without a clean-up (purge null), for as many scans: what a scan's write and read cost alone.
// The clean-up's connections take the turns.
void ReportWorker(TSliceTurns& turns, TClock& clock, TErrorLog& log, const std::string& folder,
                  const std::string& file, TLogPurge* purge, int scans = 0) {
    TActivityDatabase activity(TPlaces{folder + "/", "", ""}, clock, log, &turns);
    TThreadSliceRunner runner(turns);
    std::vector<double> slices;
    std::vector<double> writes;
    std::vector<double> reads;
    int deferred = 0;
    int failedReads = 0;
    bool more = purge != nullptr;
    auto nextSlice = std::chrono::steady_clock::now();
    auto nextScan = nextSlice;
    const TActivityRow row{clock.Now(), AppPath(1), "", "Desktop Application", 1, 1};
    while (!runner.Idle() || more || static_cast<int>(writes.size()) < scans) {
        const auto now = std::chrono::steady_clock::now();
        if (more && now >= nextSlice && runner.Idle()) {
            nextSlice = now + std::chrono::milliseconds(10);
            runner.Run([&] {
                const auto start = std::chrono::steady_clock::now();
                more = purge->Step();
                slices.push_back(MsSince(start));
            });
        }
        if (now >= nextScan) {
            nextScan = now + std::chrono::milliseconds(20);
            auto start = std::chrono::steady_clock::now();
            deferred += activity.Write(row, "; purge_bench: ") ? 0 : 1;
            writes.push_back(MsSince(start));
            start = std::chrono::steady_clock::now();
            try {
                TSQLiteDatabase db(file, &turns);
                db.GetTable("SELECT SUM(duration) FROM applications WHERE date_created >= ?1",
                            {DateTimeToSQL(clock.Now() - 0.5)});
            } catch (const std::exception& e) {
                ++failedReads;
                std::printf("read failed: %s\n", e.what());
            }
            reads.push_back(MsSince(start));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    runner.Stop();
    ReportTimes(purge ? "worker:" : "alone:", std::move(slices), "slices:");
    ReportTimes(" writes:", std::move(writes), "scans:");
    ReportTimes(" reads:", std::move(reads), "reads:");
    std::printf("          %d of the scans' rows waited for a later scan, %zu wait at the end; "
                "%s, %d reads failed\n",
                deferred, activity.PendingRowCount(),
                activity.Failing() ? "the writes FAILED" : "no write failed", failedReads);
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
    twtest::TManualClockSource source(today + 20 * OneHour);
    TClock clock(source);
    const auto fillStart = std::chrono::steady_clock::now();
    FillDatabase(filled, today - (days - 1), days, rowsPerDay);
    std::printf(
        "database: %d days x %d rows, %.0f MB, filled in %.1f s\n", days, rowsPerDay,
        static_cast<double>(fs::file_size(filled)) / 1e6,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - fillStart).count());

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    fs::copy_file(filled, file, fs::copy_options::overwrite_existing);
    TEarlierPurge earlier(file, clock.Now());
    Report("earlier:", [&] { return earlier.Step(); });

    fs::copy_file(filled, file, fs::copy_options::overwrite_existing);
    TErrorLog log;
    TLogPurge purge(log, file, clock.Now(), true, true);
    Report("now:", [&] { return purge.Step(); });

    fs::copy_file(filled, file, fs::copy_options::overwrite_existing);
    TSliceTurns turns;
    TLogPurge onThread(log, file, clock.Now(), true, true, {}, &turns);
    ReportWorker(turns, clock, log, folder.string(), file, &onThread);
    std::printf("alone, without a clean-up:\n");
    ReportWorker(turns, clock, log, folder.string(), file, nullptr, 500);
    fs::remove_all(folder);
}
