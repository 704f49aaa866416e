// SPDX-License-Identifier: MIT
#include "platform/hotkey.h"

#include <gtest/gtest.h>

#include <tuple>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace zaptrove::platform;

// A text, its canonical form, and its X11 keysym, portal trigger and Windows key.
using Written = std::tuple<std::string, std::string, std::uint32_t, std::string, std::uint16_t>;

TEST(Hotkey, TextsParseToTheirKeysAndCodes) {
    const Written cases[] = {
        {"Ctrl+Alt+Z", "Ctrl+Alt+Z", 'z', "CTRL+ALT+z", 'Z'},
        {"meta+shift+ctrl+alt+space", "Ctrl+Alt+Shift+Meta+Space", 0x20,
         "CTRL+ALT+SHIFT+LOGO+space", 0x20},
        {"F12", "F12", 0xffc9, "F12", 0x7b},
        {"Shift+f24", "Shift+F24", 0xffd5, "SHIFT+F24", 0x87},
        {"Ctrl+PgUp", "Ctrl+PgUp", 0xff55, "CTRL+Prior", 0x21},
        {"Ctrl++", "Ctrl++", '+', "", 0}, // the plus key; its place depends on the layout
        {"Alt+1", "Alt+1", '1', "ALT+1", '1'},
        {"Meta+Z", "Meta+Z", 'z', "LOGO+z", 'Z'},
        {"Pause", "Pause", 0xff13, "Pause", 0x13}, // a key that types nothing may stand alone
    };
    for (const auto& [text, canonical, x11, portal, windows] : cases) {
        const auto sequence = parseHotkey(text);
        ASSERT_TRUE(sequence) << text;
        EXPECT_EQ(formatHotkey(*sequence), canonical);
        EXPECT_EQ(std::tuple(x11Keysym(*sequence), portalTrigger(*sequence), windowsKey(*sequence)),
                  std::tuple(x11, portal, windows))
            << text;
        // The key box names a pressed key by its code.
        EXPECT_EQ(windowsKeyName(windows), windows != 0 ? sequence->key : "") << text;
    }
    // A letter alone would be taken from every program, and Shift alone still
    // types; one combination only, of known keys.
    for (const char* refused : {"", "Z", "Shift+Space", "Ctrl+", "Hyper+Z", "Ctrl+A, Ctrl+B",
                                "Ctrl+F25", "Ctrl+F0", "F01", "Ctrl+É", "Ctrl+Ctrl+Z"}) {
        EXPECT_FALSE(parseHotkey(refused)) << refused;
    }
}

#ifdef _WIN32
// RegisterHotKey answers for the session: registering a combination again is reported as taken.
TEST(Hotkey, ACombinationAlreadyRegisteredIsReportedAsTaken) {
    const auto sequence = *parseHotkey("Ctrl+Alt+Shift+F11");
    std::vector<HotkeyState> reported;
    const auto note = [&](HotkeyState state, const std::string&) { reported.push_back(state); };
    const auto first = registerHotkey(
        sequence, [] {}, note);
    const auto second = registerHotkey(
        sequence, [] {}, note);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(reported, (std::vector{HotkeyState::Registered, HotkeyState::Taken}));
}
#endif
