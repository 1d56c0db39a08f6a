#include "storage/day_start.h"

#include <cmath>

namespace tw {

TDateTime NextDayStart(TDateTime moment) {
    const TDateTime start = std::floor(moment) + 4 * OneHour;
    return moment >= start ? start + 1 : start;
}

} // namespace tw
