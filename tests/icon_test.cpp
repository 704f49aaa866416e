// SPDX-License-Identifier: MIT
#include "app/icon.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

TEST(Icon, EmbedsTheWholeIconFileOf32By32Pixels) {
    const std::string_view png = zaptrove::zaptroveIconPng();
    EXPECT_EQ(png, zaptrove::test::readFile(ZAPTROVE_ICON_FILE));
    EXPECT_EQ(png.substr(0, 24), std::string_view("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR"
                                                  "\0\0\0\x20\0\0\0\x20",
                                                  24)); // signature, width, height
}
