#include "storage/day_choice.h"

#include "storage/settings_file.h"

namespace tw {
namespace {

const char* DayChoiceKey(TDayChoice choice) {
    return choice == TDayChoice::ListClosed ? "ListClosedForTheDay" : "FiveMinutesTaken";
}

} // namespace

bool DayChoiceMade(const TSettingsFile& file, TDayChoice choice) {
    return file.ReadBool("Common", DayChoiceKey(choice), false);
}

void MakeDayChoice(TSettingsFile& file, TDayChoice choice) {
    file.WriteBool("Common", DayChoiceKey(choice), true);
}

} // namespace tw
