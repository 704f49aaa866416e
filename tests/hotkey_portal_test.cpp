// SPDX-License-Identifier: MIT
#include "forms/forms.h"
#include "platform/hotkey.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <tuple>

using namespace zaptrove::platform;

// Runs on a private session bus whose portal is support/fake_portal.cpp: it
// grants Ctrl+Alt+Z and presses it once, and refuses Ctrl+Alt+T.
TEST(PortalHotkey, AGrantedShortcutIsPressedAndARefusedOneIsReported) {
    ASSERT_TRUE(hotkeysOffered()); // offscreen, so the portal is asked
    // The combination, what the portal answers, and how often it is pressed.
    const std::tuple<std::string, HotkeyState, std::string, int> cases[] = {
        {"Ctrl+Alt+Z", HotkeyState::Registered, "bound to CTRL+ALT+z", 1},
        {"Ctrl+Alt+T", HotkeyState::Taken, "the desktop refused it", 0}};
    for (const auto& [text, state, detail, pressed] : cases) {
        std::vector<std::pair<HotkeyState, std::string>> reports;
        int presses = 0;
        const auto hotkey = registerHotkey(
            *parseHotkey(text), [&] { ++presses; },
            [&](HotkeyState answer, const std::string& said) {
                reports.emplace_back(answer, said);
            });
        ASSERT_NE(hotkey, nullptr);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while ((reports.empty() || presses < pressed) && std::chrono::steady_clock::now() < until) {
            forms::doEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(reports, (std::vector{std::pair{state, detail}})) << text;
        EXPECT_EQ(presses, pressed) << text;
    }
}
