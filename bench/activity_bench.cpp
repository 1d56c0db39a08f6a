// Measures the activity database under 90 days of heavy use: one row every 3 seconds,
// 8 hours a day, 15 watched applications and 15 watched websites, half of the rows from
// browsers. Prints the median time of each operation, with the database on disk.
//
//   activity_bench [folder [--keep]]   (default: a new folder under the current directory)
#include "storage/activity_logger.h"
#include "storage/clock.h"
#include "storage/data_folder.h"
#include "storage/date_format.h"
#include "storage/log_purge.h"
#include "storage/options.h"
#include "storage/period_usage.h"
#include "storage/rollup_build.h"
#include "storage/sqlite_database.h"
#include "storage/usage_sql.h"
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

constexpr int Days = 90;
constexpr int RowsPerDay = 8 * 3600 / 3;

double MedianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Runs the work's slices to the end: their total time, and each slice's, sorted.
template <class TSliced> double SlicesMs(TSliced&& work, std::vector<double>& slices) {
    slices.clear();
    double total = 0;
    for (bool more = true; more;) {
        auto start = std::chrono::steady_clock::now();
        more = work.Step();
        slices.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        total += slices.back();
    }
    std::sort(slices.begin(), slices.end());
    return total;
}

std::string AppPath(int i) {
    return "C:\\Program Files\\Game " + std::to_string(i) + "\\game.exe";
}
std::string SiteName(int i) {
    return "site" + std::to_string(i) + ".example";
}

