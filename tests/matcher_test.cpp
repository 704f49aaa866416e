// SPDX-License-Identifier: MIT
#include "search/matching/matcher.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace zaptrove;

TEST(Matcher, LooksAtNameUrlOrBothByTheRulesAsked) {
    constexpr MatchRules kWords{.anyWordOrder = true}, kAccents{.ignoreAccents = true},
        kBoth{true, true}, kPlain{};
    using enum SearchMode;
    // term as typed, rules, mode, name, address, match
    const std::tuple<std::string, MatchRules, SearchMode, std::string, std::string, bool> cases[] =
        {{"news", kPlain, Name, "Daily NEWS", "u", true},
         {"NeWs", kPlain, Name, "Daily news", "u", true},
         {"ÄPFEL", kPlain, Name, "äpfel", "", true},
         {"news", kPlain, Name, "Sports", "news", false},
         {"news", kPlain, Url, "News", "u", false},
         {"news", kPlain, Both, "News", "u", true},
         {"news", kPlain, Both, "x", "http://News", true},
         {"news", kPlain, Both, "x", "u", false},
         {"news", kBoth, Nothing, "news", "news", false},
         {"ä", kPlain, Name, "ÄPFEL", "", true},
         {"ж", kPlain, Url, "", "http://ЖЖ", true},
         {"", kPlain, Name, "", "", true},
         {"gazette linux", kPlain, Name, "Linux Gazette", "", false},
         {"gazette linux", kWords, Name, "Linux Gazette", "", true},
         {" gazette\tlinux  ", kWords, Name, "Linux Gazette", "", true},
         {"gazette linux", kWords, Name, "Gazette", "http://linux", false},
         {"gazette linux", kWords, Both, "Gazette", "http://linux", true},
         {"gazette linux", kWords, Url, "Linux", "http://gazette", false},
         {"  ", kWords, Name, "a  b", "", true},
         {"  ", kWords, Name, "a b", "", false},
         {"cafe", kPlain, Name, "Café", "", false},
         {"cafe", kAccents, Name, "Le Café", "", true},
         {"café", kAccents, Name, "CAFE", "", true},
         {"cafes", kAccents, Name, "Cafè au lait", "", false},
         {"cafe", kAccents, Url, "Café", "http://x", false},
         {"crème brûlée", kAccents, Name, "Brûlée crème", "", false},
         {"crème brûlée", kBoth, Name, "Brulee CREME", "", true},
         {"strasse", kAccents, Name, "Hauptstraße", "", true},
         {"straße", kAccents, Name, "STRASSE", "", true},
         {"strasse", kPlain, Name, "Straße", "", false},
         {"phœnix", kAccents, Url, "", "http://Phoenix", true},
         {"sse", kAccents, Name, "ße", "", true}}; // inside a written-out letter
    MatchScratch scratch; // one for every case: the text before is forgotten
    for (const auto& [term, rules, mode, name, url, match] : cases)
        EXPECT_EQ(Matcher(term, mode, rules).matches(name, url, scratch), match)
            << "'" << term << "' by " << static_cast<int>(mode) << " in " << name << " / " << url;
    const Matcher reused("news", Name);
    EXPECT_TRUE(reused.nameMatches("A long name with NEWS in it", scratch) &&
                !reused.nameMatches("ne", scratch));
}

// A word typed again adds nothing to find: 100,000 times "z" costs what one does.
TEST(Matcher, AWordTypedAgainIsLookedForOnce) {
    std::string term;
    for (int k = 0; k < 100'000; ++k)
        term += "z ";
    const Matcher matcher(term, SearchMode::Name, {.anyWordOrder = true});
    MatchScratch scratch;
    const auto start = std::chrono::steady_clock::now();
    int found = 0;
    for (int k = 0; k < 20'000; ++k)
        found += matcher.matches("zebra", "u", scratch) ? 1 : 0;
    EXPECT_EQ(found, 20'000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}
