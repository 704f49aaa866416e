// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "search/results/listed_rows.h"
#include "search/results/result_list.h"
#include "search/run/search_run.h"
#include "search/sources/kept_rows.h"
#include "support/chromium_files.h"
#include "support/file_faults.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include "support/child_process.h"
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>

using namespace zaptrove;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

// Everything a search's outcome tells, each row with every field.
Lines described(const SearchOutcome& outcome) {
    Lines out{"found " + std::to_string(outcome.Found) + " of " +
              std::to_string(outcome.SourcesEnabled)};
    for (const Bookmark& row : outcome.Results) {
        std::string line = row.Name + "|" + row.URL + "|" + row.Folder.text() + "|" +
                           std::string(row.Source.source()) + "|" +
                           std::string(row.Source.profile()) + "|" + row.Source.origin() + "|" +
                           (row.Source.browser() ? row.Source.browser()->bookmarksFile : "") + "|" +
                           std::to_string(row.IsShortcut);
        for (const BookmarkCopy& copy : row.extras.get().otherCopies)
            line += "|" + std::string(copy.Source.source()) + ":" + copy.Folder.text();
        out.push_back(line);
    }
    out.insert(out.end(), outcome.Lines.begin(), outcome.Lines.end());
    for (const auto* list : {&outcome.Unreadable, &outcome.ReadInPart})
        for (const UnreadableSource& source : *list)
            out.push_back(source.Kind + "|" + source.Location + "|" + source.Reason);
    return out;
}

// A search's outcome as the window lists it: each row's record as ListedRows
// makes it, with its line.
Lines listed(const SearchRequest& request, SearchOutcome outcome, const ListedRows& rows) {
    outcome.Results.clear();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        outcome.Results.push_back(*rows.at(k));
        outcome.Lines.push_back(fnListLine(request, *rows.at(k)));
    }
    EXPECT_EQ(rows.at(rows.size()), nullptr);
    return described(outcome);
}

// Sets a file's time of last change far enough back that its rows may be kept.
void changedAgo(const std::string& path, std::chrono::minutes ago) {
    fs::last_write_time(test::utf8Path(path), fs::file_time_type::clock::now() - ago);
}

class KeptRowsSearch : public ::testing::Test {
  protected:
    test::TempFolder t;
    Settings s;
    KeptRows kept;
    bool followFolders = true; // off, as zaptrove-find asks without its folder column
    int leftAsMatched = 0;     // searches whose rows came as KeptMatch
    // The first such, its records not made yet, and how it was listed.
    struct Listing {
        SearchRequest request;
        SearchOutcome outcome;
        ListedRows rows;
        Lines shown;
    };
    std::optional<Listing> listedBefore;

    // A fresh search's outcome, checked against searches through the rows
    // before and once kept, and as the window lists them.
    Lines searched(std::string_view term) {
        SearchRequest fresh = fnSearchRequest(term, s);
        fresh.rules.followFolders = followFolders;
        SearchRequest keeping = fresh;
        keeping.keptRows = &kept;
        const SearchOutcome outcome = subSearch(fresh, DebugLog::silent());
        Lines expected = described(outcome);
        for (int time = 0; time < 2; ++time) {
            const SearchOutcome fromKept = subSearch(keeping, DebugLog::silent());
            EXPECT_EQ(described(fromKept), expected) << "term \"" << term << "\", search " << time;
            EXPECT_TRUE(fromKept.Results == outcome.Results) << "records equal, ranks aside";
            SearchOutcome onDemand = subSearch(keeping, DebugLog::silent(), ListLines::OnDemand);
            const KeptMatch matched = onDemand.KeptResults;
            leftAsMatched += matched.empty() ? 0 : 1;
            const ListedRows rows(std::move(onDemand.Results), std::move(onDemand.KeptResults));
            const Lines shown = listed(keeping, onDemand, rows);
            EXPECT_EQ(shown, expected) << "term \"" << term << "\" listed, search " << time;
            if (!listedBefore && !matched.empty())
                listedBefore = Listing{keeping, onDemand, ListedRows({}, matched), shown};
        }
        return expected;
    }
};

} // namespace

