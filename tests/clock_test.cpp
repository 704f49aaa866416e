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
    const LocalTime first = clock.now();
    EXPECT_TRUE(first.year >= 2024 && first.year < 2200) << first.year;
    EXPECT_TRUE(first.month >= 1 && first.month <= 12 && first.day >= 1 && first.day <= 31)
        << first.month << "/" << first.day;
    // The time of day agrees with the seconds on both sides of the next change
    // of second, where two clocks of different grain would disagree.
    for (LocalTime before = first; before.second == first.second;) {
        before = clock.now();
        const float seconds = clock.secondsSinceMidnight();
        const LocalTime after = clock.now();
        if (after.day == before.day) { // midnight did not pass in between
            ASSERT_GE(seconds, static_cast<float>(secondOfDay(before)));
            // <=: a float rounds 72459.998 up to 72460
            ASSERT_LE(seconds, static_cast<float>(secondOfDay(after) + 1));
        }
    }
}
