// SPDX-License-Identifier: MIT
#include "platform/clock.h"

#include <gtest/gtest.h>

using zaptrove::platform::LocalTime;

namespace {

int secondOfDay(const LocalTime& time) {
    return (time.hour * 60 + time.minute) * 60 + time.second;
}

} // namespace

TEST(Clock, SystemClockGivesTheDateAndAgreesWithItsSecondsSinceMidnight) {
    const auto& clock = zaptrove::platform::systemClock();
    const LocalTime before = clock.now();
    const float seconds = clock.secondsSinceMidnight();
    const LocalTime after = clock.now();

    EXPECT_TRUE(before.year >= 2024 && before.year < 2200) << before.year;
    EXPECT_TRUE(before.month >= 1 && before.month <= 12 && before.day >= 1 && before.day <= 31)
        << before.month << "/" << before.day;
    // The time of day is checked against the seconds, when midnight did not pass in between.
    if (after.day == before.day) {
        EXPECT_GE(seconds, static_cast<float>(secondOfDay(before)));
        // <=: a float rounds 72459.998 up to 72460
        EXPECT_LE(seconds, static_cast<float>(secondOfDay(after) + 1));
    }
}
