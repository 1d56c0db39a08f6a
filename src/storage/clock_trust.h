#pragma once

#include "base/date_time.h"

#include <functional>
#include <string>

namespace tw {

class TClock;
class TSettingsFile;

// Whether the program clock can tell which activity rows are old. A clock far ahead at start
// writes rows dated ahead, and a later start with the same wrong clock agrees with them: so
// the clock is judged against a time that only a clock judged right wrote, kept in the
// settings file ([Clock] LastTrustedUtc, which no daily reset clears).
//
// The clock is right when the system says its clock is synchronised and the program clock
// keeps to it, or when the program clock's UTC time lies at or after the last trusted time
// and less than a day after it. A folder that keeps no trusted time yet (a first start, a
// folder of an older version) asks the stored activity instead: rowsObjection says what
// the newest row has against the clock, or nothing. A clock judged
// right becomes the last trusted time. When it is not right, why says so in a sentence.
bool JudgeClock(const TClock& clock, TSettingsFile& file,
                const std::function<std::string()>& rowsObjection, std::string& why);

} // namespace tw
