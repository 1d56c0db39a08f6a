#include "storage/clock_trust.h"

#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/settings_file.h"

#include <cmath>
#include <optional>

namespace tw {
namespace {

const char* const Section = "Clock";
const char* const Key = "LastTrustedUtc";

// The program clock may lag a correction the system made: within this it still keeps to the
// system's synchronised time.
constexpr TDateTime SyncTolerance = 5 * 60 * OneSecond;

std::optional<TDateTime> LastTrusted(const TSettingsFile& file) {
    const std::string text = file.ReadString(Section, Key, "");
    if (text.empty()) {
        return std::nullopt;
    }
    try {
        return TextToDayCount(text);
    } catch (const std::exception&) {
        return std::nullopt; // as if none were kept: the rows answer
    }
}

} // namespace

bool JudgeClock(const TClock& clock, TSettingsFile& file,
                const std::function<std::string()>& rowsObjection, std::string& why) {
    const TDateTime now = clock.UtcNow();
    const std::optional<TDateTime> last = LastTrusted(file);
    bool right = clock.Synchronised(SyncTolerance);
    if (!right && last) {
        right = now >= *last && now < *last + 1;
        if (!right) {
            why = "the clock (" + DateTimeToSQL(now) + " UTC) is " +
                  (now < *last ? "behind" : "more than a day after") +
                  " the last time it was known to be right (" + DateTimeToSQL(*last) +
                  " UTC), and the system does not say it is synchronised";
        }
    } else if (!right) {
        why = rowsObjection();
        right = why.empty();
    }
    if (right) {
        why.clear();
        file.WriteString(Section, Key, DayCountToText(now));
    }
    return right;
}

} // namespace tw
