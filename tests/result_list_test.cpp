// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "platform/separators.h"
#include "search/request/search_request.h"
#include "search/results/address_copies.h"
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

// A bookmark read from a Firefox profile.
Bookmark browserBookmark(std::string name, std::string url) {
    Bookmark made{std::move(name), std::move(url)};
    BrowserProfile profile;
    profile.install = "Firefox", profile.name = "default";
    made.Source = SourceName(profile);
    return made;
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
    const Bookmark tips = browserBookmark("Tips \\ Tricks", "u");
    const Bookmark file = browserBookmark("all about file.url", "u");
    EXPECT_EQ(fnListLine(makeRequest(15, 0, 0), tips), "Tips \\ Tricks  -  u");
    EXPECT_EQ(fnListLine(makeRequest(15, 0, 0), file), "all about file.url  -  u");
    const SearchRequest request = makeRequest(DUPS_REMOVE, SORT_NAME, FUNC_NAME);
    const std::vector<Bookmark> apart{browserBookmark("x \\ Tricks", "u"), tips};
    EXPECT_EQ(fnRemoveDuplicates(request, apart, DebugLog::silent()), apart);
    const Bookmark last = browserBookmark("z \\ a", "u");
    std::vector<Bookmark> ordered{last, {"m", "u"}};
    subOrderCandidates(request, ordered, DebugLog::silent());
    EXPECT_EQ(ordered, (std::vector<Bookmark>{{"m", "u"}, last}));
}

TEST(ResultList, BuildListLinesGivesEveryRecordAnAddressEachFromItsOwnFile) {
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

    // Beyond 256 pending addresses they are read in stretches on two threads:
    // every record's own, at the stretches' edges too, the others left alone.
    std::vector<Bookmark> records;
    for (int k = 0; k < 700; ++k) {
        const std::string name = std::to_string(k) + ".url";
        if (k % 7 == 3) {
            records.push_back({name, "http://read/" + std::to_string(k), true});
        } else {
            t.write(name, "[InternetShortcut]\nURL=http://" + std::to_string(k) + "\n");
            records.push_back({t / name, "", true, true});
        }
    }
    subReadMissingShortcutAddresses(records);
    for (int k = 0; k < 700; ++k) {
        const Bookmark& record = records[static_cast<std::size_t>(k)];
        EXPECT_EQ(record.URL, (k % 7 == 3 ? "http://read/" : "http://") + std::to_string(k)) << k;
        EXPECT_FALSE(record.AddressPending) << k;
    }
}

// Where a row's bookmark lives: the note after the address (none at a root), the tooltip's lines.
TEST(ResultList, WhereABookmarkLivesInItsNoteAndDescription) {
    Bookmark browser = browserBookmark("Tips \\ Tricks", "https://t/");
    browser.Folder = FolderPath(std::make_shared<const FolderNode>(FolderNode{
        "Work", std::make_shared<const FolderNode>(FolderNode{"Bookmarks Menu", nullptr})}));
    EXPECT_EQ(fnWhereNote(browser), "Bookmarks Menu/Work \u00b7 Firefox, profile default");
    EXPECT_EQ(fnRowDescription(browser), "Name: Tips \\ Tricks\nAddress: https://t/\nSource: "
                                         "Firefox\nProfile: default\nFolder: Bookmarks Menu/Work");
    browser.extras.edit().tags =
        std::make_shared<const std::vector<std::string>>(std::vector<std::string>{"news", "work"});
    EXPECT_TRUE(
        fnRowDescription(browser).ends_with("Folder: Bookmarks Menu/Work\nTags: news, work"));
    Bookmark news{favorite("News.url"), "http://n/", true};
    news.Source = SourceName("MSIE Main", "");
    EXPECT_EQ(fnWhereNote(news), "");
    EXPECT_EQ(fnRowDescription(news), "Name: News\nAddress: http://n/\nSource: MSIE "
                                      "Main\nFolder: (top level)\nFile: " +
                                          news.Name);
    EXPECT_EQ(fnCopiesList(news), "");

    // A merged row lists every copy, its own first.
    news.extras.edit().otherCopies = {{browser.Source, browser.Folder},
                                      {SourceName("Opera Alt", ""), {}}};
    EXPECT_EQ(fnRowDescription(news),
              "Name: News\nAddress: http://n/\nSource: MSIE Main\nFolder: (top level)\nFile: " +
                  news.Name +
                  "\nCopies: 3\nMSIE Main \u00b7 (top level)\nFirefox, profile default \u00b7 "
                  "Bookmarks Menu/Work\nOpera Alt \u00b7 (top level)");
    // A copy of the row holds the same copies, apart from the row's.
    Bookmark copy = news;
    EXPECT_EQ(copy, news);
    copy.extras.edit().otherCopies.clear();
    EXPECT_TRUE(fnCopiesList(news).starts_with("Copies: 3\n"));
}

