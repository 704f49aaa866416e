// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "search/results/result_list.h"
#include "search/results/whereabouts.h"
#include "search/run/search_run.h"
#include "support/chromium_files.h"
#include "support/fake_clock.h"
#include "support/temp_folder.h"
#ifdef ZAPTROVE_TEST_PLACES
#include "support/places_database.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <optional>
#include <sstream>
#ifndef _WIN32
#include <sys/inotify.h>
#include <unistd.h>
#endif

using namespace zaptrove;
using Lines = std::vector<std::string>;

namespace {

class SearchRun : public ::testing::Test {
  protected:
    test::TempFolder t;
    test::FakeClock clock;
    Settings s;
    const std::string favorites = t.asFolder("Fav"), timer = "  50851.23";

    // The Favorites folder is named; each test switches it on or not.
    SearchRun() { s.MSIEMain = favorites; }

    SearchOutcome run(std::string_view input) {
        std::filesystem::remove(t / "run.log");
        s.DebugMode = DEBUG_ON;
        return subSearch(fnSearchRequest(input, s), DebugLog(s.DebugMode, clock, t / "run.log"));
    }
    // The lines of the last run's log, each as its mark and text.
    Lines logLines() const {
        std::istringstream in(test::readFile(t / "run.log"));
        Lines lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.substr(0, 2) + line.substr(24, line.size() - 25));
        return lines;
    }
    std::string shortcut(const std::string& path, const std::string& url) {
        return t.write(path, "[InternetShortcut]\r\nURL=" + url + "\r\n");
    }
};

} // namespace

TEST_F(SearchRun, LogsEveryStepOfARunAndMatchesTheLowerCasedUntrimmedTerm) {
    shortcut("Fav/Daily News.url", "http://daily");
    shortcut("Fav/Sports.url", "http://sports");
    s.NetscapeMain =
        t.write("ns.html", "<DT><A HREF=\"http://ns\">news</A>\n<DT><A HREF=\"w\">Wäther<");
    s.OperaMain =
        t.write("op.adr", "Opera Hotlist version 2.0\n\n#URL\n\tNAME=News\n\tURL=http://op\n");
    s.DoMSIE = s.DoNetscape = s.DoOpera = DO_YES;
    s.Function = FUNC_BOTH, s.Sort = SORT_SEARCHED;
    EXPECT_EQ(run("NEWS").Lines,
              (Lines{"Daily News  -  http://daily", "News  -  http://op", "news  -  http://ns"}));
    EXPECT_EQ(
        logLines(),
        (Lines{"$ Searching by BOTH", "$ Reading MSIE Dir: " + favorites,
               "+ Start Directory Reading:" + timer, "- Directory Reading Done:" + timer,
               "$ Reading Netscape File: " + s.NetscapeMain, "+ Parsing Netscape File:" + timer,
               "- Netscape file parsed:" + timer, "$ Reading Opera File: " + s.OperaMain,
               "+ Parsing Opera File:" + timer, "- Opera file parsed:" + timer, "$ Candidates:  3",
               "$ Sorting as Searched", "+ Start Matrix sorting:" + timer,
               "- Matrix sorting Done:" + timer, "+ Start undupping:" + timer,
               "- Undupped:" + timer, "$ Building combo for 3 match[es] found!"}));
    EXPECT_EQ(run(" news").Lines, (Lines{"Daily News  -  http://daily"})); // the blank stays
    s.Accents = ACCENTS_IGNORE;
    EXPECT_EQ(run("wather").Lines, (Lines{"Wäther  -  w"}));
}

