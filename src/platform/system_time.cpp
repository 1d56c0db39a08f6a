#include "platform/system_time.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace tw {

#ifdef _WIN32

std::int64_t TimeCounterTicks() {
    return static_cast<std::int64_t>(GetTickCount64());
}

std::int64_t TimeCounterFrequency() {
    return 1000;
}

std::tm LocalCalendarTime(std::time_t seconds) {
    std::tm local{};
    ULARGE_INTEGER fileTime{};
    fileTime.QuadPart = (static_cast<ULONGLONG>(seconds) + 11644473600ULL) * 10000000ULL;
    FILETIME utcFile{fileTime.LowPart, fileTime.HighPart};
    SYSTEMTIME utcSystem{};
    SYSTEMTIME localSystem{};
    if (!FileTimeToSystemTime(&utcFile, &utcSystem) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utcSystem, &localSystem)) {
        localtime_s(&local, &seconds);
    } else {
        local.tm_year = localSystem.wYear - 1900;
        local.tm_mon = localSystem.wMonth - 1;
        local.tm_mday = localSystem.wDay;
        local.tm_hour = localSystem.wHour;
        local.tm_min = localSystem.wMinute;
        local.tm_sec = localSystem.wSecond;
    }
    return local;
}

#else

std::int64_t TimeCounterTicks() {
    timespec now{};
#ifdef CLOCK_BOOTTIME
    clock_gettime(CLOCK_BOOTTIME, &now);
#else
    // A system without a counter that goes on through sleep: the monotonic one, which may
    // stop while the machine sleeps.
    clock_gettime(CLOCK_MONOTONIC, &now);
#endif
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::int64_t TimeCounterFrequency() {
    return 1000000000;
}

std::tm LocalCalendarTime(std::time_t seconds) {
    std::tm local{};
    // localtime_r alone keeps the zone it read first; tzset notices a changed TZ or a
    // replaced /etc/localtime.
    tzset();
    localtime_r(&seconds, &local);
    return local;
}

#endif

} // namespace tw
