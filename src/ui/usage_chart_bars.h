#pragma once

#include "base/date_time.h"
#include "items/monitored_list.h"
#include "storage/period_usage.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace tw {

// One bar of the usage chart: what it is called under the bar, what it says when it is
// pointed at, its seconds, and whether it is today's.
struct TChartBar {
    QString label;
    QString text;
    std::int64_t seconds = 0;
    bool today = false;
};

// One bar per accounting day from the day that holds `from` to the one that holds `to`, each
// with the time on the list that day; the day that holds `now` is today's.
std::vector<TChartBar> DailyBars(const std::vector<TDailyItemUsage>& days, TDateTime from,
                                 TDateTime to, TDateTime now);

// One bar per watched item of the period list, in its order.
std::vector<TChartBar> ItemBars(TMonitoredList& list);

// The figures of the bars as one text, for screen readers: the chart's text alternative.
QString BarsText(const std::vector<TChartBar>& bars, std::int64_t limitSeconds);

// "hh:nn" of a number of seconds; past a day the hours go on counting.
QString ChartTime(std::int64_t seconds);

} // namespace tw
