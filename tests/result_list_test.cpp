// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "platform/separators.h"
#include "search/request/search_request.h"
#include "search/results/ordering.h"
#include "search/results/result_list.h"
#include "search/results/whereabouts.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

using namespace zaptrove;

namespace {

SearchRequest makeRequest(int duplicates, int sort, int function) {
    return {.mode = fnSearchMode(static_cast<std::int16_t>(function)),
            .sort = static_cast<std::int16_t>(sort),
            .removeDuplicates = duplicates == DUPS_REMOVE};
}

// A favorite's name as the walk of the stored folder "Fav\" makes it.
std::string favorite(std::string_view file) {
    return platform::folderPath("Fav\\") + std::string(file);
}

} // namespace

TEST(ResultList, RemoveDuplicatesComparesEachCandidateWithTheLastKept) {
    const std::vector<Bookmark> urls{
        {"a", "x\\Page"}, {"b", "y\\page"}, {"c", "HTTP://z"}, {"d", "http://Z"}};
    const std::vector<Bookmark> mixed{
        {"n1", "u1"}, {favorite("n2.url"), "u1", true}, {"n2", "u2"}, {"N2", "u3"}, {"n3", "u3"}};
    const std::vector<Bookmark> empties{{"", ""}, {"", ""}, {"x", ""}};
    // Duplicates, Sort, Function, the candidates and the indices of those kept.
    const std::tuple<int, int, int, const std::vector<Bookmark>&, std::string> cases[] = {
        {15, 0, 0, mixed, "01234"}, {99, 1, 0, urls, "0123"}, {16, 0, 1, mixed, "014"},
        {16, 1, 0, urls, "02"},     {16, 1, 0, mixed, "023"}, {16, 2, 0, mixed, "024"},
        {16, 2, 0, urls, "0123"},   {16, 3, 2, mixed, "024"}, {16, 3, 1, mixed, "023"},
        {16, 3, 0, mixed, "014"},   {16, 3, 7, mixed, "024"}, {16, 0, 0, empties, "02"},
        {16, 2, 0, empties, "0"}};
    for (const auto& [duplicates, sort, function, in, kept] : cases) {
        const SearchRequest request = makeRequest(duplicates, sort, function);
        std::vector<Bookmark> expected;
        for (const char k : kept)
            expected.push_back(in[k - '0']);
        EXPECT_EQ(fnRemoveDuplicates(request, in, DebugLog::silent()), expected)
            << duplicates << "/" << sort << "/" << function << " keeping " << kept;
    }
}

TEST(ResultList, ListLinePutsTheSortedFieldFirst) {
    const Bookmark news{favorite("News.url"), "http://n", true};
    // Sort, Function, whether the name comes first
    const std::tuple<int, int, bool> cases[] = {{0, 1, true}, {1, 0, false}, {3, 0, true},
                                                {3, 2, true}, {3, 7, true},  {3, 1, false},
                                                {2, 0, false}};
    for (const auto& [sort, function, nameFirst] : cases)
        EXPECT_EQ(fnListLine(makeRequest(15, sort, function), news),
                  nameFirst ? "News  -  http://n" : "http://n  -  News")
            << sort << "/" << function;
    EXPECT_EQ(fnListLine(makeRequest(15, 0, 0), {"a\\Page.URL", "x\\y"}), "Page.URL  -  x\\y");
}

// A browser's bookmark names are titles: shown, compared and ordered whole.
TEST(ResultList, BrowserBookmarksShowTheirWholeName) {
    const Bookmark tips{"Tips \\ Tricks", "u", false, false, "Firefox"};
    const Bookmark file{"all about file.url", "u", false, false, "Chromium"};
    EXPECT_EQ(fnListLine(makeRequest(15, 0, 0), tips), "Tips \\ Tricks  -  u");
    EXPECT_EQ(fnListLine(makeRequest(15, 0, 0), file), "all about file.url  -  u");
    const SearchRequest request = makeRequest(DUPS_REMOVE, SORT_NAME, FUNC_NAME);
    const std::vector<Bookmark> apart{{"x \\ Tricks", "u", false, false, "Firefox"}, tips};
    EXPECT_EQ(fnRemoveDuplicates(request, apart, DebugLog::silent()), apart);
    const Bookmark last{"z \\ a", "u", false, false, "Firefox"};
    std::vector<Bookmark> ordered{last, {"m", "u"}};
    subOrderCandidates(request, ordered, DebugLog::silent());
    EXPECT_EQ(ordered, (std::vector<Bookmark>{{"m", "u"}, last}));
}

TEST(ResultList, BuildListLinesGivesEveryRecordAnAddress) {
    test::TempFolder t;
    const std::string shortcut = t / "Home.url";
    t.write("Home.url", "[InternetShortcut]\r\nURL=http://home\r\n");
    std::vector<Bookmark> results{{shortcut, "", true, true},
                                  {t.asFolder() + "Home.url", "", false}, // not a favorite
                                  {t / "Gone.url", "", true, true},
                                  {"Kept.url", "http://kept", true}};
    EXPECT_EQ(fnBuildListLines(makeRequest(15, SORT_NAME, FUNC_NAME), results, DebugLog::silent()),
              (std::vector<std::string>{"Home  -  http://home", "Home  -  <not found>",
                                        "Gone  -  <not found>", "Kept  -  http://kept"}));
    EXPECT_EQ(results[0].URL, "http://home");
}

// What a row tells of where its bookmark lives: the note after the address
// (nothing at the root of a location) and the tooltip's lines.
TEST(ResultList, WhereABookmarkLivesInItsNoteAndDescription) {
    Bookmark browser{"Tips \\ Tricks", "https://t/"};
    browser.Origin = "Firefox, profile default";
    browser.Source = SourceName("Firefox", "default");
    browser.Folder = FolderPath(std::make_shared<const FolderNode>(FolderNode{
        "Work", std::make_shared<const FolderNode>(FolderNode{"Bookmarks Menu", nullptr})}));
    EXPECT_EQ(fnWhereNote(browser), "Bookmarks Menu/Work \u00b7 Firefox, profile default");
    EXPECT_EQ(fnRowDescription(browser), "Name: Tips \\ Tricks\nAddress: https://t/\nSource: "
                                         "Firefox\nProfile: default\nFolder: Bookmarks Menu/Work");
    Bookmark news{favorite("News.url"), "http://n/", true};
    news.Source = SourceName("MSIE Main", "");
    EXPECT_EQ(fnWhereNote(news), "");
    EXPECT_EQ(fnRowDescription(news), "Name: News\nAddress: http://n/\nSource: MSIE "
                                      "Main\nFolder: (top level)\nFile: " +
                                          news.Name);
}
