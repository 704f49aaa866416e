// SPDX-License-Identifier: MIT
#include "search/matcher.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

using namespace zaptrove;

TEST(Matcher, LooksAtNameUrlOrBothIgnoringCase) {
    // term (already lower-cased), Function, name, address, match
    const std::tuple<std::string, std::int16_t, std::string, std::string, bool> cases[] = {
        {"news", FUNC_NAME, "Daily NEWS", "u", true},
        {"news", FUNC_NAME, "Sports", "news", false},
        {"news", FUNC_URL, "News", "u", false},
        {"news", FUNC_URL, "x", "HTTP://NEWS", true},
        {"news", FUNC_BOTH, "News", "u", true},
        {"news", FUNC_BOTH, "x", "http://News", true},
        {"news", FUNC_BOTH, "x", "u", false},
        {"news", 7, "news", "news", false},
        {"ä", FUNC_NAME, "ÄPFEL", "", true},
        {"ж", FUNC_URL, "", "http://ЖЖ", true},
        {"", FUNC_NAME, "", "", true}};
    for (const auto& [term, function, name, url, match] : cases)
        EXPECT_EQ(Matcher(term, function).matches(name, url), match)
            << "'" << term << "' by " << function << " in " << name << " / " << url;
    Matcher reused("news", FUNC_NAME); // the text before is forgotten
    EXPECT_TRUE(reused.nameMatches("A long name with NEWS in it") && !reused.nameMatches("ne"));
}

TEST(Matcher, WordsInAnyOrderAndAccentsIgnoredWhenAsked) {
    constexpr MatchRules kWords{.anyWordOrder = true}, kAccents{.ignoreAccents = true},
        kBoth{true, true}, kPlain{};
    // term (lower-cased as typed), rules, Function, name, address, match
    const std::tuple<std::string, MatchRules, std::int16_t, std::string, std::string, bool>
        cases[] = {{"gazette linux", kPlain, FUNC_NAME, "Linux Gazette", "", false},
                   {"gazette linux", kWords, FUNC_NAME, "Linux Gazette", "", true},
                   {" gazette\tlinux  ", kWords, FUNC_NAME, "Linux Gazette", "", true},
                   {"gazette linux", kWords, FUNC_NAME, "Gazette", "http://linux", false},
                   {"gazette linux", kWords, FUNC_BOTH, "Gazette", "http://linux", true},
                   {"gazette linux", kWords, FUNC_URL, "Linux", "http://gazette", false},
                   {"  ", kWords, FUNC_NAME, "a  b", "", true},
                   {"  ", kWords, FUNC_NAME, "a b", "", false},
                   {"cafe", kPlain, FUNC_NAME, "Café", "", false},
                   {"cafe", kAccents, FUNC_NAME, "Café", "", true},
                   {"café", kAccents, FUNC_NAME, "CAFE", "", true},
                   {"cafe", kAccents, FUNC_URL, "Café", "http://x", false},
                   {"crème brûlée", kAccents, FUNC_NAME, "Brûlée crème", "", false},
                   {"crème brûlée", kBoth, FUNC_NAME, "Brulee CREME", "", true}};
    for (const auto& [term, rules, function, name, url, match] : cases)
        EXPECT_EQ(Matcher(term, function, rules).matches(name, url), match)
            << "'" << term << "' by " << function << " in " << name << " / " << url;
}