TEST_F(SearchRun, ReadsTheSwitchedOnSourcesInOrderMainBeforeAlternative) {
    shortcut("Fav/x1.url", "u1");
    shortcut("Alt/x2.url", "u2");
    s.MSIEAlt = t.asFolder("Alt"), s.NetscapeMain = t.write("ns.html", "<DT><A HREF=\"u3\">x3<");
    s.NetscapeAlt = t.write("ns-alt.html", "<DT><A HREF=\"u4\">x4<");
    s.OperaMain = t.write("op.adr", "#URL\nNAME=x5\nURL=u5\n");
    s.OperaAlt = t.write("op-alt.adr", "#URL\nNAME=x6\nURL=u6\n");
    s.DoMSIE = s.DoMSIEEx = s.DoNetscape = s.DoNetscapeEx = s.DoOpera = s.DoOperaEx = DO_YES;
    s.Sort = SORT_NONE;
    const Lines inOrder = run("X").Lines;
    EXPECT_EQ(inOrder, (Lines{"u1  -  x1", "u2  -  x2", "u3  -  x3", "u4  -  x4", "u5  -  x5",
                              "u6  -  x6"}));
    Lines sources;
    for (const Bookmark& record : run("X").Results)
        sources.push_back(std::string(record.Source.source()) + "|" +
                          std::string(record.Source.profile()));
    EXPECT_EQ(sources, (Lines{"MSIE Main|", "MSIE Alt|", "Netscape Main|", "Netscape Alt|",
                              "Opera Main|", "Opera Alt|"}));
    s.DebugMode = DEBUG_OFF; // the Favorites walk then runs beside the files: the same order
    EXPECT_EQ(subSearch(fnSearchRequest("X", s), DebugLog(s.DebugMode, clock)).Lines, inOrder);
    const std::atomic<bool> stop{true}; // a run asked to stop reads no source and finds nothing
    SearchRequest stopped = fnSearchRequest("X", s);
    stopped.stop = &stop;
    const SearchOutcome none = subSearch(stopped, DebugLog::silent());
    EXPECT_EQ(std::pair(none.Found, none.SourcesEnabled), std::pair(false, std::size_t{0}));

    s.DoMSIEEx = s.DoNetscape = DO_NO;
    s.DoOperaEx = DUPS_KEEP; // only DO_YES switches a location on
    EXPECT_EQ(run("X").Lines, (Lines{"u1  -  x1", "u4  -  x4", "u5  -  x5"}));
    s.Function = 7; // an unknown mode matches nothing
    EXPECT_FALSE(run("X").Found);
    EXPECT_EQ(logLines().back(), "! No matches found!");
}

// Ordering by address opens only the favorites that matched (inotify, which Windows lacks).
TEST_F(SearchRun, NameSearchOrdersAndUndupsFavoritesByTheirRealAddresses) {
    shortcut("Fav/n1.url", "http://c");
    shortcut("Fav/n2.url", "http://a");
    shortcut("Fav/n3.url", "http://a");
    shortcut("Fav/n4.url", "http://b");
#ifndef _WIN32
    const int matched = inotify_init1(IN_NONBLOCK), unmatched = inotify_init1(IN_NONBLOCK);
    inotify_add_watch(matched, (t / "Fav/n1.url").c_str(), IN_OPEN);
    inotify_add_watch(unmatched, shortcut("Fav/zz.url", "http://z").c_str(), IN_OPEN);
#endif
    s.DoMSIE = DO_YES;
    const auto addresses = [this](std::int16_t sort, std::int16_t duplicates) {
        s.Sort = sort, s.Duplicates = duplicates;
        std::string urls;
        for (const Bookmark& record : run("N").Results)
            urls += record.URL + " ";
        return urls;
    };
    EXPECT_EQ(addresses(SORT_URL, DUPS_KEEP), "http://a http://a http://b http://c ");
#ifndef _WIN32
    alignas(inotify_event) char events[4096];
    EXPECT_GT(read(matched, events, sizeof events), 0); // the watch works
    EXPECT_LT(read(unmatched, events, sizeof events), 0)
        << "a favorite that did not match was opened";
    close(matched), close(unmatched);
#endif
    EXPECT_EQ(addresses(SORT_URL, DUPS_REMOVE), "http://a http://b http://c ");
    EXPECT_EQ(addresses(SORT_NONE, DUPS_REMOVE),
              "http://c http://a http://b "); // by name and address
}

TEST_F(SearchRun, BrowserProfilesFollowTheSixLocationsInTheirOrderWithTheirLogLines) {
    s.OperaMain = t.write("op.adr", "#URL\nNAME=x1\nURL=u1\n");
    const auto profile = [&](Browser browser, const std::string& folder, const std::string& entry) {
        return test::chromiumProfile(t, browser, folder, entry, "u" + entry.substr(1));
    };
    BrowserProfile locked = profile(Browser::Chrome, "Locked", "x9");
    locked.problem = "only an encrypted bookmarks file";
    s.BrowserProfiles = {profile(Browser::Chrome, "Default", "x2"), locked,
                         profile(Browser::Edge, "Edge", "x3")};
    s.ChromiumAlt = profile(Browser::Chromium, "alt", "x4").bookmarksFile;
    s.DoOpera = s.DoChrome = s.DoEdge = s.DoChromiumEx = DO_YES;
    s.Sort = 2; // the reading order stays
    const SearchOutcome outcome = run("X");
    EXPECT_EQ(outcome.Lines, (Lines{"u1  -  x1", "u2  -  x2", "u3  -  x3", "u4  -  x4"}));
    const Lines log = logLines();
    EXPECT_EQ(Lines(log.begin() + 4, log.begin() + 14),
              (Lines{"$ Reading Chrome File: " + s.BrowserProfiles[0].bookmarksFile,
                     "+ Parsing Chrome File:" + timer, "- Chrome file parsed:" + timer,
                     "! Cannot read Chrome Profile: " + locked.folder +
                         " (only an encrypted bookmarks file)",
                     "$ Reading Edge File: " + s.BrowserProfiles[2].bookmarksFile,
                     "+ Parsing Edge File:" + timer, "- Edge file parsed:" + timer,
                     "$ Reading Chromium File: " + s.ChromiumAlt,
                     "+ Parsing Chromium File:" + timer, "- Chromium file parsed:" + timer}));
    s.DoEdge = DO_NO;
    s.ChromiumAlt.clear(); // an empty hand-added location is no source
    EXPECT_EQ(run("X").Lines, (Lines{"u1  -  x1", "u2  -  x2"}));
}

