#pragma once

namespace tw {

class TSettingsFile;

enum class TDayChoice {
    ListClosed,       // the listed sites and applications stay closed until the day ends
    FiveMinutesTaken, // the day's five more minutes are used
};

// What the person chose in the time-up reminder today. Kept beside the day's change markers
// until the next daily reset clears them, so that a restart neither forgets nor grants it
// again.
bool DayChoiceMade(const TSettingsFile& file, TDayChoice choice);
void MakeDayChoice(TSettingsFile& file, TDayChoice choice);

} // namespace tw