// Real-world files, a cut Chromium one too: kept rows give a fresh reading's, every field.
TEST_F(KeptRowsSearch, RowsKeptGiveWhatAFreshReadingGivesForEveryTermAndSetting) {
    const std::string netscape = test::realworldPath("netscape/firefox-osint-large-icons.html");
    if (netscape.empty())
        GTEST_SKIP() << "the real-world sample folder is absent";
    test::TempFolder unpacked;
    const std::string chromium =
        test::unpackRealworld("browsers/chromium-profile.tar.xz", unpacked)
            ? test::readFile(unpacked / "home/.config/chromium/Default/Bookmarks")
            : "";
    const auto copied = [&](const std::string& name, const std::string& bytes) {
        std::string path = t.write(name, bytes);
        changedAgo(path, std::chrono::minutes(60));
        return path;
    };
    s.NetscapeMain = copied("a.html", test::readFile(netscape));
    s.NetscapeAlt =
        copied("b.htm", test::readFile(test::realworldPath("netscape/netscape4-gtkbookmark.htm")));
    s.OperaMain = copied("c.adr", test::readFile(test::realworldPath("opera/opera-u-cjk.adr")));
    s.OperaAlt =
        copied("d.adr", test::readFile(test::realworldPath("opera/opera1150-win-crlf.adr")));
    for (const std::string folder : {"Default", "Cut"}) {
        if (chromium.empty())
            break;
        s.BrowserProfiles.push_back(test::chromiumProfile(t, Browser::Chrome, folder, "", ""));
        copied(folder + "/Bookmarks",
               folder == "Cut" ? chromium.substr(0, chromium.size() / 2) : chromium);
    }
    s.DoNetscape = s.DoNetscapeEx = s.DoOpera = s.DoOperaEx = s.DoChrome = DO_YES;

    struct Setting {
        std::int16_t function, sort, duplicates, words, accents, merge, folderWords, showWhere;
        const char* leaveOut;
        bool followFolders = true;
    };
    const Setting kSettings[] = {
        {FUNC_NAME, SORT_SEARCHED, DUPS_KEEP, 0, 0, 0, 0, 0, ""},
        {FUNC_URL, SORT_URL, DUPS_REMOVE, 0, 0, 0, 0, SHOW_WHERE_ON, ""},
        {FUNC_BOTH, SORT_NAME, DUPS_KEEP, WORDS_ANY_ORDER, ACCENTS_IGNORE, 0, 0, 0, ""},
        {FUNC_BOTH, SORT_NONE, DUPS_REMOVE, 0, 0, MERGE_COPIES_ON, 0, SHOW_WHERE_ON, ""},
        {FUNC_NAME, SORT_NAME, DUPS_KEEP, WORDS_ANY_ORDER, 0, 0, FOLDER_WORDS_ON, 0, ""},
        {FUNC_BOTH, SORT_SEARCHED, DUPS_KEEP, 0, ACCENTS_IGNORE, MERGE_COPIES_ON, FOLDER_WORDS_ON,
         0, "Bookmarks bar;Tools;OSINT"},
        {FUNC_URL, SORT_NONE, DUPS_KEEP, 0, 0, 0, 0, 0, "other bookmarks;Personal Toolbar Folder"},
        {FUNC_BOTH, SORT_NONE, DUPS_KEEP, 0, 0, 0, 0, 0, "", false},
    };
    const char* const kTerms[] = {"",      "a",         "e",   "http", "com",     "https://www",
                                  "osint", "search ma", "zzq", "é",    "новости", "tool a"};
    std::size_t rows = 0;
    for (const Setting& setting : kSettings) {
        s.Function = setting.function, s.Sort = setting.sort, s.Duplicates = setting.duplicates;
        s.Words = setting.words, s.Accents = setting.accents, s.MergeCopies = setting.merge;
        s.FolderWords = setting.folderWords, s.ShowWhere = setting.showWhere;
        s.LeaveOut = setting.leaveOut, followFolders = setting.followFolders;
        for (const char* term : kTerms)
            rows += searched(term).size();
    }
    EXPECT_GT(rows, 10000u); // the table searches enough to tell
    EXPECT_GT(kept.bytesHeld(), 100000u);
}

TEST_F(KeptRowsSearch, OneFileNamedAsTwoKindsKeepsEachReadersRows) {
    s.NetscapeMain = s.OperaMain =
        t.write("both", "Opera Hotlist version 2.0\n\n#URL\n\tNAME=Two\n\tURL=http://two/\n");
    changedAgo(s.NetscapeMain, std::chrono::minutes(60));
    s.DoNetscape = s.DoOpera = DO_YES;
    EXPECT_EQ(searched("two"),
              (Lines{"found 1 of 2", "Two|http://two/||Opera Main||||0", "Two  -  http://two/"}));
}

