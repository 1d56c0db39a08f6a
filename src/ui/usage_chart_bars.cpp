#include "ui/usage_chart_bars.h"

#include "storage/activity_logger.h"
#include "storage/date_format.h"

#include <QDate>
#include <QStringList>

#include <map>

namespace tw {

QString ChartTime(std::int64_t seconds) {
    const std::int64_t minutes = seconds / 60;
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

std::vector<TChartBar> DailyBars(const std::vector<TDailyItemUsage>& days, TDateTime from,
                                 TDateTime to, TDateTime now) {
    std::map<std::string, std::int64_t> perDay;
    for (const TDailyItemUsage& usage : days) {
        perDay[usage.day] += usage.seconds;
    }
    const std::string today = DateToText(AccountingDayStart(now));
    const std::string last = DateToText(AccountingDayStart(to));
    std::vector<TChartBar> bars;
    // By the keys, so that rounding of the day starts never adds or drops a day.
    for (TDateTime day = AccountingDayStart(from);; day += 1) {
        const std::string key = DateToText(day);
        const QDate date = QDate::fromString(QString::fromStdString(key), Qt::ISODate);
        const std::int64_t seconds = perDay.count(key) ? perDay[key] : 0;
        bars.push_back({QString::number(date.day()),
                        date.toString(QStringLiteral("ddd d MMM yyyy")) + QStringLiteral(": ") +
                            ChartTime(seconds),
                        seconds, key == today});
        if (key >= last) {
            break;
        }
    }
    return bars;
}

std::vector<TChartBar> ItemBars(TMonitoredList& list) {
    std::vector<TChartBar> bars;
    for (int i = 0; i < list.Count(); ++i) {
        const TMonitoredItem& item = list.Items(i);
        const QString caption = QString::fromStdString(item.Caption);
        bars.push_back({caption, caption + QStringLiteral(": ") + ChartTime(item.Duration),
                        item.Duration, false});
    }
    return bars;
}

QString BarsText(const std::vector<TChartBar>& bars, std::int64_t limitSeconds) {
    QStringList parts;
    for (const TChartBar& bar : bars) {
        parts << bar.text + (bar.today ? QStringLiteral(" (today)") : QString());
    }
    if (limitSeconds > 0) {
        parts << QStringLiteral("Daily limit: ") + ChartTime(limitSeconds);
    }
    return parts.join(QStringLiteral("; "));
}

} // namespace tw