// Addresses compare with scheme and host in any case and a final "/" or none; all else as written.
TEST(AddressCopies, KeyLowerCasesOnlySchemeAndHostAndDropsAFinalSlash) {
    const std::pair<const char*, const char*> cases[] = {
        {"HTTPS://Example.com/a/", "https://example.com/a"},
        {"https://example.com/Path/Case", "https://example.com/Path/Case"},
        {"https://Example.COM", "https://example.com"},  // no path
        {"https://Example.COM/", "https://example.com"}, // nothing but "/"
        {"https://Example.com?Q=A", "https://example.com?Q=A"},
        {"https://Example.com#Top/", "https://example.com#Top"},
        {"http://User:Pw@Example.com:8080/X", "http://User:Pw@example.com:8080/X"},
        {"http://[FE80::A]:80/", "http://[fe80::a]:80"},
        {"FILE:///Home/Me/", "file:///Home/Me"},
        {"MailTo:Someone@Example.com", "mailto:Someone@Example.com"}, // no host
        {"Example.com/Path/", "Example.com/Path"},                    // no scheme: as written
        {"//Example.com/a", "//Example.com/a"},
        {"1http://Example.com", "1http://Example.com"}, // no scheme starts with a digit
        {"https://a//", "https://a/"},                  // only one "/" goes
    };
    std::string key = "left over";
    for (const auto& [address, expected] : cases) {
        subAddressKey(address, key);
        EXPECT_EQ(key, expected) << address;
    }
}

// Each address's first copy stays, noting later ones; rows move up as copies go.
TEST(AddressCopies, MergeKeepsTheFirstCopyOfEachAddressInReadingOrder) {
    const auto record = [](const char* name, const char* url, const char* source) {
        Bookmark made{name, url};
        made.Source = SourceName(source, "");
        return made;
    };
    test::TempFolder t;
    const std::string shortcut =
        t.write("C.url", "[InternetShortcut]\r\nURL=HTTP://C/\r\n"); // its address read first
    Bookmark pending{shortcut, "", true, true};
    pending.Source = SourceName("MSIE Main", "");
    std::vector<Bookmark> records{
        record("a1", "http://a", "s1"),  record("b1", "http://b", "s1"),
        record("a2", "HTTP://A/", "s2"), record("c1", "http://c", "s2"),
        record("b2", "http://b/", "s3"), pending,
        record("a3", "http://a", "s3"),  record("none", "", "s1"), // no address: never merged
        record("none", "", "s2"),        record("gone", NOT_FOUND, "s1"),
        record("gone", NOT_FOUND, "s2")};
    subMergeAddressCopies(records);
    std::vector<std::string> rows;
    for (const Bookmark& row : records) {
        std::string line = row.Name + ":";
        line.append(row.Source.source());
        for (const BookmarkCopy& copy : row.extras.get().otherCopies)
            line.append(",").append(copy.Source.source());
        rows.push_back(line);
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"a1:s1,s2,s3", "b1:s1,s3", "c1:s2,MSIE Main",
                                              "none:s1", "none:s2", "gone:s1", "gone:s2"}));
    std::vector<Bookmark> none;
    subMergeAddressCopies(none);
    EXPECT_TRUE(none.empty());
}
