// SPDX-License-Identifier: MIT
#include "platform/clock.h"

#include <windows.h>

namespace zaptrove::platform {

namespace {

class SystemClock final : public Clock {
  public:
    LocalTime now() const override {
        SYSTEMTIME local{};
        GetLocalTime(&local);
        return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
    }

    float secondsSinceMidnight() const override {
        SYSTEMTIME local{};
        GetLocalTime(&local);
        return secondsOfDay(local.wHour, local.wMinute, local.wSecond, local.wMilliseconds);
    }
};

} // namespace

const Clock& systemClock() {
    static const SystemClock clock;
    return clock;
}

} // namespace zaptrove::platform
