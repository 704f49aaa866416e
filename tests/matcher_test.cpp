// SPDX-License-Identifier: MIT
#include "search/matcher.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

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
                   {"crème brûlée", kBoth, FUNC_NAME, "Brulee CREME", "", true},
                   {"strasse", kAccents, FUNC_NAME, "Hauptstraße", "", true},
                   {"straße", kAccents, FUNC_NAME, "STRASSE", "", true},
                   {"strasse", kPlain, FUNC_NAME, "Straße", "", false},
                   {"ae", kAccents, FUNC_URL, "", "http://Æ.example", true},
                   {"oeuvre", kAccents, FUNC_NAME, "Œuvre", "", true},
                   {"phœnix", kAccents, FUNC_NAME, "Phoenix", "", true},
                   {"orsted", kAccents, FUNC_NAME, "Ørsted", "", true},
                   {"sse", kAccents, FUNC_NAME, "ße", "", true}}; // inside a written-out letter
    for (const auto& [term, rules, function, name, url, match] : cases)
        EXPECT_EQ(Matcher(term, function, rules).matches(name, url), match)
            << "'" << term << "' by " << function << " in " << name << " / " << url;
    Matcher reused("news", FUNC_NAME); // the text before is forgotten
    EXPECT_TRUE(reused.nameMatches("A long name with NEWS in it") && !reused.nameMatches("ne"));
}
