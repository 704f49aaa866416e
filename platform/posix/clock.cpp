// SPDX-License-Identifier: MIT
#include "platform/clock.h"

#include <ctime>

namespace zaptrove::platform {

namespace {

class SystemClock final : public Clock {
  public:
    // Both read the same clock: time() reads a coarser one, which can stand a
    // few milliseconds behind, so a log line's second could precede its timer's.
    LocalTime now() const override {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::tm local{};
        localtime_r(&now.tv_sec, &local);
        return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour,        local.tm_min,     local.tm_sec};
    }

    float secondsSinceMidnight() const override {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::tm local{};
        localtime_r(&now.tv_sec, &local);
        return secondsOfDay(local.tm_hour, local.tm_min, local.tm_sec, now.tv_nsec / 1000000L);
    }
};

} // namespace

const Clock& systemClock() {
    static const SystemClock clock;
    return clock;
}

} // namespace zaptrove::platform
