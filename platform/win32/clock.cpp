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
        const long milliseconds =
            ((local.wHour * 60L + local.wMinute) * 60L + local.wSecond) * 1000L +
            local.wMilliseconds;
        return static_cast<float>(milliseconds) / 1000.0f;
    }
};

} // namespace

const Clock& systemClock() {
    static const SystemClock clock;
    return clock;
}

} // namespace zaptrove::platform
