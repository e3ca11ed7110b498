// Local date and time from the kernel, behind a seam that tests can turn.
#include "platform/platform.h"

#include <windows.h>

namespace {
Local_Time_Fn Time_Source = nullptr;

LocalTime System_Local_Time() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}
} // namespace

LocalTime Local_Time() {
    return Time_Source ? Time_Source() : System_Local_Time();
}

void Set_Local_Time_Source(Local_Time_Fn source) {
    Time_Source = source;
}
