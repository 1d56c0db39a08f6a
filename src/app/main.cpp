// Until the windows exist, the program opens the user's data folder and prints today's
// totals on the watched list.
#include "storage/activity_logger.h"
#include "storage/data_folder.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/options.h"
#include "storage/seed_data_folder.h"

#include <cstdio>
#include <exception>

int main() {
    using namespace tw;
    try {
        SetErrorLogListener(
            [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
        SeedDataFolder();
        TOptions& options = GOptions_Local();
        std::printf("Data folder: %s\n", DataFolder().c_str());
        std::printf("Daily limit: %s, at the limit: %s\n",
                    FormatHourMinute(options.TimeLimit()).c_str(),
                    options.ExpirationActionText().c_str());
        TOnlineTimeApplicationLogger logger;
        std::printf("Today on the list: %s\n",
                    FormatHourMinute(logger.Total / SecondsPerDay).c_str());
        for (int i = 0; i < logger.TodayList().Count(); ++i) {
            const TMonitoredItem& item = logger.TodayList().Items(i);
            std::printf("  %-4s %s  %s%s\n", item.TypeName(),
                        FormatHourMinute(item.DurationAsDateTime()).c_str(), item.Caption.c_str(),
                        item.Active ? "" : "  (removed at the next daily reset)");
        }
        ReleaseGOptions_Local();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
