// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "search/ordering.h"
#include "search/result_list.h"
#include "support/fake_clock.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

using namespace zaptrove;

namespace {

Settings makeSettings(int duplicates, int sort, int function) {
    Settings settings;
    settings.Duplicates = static_cast<std::int16_t>(duplicates);
    settings.Sort = static_cast<std::int16_t>(sort);
    settings.Function = static_cast<std::int16_t>(function);
    return settings;
}

} // namespace

TEST(ResultList, RemoveDuplicatesComparesEachCandidateWithTheLastKept) {
    const std::vector<Bookmark> urls{
        {"a", "x\\Page"}, {"b", "y\\page"}, {"c", "HTTP://z"}, {"d", "http://Z"}};
    const std::vector<Bookmark> mixed{
        {"n1", "u1"}, {"C:\\F\\n2.url", "u1", true}, {"n2", "u2"}, {"N2", "u3"}, {"n3", "u3"}};
    const std::vector<Bookmark> empties{{"", ""}, {"", ""}, {"x", ""}};
    // Duplicates, Sort, Function, the candidates and the indices of those kept.
    const std::tuple<int, int, int, const std::vector<Bookmark>&, std::string> cases[] = {
        {15, 0, 0, mixed, "01234"}, {99, 1, 0, urls, "0123"}, {16, 0, 1, mixed, "014"},
        {16, 1, 0, urls, "02"},     {16, 1, 0, mixed, "023"}, {16, 2, 0, mixed, "024"},
        {16, 2, 0, urls, "0123"},   {16, 3, 2, mixed, "024"}, {16, 3, 1, mixed, "023"},
        {16, 3, 0, mixed, "014"},   {16, 3, 7, mixed, "024"}, {16, 0, 0, empties, "02"},
        {16, 2, 0, empties, "0"}};
    const test::FakeClock clock;
    for (const auto& [duplicates, sort, function, in, kept] : cases) {
        const Settings settings = makeSettings(duplicates, sort, function);
        std::vector<Bookmark> expected;
        for (const char k : kept)
            expected.push_back(in[k - '0']);
        EXPECT_EQ(fnRemoveDuplicates(settings, in, DebugLog(settings, clock)), expected)
            << duplicates << "/" << sort << "/" << function << " keeping " << kept;
    }
}

TEST(ResultList, ListLinePutsTheSortedFieldFirst) {
    const Bookmark news{"C:\\Fav\\News.url", "http://n", true};
    // Sort, Function, whether the name comes first
    const std::tuple<int, int, bool> cases[] = {{0, 1, true}, {1, 0, false}, {3, 0, true},
                                                {3, 2, true}, {3, 7, true},  {3, 1, false},
                                                {2, 0, false}};
    for (const auto& [sort, function, nameFirst] : cases)
        EXPECT_EQ(fnListLine(makeSettings(15, sort, function), news),
                  nameFirst ? "News  -  http://n" : "http://n  -  News")
            << sort << "/" << function;
    EXPECT_EQ(fnListLine(makeSettings(15, 0, 0), {"a\\Page.URL", "x\\y"}), "Page.URL  -  x\\y");
}

// A browser's bookmark names are titles: shown, compared and ordered whole.
TEST(ResultList, BrowserBookmarksShowTheirWholeName) {
    const Bookmark tips{"Tips \\ Tricks", "u", false, "Firefox"};
    const Bookmark file{"all about file.url", "u", false, "Chromium"};
    EXPECT_EQ(fnListLine(makeSettings(15, 0, 0), tips), "Tips \\ Tricks  -  u");
    EXPECT_EQ(fnListLine(makeSettings(15, 0, 0), file), "all about file.url  -  u");
    const test::FakeClock clock;
    const Settings settings = makeSettings(DUPS_REMOVE, SORT_NAME, FUNC_NAME);
    const std::vector<Bookmark> apart{{"x \\ Tricks", "u", false, "Firefox"}, tips};
    EXPECT_EQ(fnRemoveDuplicates(settings, apart, DebugLog(settings, clock)), apart);
    const Bookmark last{"z \\ a", "u", false, "Firefox"};
    std::vector<Bookmark> ordered{last, {"m", "u"}};
    subOrderCandidates(settings, ordered, DebugLog(settings, clock));
    EXPECT_EQ(ordered, (std::vector<Bookmark>{{"m", "u"}, last}));
}

TEST(ResultList, BuildListLinesGivesEveryRecordAnAddress) {
    test::TempFolder t;
    test::FakeClock clock;
    const std::string shortcut = t.asFolder() + "Home.url";
    t.write("Home.url", "[InternetShortcut]\r\nURL=http://home\r\n");
    std::vector<Bookmark> results{{shortcut, "", true},
                                  {shortcut, "", false}, // not a favorite: its name is no file
                                  {t.asFolder() + "Gone.url", "", true},
                                  {"Kept.url", "http://kept", true}};
    const Settings settings = makeSettings(15, SORT_NAME, FUNC_NAME);
    EXPECT_EQ(fnBuildListLines(settings, results, DebugLog(settings, clock)),
              (std::vector<std::string>{"Home  -  http://home", "Home  -  <not found>",
                                        "Gone  -  <not found>", "Kept  -  http://kept"}));
    EXPECT_EQ(results[0].URL, "http://home");
}