TEST_F(KeptRowsSearch, AChangedReplacedOrVanishedFileIsReadAgain) {
    s.NetscapeMain = t / "n.html";
    s.BrowserProfiles = {test::chromiumProfile(t, Browser::Chrome, "P", "", "")};
    s.DoNetscape = s.DoChrome = DO_YES;
    const std::string names[] = {"n.html", "P/Bookmarks"};
    const std::string paths[] = {s.NetscapeMain, s.BrowserProfiles[0].bookmarksFile};
    std::string name; // in both files
    // Writes both files in place or renamed over them, changed minutes ago (none: as written).
    const auto write = [&](std::optional<int> minutes, bool rename) {
        const std::string bytes[] = {"<DT><A HREF=\"http://x\">" + name + "</A>\n",
                                     test::chromiumBookmarks(name, "http://x")};
        for (int i = 0; i < 2; ++i) {
            const std::string path = t.write(rename ? "new" : names[i], bytes[i]);
            if (minutes)
                changedAgo(path, std::chrono::minutes(*minutes));
            if (rename)
                fs::rename(test::utf8Path(path), test::utf8Path(paths[i]));
        }
    };
    // The rows of a search's outcome that show the name last written.
    const auto shown = [&](const Lines& found) {
        return std::ranges::count_if(
            found, [&](const std::string& line) { return line.starts_with(name + "|"); });
    };
    const struct {
        const char* name; // "" removes the files
        std::optional<int> minutes;
        bool rename;
    } kSteps[] = {
        {"news one", 60, false},   {"news two", 50, false}, // the same size, another time
        {"news three", 50, false},                          // another size, the same time
        {"news thrEe", 50, true},                           // replaced: the same size and time
        {"news fours", {}, false},                          // changed just now: not kept...
        {"", {}, false},                                    // gone
        {"news five", 40, false},                           // back
    };
    for (const auto& step : kSteps) {
        name = step.name;
        if (name.empty())
            for (const std::string& path : paths)
                fs::remove(test::utf8Path(path));
        else
            write(step.minutes, step.rename);
        EXPECT_EQ(shown(searched("news")), name.empty() ? 0 : 2) << name;
        if (!step.minutes && !name.empty()) {
            // ...so that a change within the same tick, which leaves size and
            // time as they were, is seen.
            const auto time = fs::last_write_time(test::utf8Path(paths[0]));
            name = "news FOURS";
            write({}, false);
            for (const std::string& path : paths)
                fs::last_write_time(test::utf8Path(path), time);
            EXPECT_EQ(shown(searched("news")), 2);
        }
    }
#ifdef __linux__
    // A reading that fails part-way is not kept: once the file reads, it shows.
    name = "news sixth";
    write(30, false);
    {
        const test::FileFaults failing(paths[0], 10);
        EXPECT_EQ(shown(searched("news")), 1);
    }
    EXPECT_EQ(shown(searched("news")), 2);
    // A file made unreadable, its contents and time unchanged, is not shown.
    EXPECT_TRUE(test::inChild([&] {
        test::honourPermissions();
        fs::permissions(paths[0], fs::perms::none);
        return shown(searched("news")) == 1 && !::testing::Test::HasFailure();
    }));
#endif
}

