// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clock.h"

namespace zaptrove::test {

// A clock that always shows the time it was set to.
class FakeClock final : public platform::Clock {
  public:
    platform::LocalTime time{2003, 12, 5, 14, 7, 31};
    float seconds = 50851.23f;

    platform::LocalTime now() const override;
    float secondsSinceMidnight() const override;
};

} // namespace zaptrove::test
