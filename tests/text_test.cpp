// SPDX-License-Identifier: MIT
#include "search/matching/match_prefilter.h"
#include "support/temp_folder.h"
#include "text/code_point_case.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <iterator>
#include <vector>

using namespace zaptrove::platform;
using namespace std::string_literals;

TEST(Text, LowerCaseMapsEveryScriptAndKeepsStrayBytes) {
    EXPECT_EQ(lowerCase("News AZ@[`{ Ä ÖL МОСКВА Ёж ΣΟΦΙΑ"), "news az@[`{ ä öl москва ёж σοφια");
    // ASCII long enough to be lower-cased in blocks, then a tail shorter than one.
    EXPECT_EQ(lowerCase("@AZ[`az{\x7F\x01 MIXED Case 0123 @AZ[`az{ Ä @AZ[`az{ THE END"),
              "@az[`az{\x7F\x01 mixed case 0123 @az[`az{ ä @az[`az{ the end");
    // Every length around a block or two, with an accented capital at each place
    // of it: the runs of ASCII before and after it end where the text does.
    for (std::size_t size = 1; size <= 40; ++size) {
        std::string upper;
        for (std::size_t k = 0; k < size; ++k) {
            upper += static_cast<char>('A' + k % 26);
        }
        const std::string lower = lowerCase(upper);
        EXPECT_EQ(lower, std::string("abcdefghijklmnopqrstuvwxyzabcdefghijklmn").substr(0, size));
        for (std::size_t at = 0; at <= size; ++at) {
            EXPECT_EQ(lowerCase(upper.substr(0, at) + "Ä" + upper.substr(at)),
                      lower.substr(0, at) + "ä" + lower.substr(at))
                << size << ' ' << at;
        }
    }
    // Bytes that are not UTF-8 (Windows-1252, a surrogate, an overlong) stay as they are.
    EXPECT_EQ(lowerCase("A\xE9Z\xFF\xED\xA0\x80X\xC0\xAF"), "a\xE9z\xFF\xED\xA0\x80x\xC0\xAF");
    // The prefilter passes by bytes outside ASCII unless the term holds what one lower-cases to.
    const auto listed = std::begin(kLowerIntoAscii), end = std::end(kLowerIntoAscii);
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
        if (lowerCodePoint(c) < 0x80 && std::find(listed, end, c) == end)
            ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(c)
                          << " lower-cases into ASCII";
    }
}

#ifndef _WIN32
// Lower-casing follows Unicode in any locale (Turkish towlower('I') is "ı", tolower keeps "I").
TEST(Text, LowerCaseIsTheSameUnderTurkishAndGermanLocales) {
    const zaptrove::test::TempFolder t;
    // Made in a folder of the test's own, so that no system-wide locale is needed.
    const std::string make = "{ localedef -i tr_TR -f UTF-8 '" + t / "tr_TR.UTF-8" +
                             "' & localedef -i de_DE -f UTF-8 '" + t / "de_DE.UTF-8" +
                             "'; wait; } >/dev/null 2>&1";
    static_cast<void>(std::system(make.c_str()));
    setenv("LOCPATH", t.path().c_str(), 1);
    struct Restore {
        ~Restore() {
            unsetenv("LOCPATH");
            std::setlocale(LC_ALL, "C");
        }
    } restore;
    for (const char* locale : {"tr_TR.UTF-8", "de_DE.UTF-8"}) {
        if (std::setlocale(LC_ALL, locale) == nullptr)
            GTEST_SKIP() << "no " << locale << " locale: localedef and the locales package make it";
        EXPECT_EQ(lowerCase("ISTANBUL İzmir IĞDIR STRASSE ẞ ÄPFEL"),
                  "istanbul izmir iğdir strasse ß äpfel")
            << locale;
        std::string scratch;
        EXPECT_TRUE(zaptrove::MatchPrefilter("istanbul").occursIn("VISIT ISTANBUL", scratch))
            << locale;
    }
}
#endif

TEST(Text, FoldAccentsDropsMarksOfLatinGreekCyrillicThenLowerCases) {
    const std::pair<const char*, const char*> cases[] = {
        {"Café NAÏVE Ångström Œuvre ß", "cafe naive angstrom oeuvre ss"},
        {"STRAẞE Æsir Ørsted œil", "strasse aesir orsted oeil"}, // written out
        {"Cafe\u0301 e\u0308\u0301", "cafe e"},                  // already decomposed: the marks go
        {"a\u0300b\u0483c\u1AB0d\u1DC0e\u20D0f\uFE20g\u036F", "abcdefg"}, // blocks' ends
        {"ΆΈΉ Ώρα ἄλφα", "αεη ωρα αλφα"},
        {"Ёлка ЙОД", "елка иод"},
        {"\u212Aelvin \u212B", "kelvin a"},
        {"A\xE9Z\xC3", "a\xE9z\xC3"}}; // stray bytes stay
    for (const auto& [text, folded] : cases)
        EXPECT_EQ(foldAccents(text), folded) << text;
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
    EXPECT_EQ(decodeFileBytes("\xFE\xFF\0c\0a\0f\0\xE9"s), "café");
}

