// Local date and time from the C runtime, behind a seam that tests can turn.
#include "platform/platform.h"

#include <ctime>

namespace {
Local_Time_Fn Time_Source = nullptr;

LocalTime System_Local_Time() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    if (!localtime_r(&now, &parts))
        return LocalTime{1970, 1, 1, 0, 0, 0};
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}
} // namespace

LocalTime Local_Time() {
    return Time_Source ? Time_Source() : System_Local_Time();
}

void Set_Local_Time_Source(Local_Time_Fn source) {
    Time_Source = source;
}