#ifdef ZAPTROVE_TEST_PLACES
// A Firefox keyword typed first, any case, gives the first row, its address filled from the rest.
TEST_F(SearchRun, AFirefoxKeywordTypedFirstMakesTheFirstRow) {
    const BrowserProfile firefox = test::firefoxProfile(t, "ff");
    {
        test::PlacesDatabase places(firefox.bookmarksFile);
        using P = test::PlacesDatabase;
        places.keyword(places.add(places.folder(P::kMenu, "Look up"), 1, "Wikipedia",
                                  "https://wiki.example/?search=%s"),
                       "wp");
        places.keyword(places.add(P::kMenu, 1, {}, "https://raw.example/%S/%s", "Raw page"), "raw");
        places.keyword(places.add(P::kMenu, 1, "Post search", "https://post.example/find"), "pd",
                       "q=%s");
        places.add(P::kMenu, 1, "Zwp read first", "https://z.example/");
        places.add(P::kToolbar, 1, "Awp notes", "https://a.example/wp");
    }
    s.BrowserProfiles = {firefox};
    s.DoFirefox = DO_YES, s.Function = FUNC_BOTH, s.Sort = SORT_NAME;
    s.Duplicates = DUPS_REMOVE, s.MergeCopies = MERGE_COPIES_ON;
    const std::pair<std::string, Lines> cases[] = {
        {"WP a b&\u00e9", {"Wikipedia  -  https://wiki.example/?search=a%20b%26%C3%A9"}},
        {"wp",
         {"Wikipedia  -  https://wiki.example/?search=", "Awp notes  -  https://a.example/wp",
          "Zwp read first  -  https://z.example/"}},
        {"  raw  x&y  ", {"Raw page  -  https://raw.example/x&y/x%26y"}},
        {"pd q", {"Post search  -  https://post.example/find"}},
        {"wpx", {}},
    };
    for (const auto& [typed, lines] : cases)
        EXPECT_EQ(run(typed).Lines, lines) << typed;
    const Bookmark wikipedia = run("wp").Results[0];
    EXPECT_FALSE(wikipedia.UnsentPostData);
    // It lives where its bookmark does.
    EXPECT_EQ(std::tuple(wikipedia.Source.profile(), wikipedia.Folder.text()),
              std::tuple("default", "Bookmarks Menu/Look up"));
    // Left where they were read, the rows come by their places in the same order.
    s.Duplicates = DUPS_KEEP, s.MergeCopies = MERGE_COPIES_OFF;
    const SearchOutcome inPlace =
        subSearch(fnSearchRequest("wp", s), DebugLog::silent(), ListLines::OnDemandInPlace);
    ASSERT_EQ(inPlace.Order.size(), inPlace.Results.size());
    Lines listed;
    for (const std::uint32_t place : inPlace.Order)
        listed.push_back(fnListLine(true, inPlace.Results[place]));
    EXPECT_EQ(listed, run("wp").Lines);
}

