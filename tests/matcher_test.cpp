// SPDX-License-Identifier: MIT
#include "search/matcher.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace zaptrove;

TEST(Matcher, LooksAtNameUrlOrBothByTheRulesAsked) {
    constexpr MatchRules kWords{.anyWordOrder = true}, kAccents{.ignoreAccents = true},
        kBoth{true, true}, kPlain{};
    // term (lower-cased as typed), rules, Function, name, address, match
    const std::tuple<std::string, MatchRules, std::int16_t, std::string, std::string, bool>
        cases[] = {{"news", kPlain, FUNC_NAME, "Daily NEWS", "u", true},
                   {"news", kPlain, FUNC_NAME, "Sports", "news", false},
                   {"news", kPlain, FUNC_URL, "News", "u", false},
                   {"news", kPlain, FUNC_URL, "x", "HTTP://NEWS", true},
                   {"news", kPlain, FUNC_BOTH, "News", "u", true},
                   {"news", kPlain, FUNC_BOTH, "x", "http://News", true},
                   {"news", kPlain, FUNC_BOTH, "x", "u", false},
                   {"news", kBoth, 7, "news", "news", false}, // an unknown mode
                   {"ä", kPlain, FUNC_NAME, "ÄPFEL", "", true},
                   {"ж", kPlain, FUNC_URL, "", "http://ЖЖ", true},
                   {"", kPlain, FUNC_NAME, "", "", true},
                   {"gazette linux", kPlain, FUNC_NAME, "Linux Gazette", "", false},
                   {"gazette linux", kWords, FUNC_NAME, "Linux Gazette", "", true},
                   {" gazette\tlinux  ", kWords, FUNC_NAME, "Linux Gazette", "", true},
                   {"gazette linux", kWords, FUNC_NAME, "Gazette", "http://linux", false},
                   {"gazette linux", kWords, FUNC_BOTH, "Gazette", "http://linux", true},
                   {"gazette linux", kWords, FUNC_URL, "Linux", "http://gazette", false},
                   {"  ", kWords, FUNC_NAME, "a  b", "", true},
                   {"  ", kWords, FUNC_NAME, "a b", "", false},
                   {"cafe", kPlain, FUNC_NAME, "Café", "", false},
                   {"cafe", kAccents, FUNC_NAME, "Le Café", "", true},
                   {"café", kAccents, FUNC_NAME, "CAFE", "", true},
                   {"cafes", kAccents, FUNC_NAME, "Cafè au lait", "", false},
                   {"cafe", kAccents, FUNC_URL, "Café", "http://x", false},
                   {"crème brûlée", kAccents, FUNC_NAME, "Brûlée crème", "", false},
                   {"crème brûlée", kBoth, FUNC_NAME, "Brulee CREME", "", true}};
    for (const auto& [term, rules, function, name, url, match] : cases)
        EXPECT_EQ(Matcher(term, function, rules).matches(name, url), match)
            << "'" << term << "' by " << function << " in " << name << " / " << url;
    Matcher reused("news", FUNC_NAME); // the text before is forgotten
    EXPECT_TRUE(reused.nameMatches("A long name with NEWS in it") && !reused.nameMatches("ne"));
}

// A word typed again adds nothing to find: 100,000 times "z" costs what one does.
TEST(Matcher, AWordTypedAgainIsLookedForOnce) {
    std::string term;
    for (int k = 0; k < 100'000; ++k)
        term += "z ";
    Matcher matcher(term, FUNC_NAME, {.anyWordOrder = true});
    const auto start = std::chrono::steady_clock::now();
    int found = 0;
    for (int k = 0; k < 20'000; ++k)
        found += matcher.matches("zebra", "u") ? 1 : 0;
    EXPECT_EQ(found, 20'000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}
