// SPDX-License-Identifier: MIT
// Writes one line to the diagnostic log at its default place. debug_log_test
// copies this program into a folder of its choosing and runs the copy there.
#include "debug_log/debug_log.h"
#include "support/fake_clock.h"

int main() {
    zaptrove::Settings settings;
    settings.DebugMode = zaptrove::DEBUG_ON;
    const zaptrove::test::FakeClock clock;
    zaptrove::DebugLog(settings.DebugMode, clock)
        .subDebug(zaptrove::LOG_INFO, "from a read-only folder");
}