// Copies of one address spelt differently across sources are one row when merged, the first read.
TEST_F(SearchRun, CopiesOfOneAddressInSeveralSourcesMakeOneRowWhenMerged) {
    s.NetscapeMain = t.write("ns.html", "<DL><DT><H3>News</H3><DL>\n"
                                        "<DT><A HREF=\"HTTPS://Example.com/a/\">Ex ns</A></DL>\n"
                                        "<DT><A HREF=\"https://ns/\">Ns only</A>\n"
                                        "<DT><A HREF=\"https://ns2/\">Ns only</A></DL>\n");
    const BrowserProfile firefox = test::firefoxProfile(t, "ff");
    {
        test::PlacesDatabase places(firefox.bookmarksFile);
        places.add(places.folder(test::PlacesDatabase::kMenu, "Work"), 1, "Ex ff",
                   "https://example.com/a");
        places.add(test::PlacesDatabase::kToolbar, 1, "Ex path case", "https://example.com/A");
    }
    BrowserProfile chromium = test::chromiumProfile(t, Browser::Chromium, "Person 1", "", "");
    t.write("Person 1/Bookmarks",
            R"({"roots": {"bookmark_bar": {"type": "folder", "name": "Bar", "children": [)"
            R"({"type": "url", "name": "Ex bar", "url": "https://EXAMPLE.COM/a"}]},)"
            R"("other": {"type": "folder", "name": "Other", "children": [)"
            R"({"type": "url", "name": "Ex other", "url": "https://example.com/a/"}]}}})");
    s.BrowserProfiles = {firefox, chromium};
    s.DoNetscape = s.DoFirefox = s.DoChromium = DO_YES;
    s.Function = FUNC_BOTH, s.Sort = SORT_NAME;
    s.MergeCopies = MERGE_COPIES_ON;
    const SearchOutcome merged = run("");
    EXPECT_EQ(merged.Lines,
              (Lines{"Ex ns  -  HTTPS://Example.com/a/", "Ex path case  -  https://example.com/A",
                     "Ns only  -  https://ns2/", "Ns only  -  https://ns/"}));
    EXPECT_EQ(fnCopiesList(merged.Results[0]),
              "Copies: 4\n"
              "Netscape Main \u00b7 News\n"
              "Firefox, profile default \u00b7 Bookmarks Menu/Work\n"
              "Chromium, profile Person 1 \u00b7 Bar\n"
              "Chromium, profile Person 1 \u00b7 Other");
    const Lines log = logLines();
    EXPECT_EQ(*(std::ranges::find(log, "$ Candidates:  7") + 1),
              "$ Rows after merging copies of one address:  4");

    // Neighbour duplicate removal follows on the rows, by name here.
    s.Duplicates = DUPS_REMOVE;
    EXPECT_EQ(run("").Lines,
              (Lines{"Ex ns  -  HTTPS://Example.com/a/", "Ex path case  -  https://example.com/A",
                     "Ns only  -  https://ns2/"}));
}
#endif

// Hand-added profiles follow their family; a found one is read unless ProfilesOff names it.
TEST(SearchRequest, HandAddedProfilesFollowTheirFamilyAndEachFoundOneSwitchesOffAlone) {
    Settings s;
    s.BrowserProfiles.resize(3); // two Firefox profiles found, then a Chrome one
    s.BrowserProfiles[0].folder = "/p/ff a", s.BrowserProfiles[1].folder = "/p/ff b";
    s.BrowserProfiles[2].browser = Browser::Chrome, s.BrowserProfiles[2].folder = "/p/Default";
    s.FirefoxAlt = "/p/ff a", s.ChromiumAlt = "Bookmarks";
    s.DoFirefox = s.DoChrome = s.DoFirefoxEx = s.DoChromiumEx = DO_YES;
    const auto read = [&] {
        std::string order;
        for (const BrowserProfile& profile : fnSearchRequest("", s).browsers)
            order += (profile.namedByUser ? std::string(fnBrowserName(profile.browser)) + "+"
                                          : profile.folder) +
                     " ";
        return order;
    };
    EXPECT_EQ(read(), "/p/ff a /p/ff b Firefox+ /p/Default Chromium+ ");
    s.ProfilesOff = "/p/ff a\n/p/Default\n/p/gone";
    EXPECT_EQ(read(), "/p/ff b Firefox+ Chromium+ ");
    s.DoChrome = DO_NO, s.ProfilesOff.clear();
    EXPECT_EQ(read(), "/p/ff a /p/ff b Firefox+ Chromium+ ");
}

// A stored location as its reader takes it, however written; nothing for one that names none.
TEST(Locations, PathIsTheStoredTextWithAFolderSeparatorOrNothing) {
    // clang-format off
    const std::tuple<std::string, bool, std::optional<std::string>> cases[] = {
        {"", true, std::nullopt},        {"", false, std::nullopt},
        {NOT_FOUND, true, std::nullopt}, {NOT_FOUND, false, std::nullopt},
        {"/", true, std::nullopt},       {"\\", true, std::nullopt}, // a whole drive
        {"C:\\Favs", true, "C:\\Favs\\"}, {"C:\\Favs\\", true, "C:\\Favs\\"},
        {"/home/me/Favs", true, "/home/me/Favs\\"},
        {"/home/me/Favs/", true, "/home/me/Favs\\"},
        {"/home/me/b.html", false, "/home/me/b.html"},
        {"b.html ", false, "b.html "}}; // a file path is read as written
    // clang-format on
    for (const auto& [stored, isFolder, path] : cases)
        EXPECT_EQ(fnLocationPath(stored, isFolder), path) << stored;
}
