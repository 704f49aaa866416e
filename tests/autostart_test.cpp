// SPDX-License-Identifier: MIT
#include "platform/autostart.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

using zaptrove::platform::userAutostart;

// The real entry: an XDG autostart file on POSIX, the Run value of Wine's registry on Windows.
TEST(Autostart, TheEntryIsAddedWithTheOptionAndRemoved) {
    zaptrove::test::TempFolder tmp;
#ifndef _WIN32
    setenv("XDG_CONFIG_HOME", (tmp / "config").c_str(), 1);
    const std::string entry = tmp / "config/autostart/org.zaptrove.Zaptrove.desktop";
#endif
    EXPECT_FALSE(userAutostart().isOn());
    EXPECT_EQ(userAutostart().setOn(true), "");
    EXPECT_TRUE(userAutostart().isOn());
#ifndef _WIN32
    const std::string text = zaptrove::test::readFile(entry);
    EXPECT_NE(text.find("\nExec=\"/"), std::string::npos) << text;
    EXPECT_NE(text.find("\" --autostart\n"), std::string::npos) << text;
#endif
    EXPECT_EQ(userAutostart().setOn(false), "");
    EXPECT_FALSE(userAutostart().isOn());
    EXPECT_EQ(userAutostart().setOn(false), ""); // already gone
}
