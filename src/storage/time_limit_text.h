#pragma once

#include "base/date_time.h"

#include <string>

namespace tw {

// Reads a time-limit text "hh:nn" (blanks around the parts allowed) as a day fraction.
// Hours beyond 23 are read, so that the limit check can say what is wrong with them.
// Throws EConvertError ("'text' is not a valid time") for anything else.
TDateTime TextToTimeLimit(const std::string& text);

// The notice for a time-limit text, or empty when the text is a usable limit (00:01 to
// 23:59): the conversion message, "Limit can't be empty" or "Limit can't be greater
// than 23:59".
std::string TimeLimitProblem(const std::string& text);

} // namespace tw
