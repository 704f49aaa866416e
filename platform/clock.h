// SPDX-License-Identifier: MIT
#pragma once

// The wall clock, behind an interface so tests can fix the time.
namespace zaptrove::platform {

struct LocalTime {
    int year = 0; // four digits
    int month = 0;
    int day = 0;
    int hour = 0; // 0 to 23
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
    // Seconds since local midnight, to the millisecond.
    virtual float secondsSinceMidnight() const = 0;
};

// A local time of day and its milliseconds as seconds since midnight.
inline float secondsOfDay(long pHour, long pMinute, long pSecond, long pMilliseconds) {
    return static_cast<float>(((pHour * 60 + pMinute) * 60 + pSecond) * 1000 + pMilliseconds) /
           1000.0f;
}

// The machine's own clock.
const Clock& systemClock();

} // namespace zaptrove::platform