void FillDatabase(const std::string& file, TDateTime firstDay) {
    TSQLiteDatabase db(file);
    db.ExecSQL("BEGIN");
    for (int i = 0; i < 15; ++i) {
        db.ExecSQL("INSERT INTO applications_list(name, caption, active) VALUES('" + AppPath(i) +
                   "', 'Game " + std::to_string(i) + "', 1)");
        db.ExecSQL("INSERT INTO websites_list(name, caption, active) VALUES('" + SiteName(i) +
                   "', 'Site " + std::to_string(i) + "', 1)");
    }
    std::mt19937 random(42);
    for (int day = 0; day < Days; ++day) {
        TDateTime start = firstDay + day + 9 * OneHour;
        for (int r = 0; r < RowsPerDay; ++r) {
            std::string date = DateTimeToSQL(start + r * 3 * OneSecond);
            int pick = static_cast<int>(random() % 18); // 15 listed, 3 unlisted
            std::string sql;
            if (r % 2 == 0) {
                std::string url = pick < 15 ? "https://www." + SiteName(pick) + "/page/" +
                                                  std::to_string(random() % 50)
                                            : "https://news.example/item/" + std::to_string(r % 7);
                sql = "INSERT INTO applications(date_created, app_name, browser_url, app_type, "
                      "duration, origin) VALUES('" +
                      date + "', '/usr/lib/browser/browser', '" + url + "', 'Google Chrome', 3, 2)";
            } else {
                std::string app =
                    pick < 15 ? AppPath(pick) : "C:\\Tools\\tool" + std::to_string(pick) + ".exe";
                sql = "INSERT INTO applications(date_created, app_name, browser_url, app_type, "
                      "duration, origin) VALUES('" +
                      date + "', '" + app + "', '', 'Desktop Application', 3, 1)";
            }
            db.ExecSQL(sql);
        }
    }
    db.ExecSQL("COMMIT");
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::current_path() / "activity-bench-data";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(fs::path(TALLYWICK_TEMPLATE_DIR) / "actmondb.sqlite", folder / "actmondb.sqlite");
    fs::copy_file(fs::path(TALLYWICK_TEMPLATE_DIR) / "settings.sqlite", folder / "settings.sqlite");

    // Today is the last of the 90 days, at 20:00, after its 8 hours of use.
    const TDateTime today = EncodeDate(2026, 12, 7);
    twtest::TManualClockSource source(today + 20 * OneHour);
    TClock clock(source);
    TErrorLog log;
    TDataFolder data(PlacesOf(folder.string(), std::string(TALLYWICK_TEMPLATE_DIR) + "/tallywick"),
                     clock, log);
    const std::string file = data.Places().ActivityDatabasePath();

    auto fillStart = std::chrono::steady_clock::now();
    FillDatabase(file, today - (Days - 1));
    std::printf(
        "database: %d rows, %.0f MB, filled in %.1f s\n", Days * RowsPerDay,
        fs::file_size(file) / 1e6,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - fillStart).count());

    TOnlineTimeApplicationLogger logger(data.Activity());
    const TDateTime now = clock.Now();
    const TDateTime dayStart = AccountingDayStart(now);

    TMonitoredList scratch;
    auto loadWith = [&](std::string (*web)(TDateTime, TDateTime),
                        std::string (*apps)(TDateTime, TDateTime), TDateTime from) {
        scratch.Clear();
        logger.MonitoredItemsLoad(scratch, web(from, now), false, TMonitoredItemType::mitWeb);
        logger.MonitoredItemsLoad(scratch, apps(from, now), false, TMonitoredItemType::mitApp);
    };
    std::printf("reference queries, today:      %8.2f ms\n",
                MedianMs(3, [&] { loadWith(WebsitesUsageSQL, ApplicationsUsageSQL, dayStart); }));
    std::printf("reference queries, 90 days:    %8.2f ms\n",
                MedianMs(3, [&] { loadWith(WebsitesUsageSQL, ApplicationsUsageSQL, now - 90); }));

    TLoggedActivity activity{AppPath(3), "", "Desktop Application"};
    std::printf("Log (open, insert, close):     %8.2f ms\n",
                MedianMs(200, [&] { logger.Log(activity, 3); }));
    std::printf("MonitoredListLoad (today):     %8.2f ms\n",
                MedianMs(21, [&] { logger.MonitoredListLoad(false); }));
    std::printf(
        "fast queries, 90 days (rows):  %8.2f ms\n", MedianMs(5, [&] {
            loadWith(
                WebsitesUsageFastSQL,
                [](TDateTime from, TDateTime to) { return ApplicationsUsageFastSQL(from, to); },
                now - 90);
        }));
    // The first long period on a file without the roll-up adds it and builds its closed days.
    std::printf("roll-up, first build (89 days):%8.2f ms\n", MedianMs(1, [&] {
                    TSQLiteDatabase db(file);
                    GatherPeriodUsage(db, now - 90, now, now);
                }));
    const double period90 = MedianMs(11, [&] { logger.PeriodListLoad(false, now, now - 90); });
    std::printf("PeriodListLoad (90 days, table and chart): %8.2f ms (%zu day-item rows)\n",
                period90, logger.PeriodDays().size());
    std::printf("PeriodListLoad (30 days, table and chart): %8.2f ms\n",
                MedianMs(11, [&] { logger.PeriodListLoad(false, now, now - 30); }));
    std::printf("PeriodListLoad (7 days, table and chart):  %8.2f ms\n",
                MedianMs(11, [&] { logger.PeriodListLoad(false, now, now - 7); }));
    std::printf("Log, with the roll-up's triggers:  %8.2f ms\n",
                MedianMs(200, [&] { logger.Log(activity, 3); }));
    std::printf("MonitoredListLoad (today), with the roll-up: %8.2f ms\n",
                MedianMs(21, [&] { logger.MonitoredListLoad(false); }));

    TOptions options(data);
    // A day and a half on: the oldest day is past 90 days, and the unlisted programs' rows
    // have never been cleaned up, as on the first start after an update.
    source.Advance(3600 * 36);
    // A row of the new day: the clean-up judges the rows' age only by a clock that agrees
    // with the newest of them.
    logger.Log(activity, 3);
    const std::string untouched = file + ".untouched";
    fs::copy_file(file, untouched);
    std::printf("LogDBPurge (first, deleting):  %8.2f ms\n",
                MedianMs(1, [&] { options.LogDBPurge(); }));
    std::printf("LogDBPurge (median):           %8.2f ms\n",
                MedianMs(5, [&] { options.LogDBPurge(); }));

    // The same first clean-up in the slices the program runs while its window is up.
    // (With --keep, the copy stays: a database as it was before its first clean-up, for
    // measuring the program's start on it.)
    fs::copy_file(untouched, file, fs::copy_options::overwrite_existing);
    std::vector<double> slices;
    const double total =
        SlicesMs(TLogPurge(log, file, clock.Now(), options.ListTrusted(), true), slices);
    std::printf("TLogPurge (first, in slices):  %8.2f ms in %zu slices, longest %.2f ms, "
                "median %.2f ms\n",
                total, slices.size(), slices.back(), slices[slices.size() / 2]);

    // Then the roll-up's first build in the slices that follow the clean-up's, on a file
    // whose days were never built.
    {
        TSQLiteDatabase db(file);
        db.ExecSQL("DELETE FROM daily_usage_days");
        db.ExecSQL("DELETE FROM daily_item_days");
    }
    const double buildSlices = SlicesMs(TRollupBuild(log, file, clock.Now()), slices);
    std::printf("TRollupBuild (first, in slices): %8.2f ms in %zu slices, longest %.2f ms, "
                "median %.2f ms\n",
                buildSlices, slices.size(), slices.back(), slices[slices.size() / 2]);
    if (argc <= 2 || std::string(argv[2]) != "--keep") {
        fs::remove_all(folder);
    }
    return 0;
}
