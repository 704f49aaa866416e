// SPDX-License-Identifier: MIT
#include "platform/forms.h"
#include "platform/hotkey.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace zaptrove::platform;

// Runs on a private session bus whose portal is support/fake_portal.cpp: it
// grants Ctrl+Alt+Z and presses it once, and refuses Ctrl+Alt+T.
TEST(PortalHotkey, AGrantedShortcutIsPressedAndARefusedOneIsReported) {
    ASSERT_TRUE(hotkeysOffered()); // offscreen, so the portal is asked
    const struct {
        std::string text;
        HotkeyState state;
        std::string detail;
        int presses;
    } cases[] = {
        {"Ctrl+Alt+Z", HotkeyState::Registered, "bound to CTRL+ALT+z", 1},
        {"Ctrl+Alt+T", HotkeyState::Taken, "the desktop refused it", 0},
    };
    for (const auto& c : cases) {
        std::vector<std::pair<HotkeyState, std::string>> reports;
        int presses = 0;
        const auto hotkey = registerHotkey(
            *parseHotkey(c.text), [&] { ++presses; },
            [&](HotkeyState state, const std::string& detail) {
                reports.emplace_back(state, detail);
            });
        ASSERT_NE(hotkey, nullptr);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while ((reports.empty() || presses < c.presses) &&
               std::chrono::steady_clock::now() < until) {
            forms::doEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(reports, (std::vector{std::pair{c.state, c.detail}})) << c.text;
        EXPECT_EQ(presses, c.presses) << c.text;
    }
}
