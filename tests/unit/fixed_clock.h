// Sets the plugin's local clock to a fixed moment for as long as it lives.
#pragma once

#include "platform/platform.h"

class FixedClock {
  public:
    explicit FixedClock(LocalTime now) {
        Now() = now;
        Set_Local_Time_Source(&Read);
    }
    ~FixedClock() { Set_Local_Time_Source(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    void Set(LocalTime now) { Now() = now; }

  private:
    static LocalTime& Now() {
        static LocalTime now{};
        return now;
    }
    static LocalTime Read() { return Now(); }
};