// The first candidate from every place on, as a byte-by-byte reading finds it, in texts of every
// length near blocks and past the 64 places tested at once, sixteen bytes at a time and in the
// widest blocks the processor has; with '%' asked for too, it is one as well.
TEST(Text, MatchPrefilterFindsTheFirstCandidateAtEveryPlace) {
    using Blocks = zaptrove::MatchPrefilter::Blocks;
    for (const std::string term : {"news", "n", " x ", "kilo", "abcdefghijklmnopqrstu"}) {
        const std::array prefilters{zaptrove::MatchPrefilter(term, false, Blocks::sixteenBytes),
                                    zaptrove::MatchPrefilter(term, false, Blocks::widest)};
        // A byte outside ASCII may stand for a letter of the term where this system lower-cases
        // the dotted capital I or the Kelvin sign into ASCII.
        const bool outside = std::ranges::any_of(
            std::array{lowerCase("\u0130"), lowerCase("\u212A")}, [&](const std::string& lower) {
                return lower.size() == 1 && term.find(lower) != std::string::npos;
            });
        std::string upper;
        std::string caseOfOthers; // the bytes other than letters with the case bit changed
        for (const unsigned char c : term) {
            upper += static_cast<char>(std::toupper(c));
            caseOfOthers += static_cast<char>(std::isalpha(c) ? c : c ^ 0x20);
        }
        for (std::size_t size = 0; size < 85; size += size < 70 ? 1 : 14) {
            for (std::size_t at = 0; at <= size; ++at) {
                for (const std::string& put : {"\xC3\x80"s, upper, term, caseOfOthers, "%"s}) {
                    std::string text(size, '.');
                    text.replace(std::min(at, size), put.size(), put);
                    text.resize(size);
                    std::vector<bool> candidate(size + 1);
                    for (std::size_t i = 0; i < size; ++i)
                        candidate[i] = (outside && static_cast<unsigned char>(text[i]) >= 0x80) ||
                                       lowerCase(text.substr(i, term.size())) == term;
                    for (std::size_t from = 0; from <= size; ++from) {
                        const auto first = [&](bool percent) {
                            for (std::size_t i = from; i < size; ++i)
                                if (candidate[i] || (percent && text[i] == '%'))
                                    return i;
                            return std::string::npos;
                        };
                        for (const zaptrove::MatchPrefilter& prefilter : prefilters) {
                            ASSERT_EQ(prefilter.findCandidate(text, from), first(false))
                                << '"' << term << "\" in \"" << text << "\" from " << from;
                            ASSERT_EQ(prefilter.findCandidate(text, from, '%'), first(true))
                                << '"' << term << "\" in \"" << text << "\" from " << from;
                        }
                    }
                }
            }
        }
    }
}

// Whether the term occurs, as lower-casing (or folding) the whole text finds it, in texts of every
// length around the blocks a short text is tested in, with the term, its capitals, a near miss or
// a letter outside ASCII at every place; accents kept and ignored, in both block widths.
TEST(Text, MatchPrefilterOccursInTextsOfEveryLength) {
    using Blocks = zaptrove::MatchPrefilter::Blocks;
    for (const std::string term :
         {"news", "n", " x ", "\xC3\xA9", "caf\xC3\xA9", "abcdefghijklmnopq"}) {
        std::string upper;
        for (const char c : term)
            upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        std::string nearMiss = upper; // its first and last bytes, another between
        if (nearMiss.size() > 2)
            nearMiss[1] = '#';
        for (const bool ignore : {false, true}) {
            const std::string looked = ignore ? foldAccents(term) : term;
            const std::array prefilters{
                zaptrove::MatchPrefilter(looked, ignore, Blocks::sixteenBytes),
                zaptrove::MatchPrefilter(looked, ignore, Blocks::widest)};
            std::string scratch;
            for (std::size_t size = 0; size <= 100; ++size) {
                for (std::size_t at = 0; at <= size; ++at) {
                    for (const std::string& put : {term, upper, nearMiss, "\xC3\x89"s, "%\xFF"s}) {
                        std::string text(size, '.');
                        text.replace(at, put.size(), put);
                        text.resize(size);
                        const bool occurs =
                            (ignore ? foldAccents(text) : lowerCase(text)).find(looked) !=
                            std::string::npos;
                        for (const zaptrove::MatchPrefilter& prefilter : prefilters)
                            ASSERT_EQ(prefilter.occursIn(text, scratch), occurs)
                                << '"' << looked << "\" in \"" << text << '"';
                    }
                }
            }
        }
    }
}