// One file alone is ordered by the ranks of its kept rows: the order of a fresh
// reading, equal keys (letter case, a name's folder part, ".url") included, for
// each key and after the file changed. The files hold enough rows to be
// matched, and their records made, in two halves at once. Listed as the
// window lists them, their rows are left as matched, and a list keeps its
// rows after the file changed.
TEST_F(KeptRowsSearch, OneFileAloneIsOrderedAsAFreshReadingIs) {
    const char* const kNames[] = {"Apple",      "apple", "dir\\apple",  "APPLE.url",
                                  "Berry",      "berry", "x\\y\\Berry", "cherry",
                                  "Cherry.url", "zeta",  "Zeta"};
    s.NetscapeMain = t / "n.html";
    s.BrowserProfiles = {test::chromiumProfile(t, Browser::Chrome, "P", "", "")};
    constexpr int kRows = 5000;
    const auto write = [&](int seed) {
        std::string netscape;
        std::string chromium;
        for (int i = 0; i < kRows; ++i) {
            const std::string name = kNames[static_cast<std::size_t>(i * seed) % std::size(kNames)];
            const std::string url = (i % 3 ? "http://H" : "http://h") + std::to_string(i % 40);
            netscape += "<DT><A HREF=\"" + url + "\">" + name + "</A>\n";
            std::string escaped; // for JSON
            for (const char c : name)
                escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
            chromium += std::string(i ? "," : "") + R"({"type": "url", "name": ")" + escaped +
                        R"(", "url": ")" + url + "\"}";
        }
        t.write("n.html", netscape);
        t.write("P/Bookmarks",
                R"({"roots": {"other": {"type": "folder", "children": [)" + chromium + "]}}}");
        for (const std::string& path : {s.NetscapeMain, s.BrowserProfiles[0].bookmarksFile})
            changedAgo(path, std::chrono::minutes(60 - seed));
    };
    for (const int seed : {7, 5}) {
        write(seed);
        for (const bool netscape : {true, false}) {
            s.DoNetscape = netscape ? DO_YES : DO_NO;
            s.DoChrome = netscape ? DO_NO : DO_YES;
            for (const std::int16_t sort : {SORT_NAME, SORT_URL, SORT_SEARCHED, SORT_NONE}) {
                s.Sort = sort;
                s.Function = sort == SORT_SEARCHED ? FUNC_URL : FUNC_BOTH;
                EXPECT_EQ(searched("").size(), 2u * kRows + 1);
                searched("e");
            }
        }
    }
    // Every search that finds rows (by address, "e" finds none), twice.
    EXPECT_EQ(leftAsMatched, 2 * 2 * (4 + 3) * 2);
    ASSERT_TRUE(listedBefore);
    const Listing& before = *listedBefore;
    EXPECT_EQ(listed(before.request, before.outcome, before.rows), before.shown)
        << "a list keeps the rows of the file as it was";
}

// A file past 64 MiB (a hole before its entries: cheap to make and to read)
// is kept. A reading damaged, or failing, after many batches of its records
// were made rows answers as a fresh reading does, and is not kept.
TEST_F(KeptRowsSearch, ABigFileIsKeptAndOneReadInPartAnswersAsAFreshReading) {
    s.NetscapeMain = t / "n.html";
    s.BrowserProfiles = {test::chromiumProfile(t, Browser::Chrome, "P", "", "")};
    std::vector<std::pair<std::string, std::string>> bookmarks;
    std::string netscape;
    for (int i = 0; i < 4000; ++i) {
        bookmarks.emplace_back("news " + std::to_string(i), "http://n/" + std::to_string(i % 7));
        netscape +=
            "<DT><A HREF=\"" + bookmarks.back().second + "\">" + bookmarks.back().first + "</A>\n";
    }
    {
        std::ofstream out(test::utf8Path(s.NetscapeMain), std::ios::binary);
        out.seekp(std::streamoff{64} << 20);
        out << netscape;
    }
    changedAgo(s.NetscapeMain, std::chrono::minutes(60));
    s.DoNetscape = DO_YES;
    EXPECT_EQ(searched("news").size(), 2u * 4000 + 1);
    const std::size_t heldForBigFile = kept.bytesHeld();
    EXPECT_GT(heldForBigFile, 0u);

    std::vector<std::pair<std::string_view, std::string_view>> entries(bookmarks.begin(),
                                                                       bookmarks.end());
    const std::string chromium = test::chromiumBookmarks(entries);
    t.write("P/Bookmarks", chromium.substr(0, chromium.size() * 3 / 4));
    changedAgo(s.BrowserProfiles[0].bookmarksFile, std::chrono::minutes(60));
    s.DoNetscape = DO_NO;
    s.DoChrome = DO_YES;
    const Lines damaged = searched("news 1");
    EXPECT_GT(damaged.size(), 1000u);
    EXPECT_NE(damaged.back().find("damaged at byte"), std::string::npos) << damaged.back();
    EXPECT_EQ(kept.bytesHeld(), heldForBigFile);
#ifdef __linux__
    s.DoNetscape = DO_YES;
    s.DoChrome = DO_NO;
    t.write("n.html", netscape);
    changedAgo(s.NetscapeMain, std::chrono::minutes(50));
    const test::FileFaults failing(s.NetscapeMain, 100000);
    EXPECT_EQ(searched("news").size(), 2u);
    EXPECT_EQ(kept.bytesHeld(), 0u);
#endif
}
