// SPDX-License-Identifier: MIT
#include "platform/text.h"

#include <gtest/gtest.h>

using namespace zaptrove::platform;

TEST(Text, LowerCaseMapsEveryScriptAndKeepsStrayBytes) {
    EXPECT_EQ(lowerCase("News AZ@[`{ Ä ÖL МОСКВА Ёж ΣΟΦΙΑ"), "news az@[`{ ä öl москва ёж σοφια");
    // Bytes that are not UTF-8 (Windows-1252, a surrogate, an overlong) stay as they are.
    EXPECT_EQ(lowerCase("A\xE9Z\xFF\xED\xA0\x80X\xC0\xAF"), "a\xE9z\xFF\xED\xA0\x80x\xC0\xAF");
}

TEST(Text, IsValidUtf8RejectsOverlongsSurrogatesAndCutSequences) {
    EXPECT_TRUE(isValidUtf8("héllo € 𝄞 \xEF\xBF\xBF \xF4\x8F\xBF\xBF 12345678\xE2\x82\xAC"));
    for (const char* bad : {"\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF",
                            "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xE2\x82", "\x80",
                            "12345678\xC0\xAF", "abcdefgh12345678\xE9"}) {
        EXPECT_FALSE(isValidUtf8(bad)) << testing::PrintToString(std::string(bad));
    }
}

TEST(Text, DecodeFileBytesKeepsUtf8AndReadsTheRestAsWindows1252) {
    EXPECT_EQ(decodeFileBytes("caf\xC3\xA9"), "café");
    EXPECT_EQ(decodeFileBytes("\xEF\xBB\xBFURL=x\xEF\xBB\xBF"), "URL=x\xEF\xBB\xBF");
    EXPECT_EQ(decodeFileBytes("caf\xE9 \x80 \x93q\x94 \x9F\x81\xFF"), "café € “q” Ÿ\xC2\x81ÿ");
}
