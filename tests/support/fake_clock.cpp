// SPDX-License-Identifier: MIT
#include "support/fake_clock.h"

namespace zaptrove::test {

platform::LocalTime FakeClock::now() const {
    return time;
}

float FakeClock::secondsSinceMidnight() const {
    return seconds;
}

} // namespace zaptrove::test
