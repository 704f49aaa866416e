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

    EXPECT_GE(before.year, 2024);
    EXPECT_LT(before.year, 2200);
    EXPECT_GE(before.month, 1);
    EXPECT_LE(before.month, 12);
    EXPECT_GE(before.day, 1);
    EXPECT_LE(before.day, 31);
    EXPECT_LT(before.hour, 24);
    EXPECT_LT(before.minute, 60);
    EXPECT_LT(before.second, 60);
    if (after.day == before.day) { // midnight did not pass in between
        EXPECT_GE(seconds, static_cast<float>(secondOfDay(before)));
        EXPECT_LT(seconds, static_cast<float>(secondOfDay(after) + 1));
    }
}
