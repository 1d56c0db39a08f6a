#include "monitor/probe_report.h"

#include "base/json_text.h"

namespace tw {

std::string ProbeReportJson(const std::string& desktop, const TOnlineTimeApplication& probe,
                            const TMonitoredList* list) {
    std::string json = "{\"desktop\":" + JsonQuote(desktop) +
                       ",\"window\":" + std::to_string(probe.Window) +
                       ",\"executable\":" + JsonQuote(probe.ExeName) +
                       ",\"browserKind\":" + std::to_string(static_cast<int>(probe.BrowserKind)) +
                       ",\"browser\":" + JsonQuote(probe.BrowserName()) +
                       ",\"address\":" + JsonQuote(probe.Url) + ",\"addressProblem\":" +
                       (probe.AddressProblem == TAddressProblem::NoProblem
                            ? std::string("null")
                            : JsonQuote(AddressProblemText(probe.AddressProblem))) +
                       ",\"listed\":";
    int index = -1;
    TMonitoredItemType kind = TMonitoredItemType::mitAll;
    std::string caption;
    if (list && IsListed(probe, list, index, kind, caption)) {
        const TMonitoredItem& item = list->Items(index);
        json += "{\"caption\":" + JsonQuote(caption) + ",\"name\":" + JsonQuote(item.Name) +
                ",\"matchedAs\":" + JsonQuote(MonitoredItemTypeLongText(kind)) +
                ",\"active\":" + (item.Active ? "true" : "false") + "}";
    } else {
        json += "null";
    }
    return json + "}";
}

} // namespace tw
