// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "search/results/display_name.h"
#include "search/run/search_run.h"
#include "settings/name_lists.h"
#include "support/chromium_files.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zaptrove;
using Lines = std::vector<std::string>;

namespace {

// One bookmark collection of each kind with "Work" and "Private" folders, and root bookmarks.
class FolderSearch : public ::testing::Test {
  protected:
    test::TempFolder t;
    Settings s;

    FolderSearch() {
        const auto shortcut = [&](const std::string& path, const std::string& url) {
            t.write(path, "[InternetShortcut]\r\nURL=" + url + "\r\n");
        };
        shortcut("Fav/Jira root.url", "https://fav/root");
        shortcut("Fav/Work/Jira fav.url", "https://fav/w");
        shortcut("Fav/Private/Deep/Jira fav hidden.url", "https://fav/hidden");
        s.MSIEMain = t.asFolder("Fav");
        s.NetscapeMain =
            t.write("bookmarks.html", "<DL><p>\n<DT><H3>Work</H3>\n<DL><p>\n"
                                      "<DT><A HREF=\"https://ns/wiki\">Jira wiki</A>\n"
                                      "<DT><H3>private</H3>\n<DL><p>\n"
                                      "<DT><A HREF=\"https://ns/tax\">Jira tax</A>\n"
                                      "</DL><p>\n</DL><p>\n"
                                      "<DT><A HREF=\"https://ns/top\">Jira top</A>\n"
                                      "<DT><H3>TOOLS/CAF\u00c9</H3>\n<DL><p>\n"
                                      "<DT><A HREF=\"https://ns/tips\">Tips \\ tricks</A>\n"
                                      "</DL><p>\n"
                                      "</DL><p>\n");
        s.OperaMain = t.write("opera.adr", "Opera Hotlist version 2.0\n\n#FOLDER\n\tNAME=Work\n\n"
                                           "#URL\n\tNAME=Jira opera\n\tURL=https://op/w\n\n-\n\n"
                                           "#URL\n\tNAME=Jira opera top\n\tURL=https://op/top\n");
        s.BrowserProfiles = {test::chromiumProfile(t, Browser::Chrome, "chrome", "", "")};
        t.write("chrome/Bookmarks",
                R"({"roots": {"bookmark_bar": {"type": "folder", "name": "Bar", "children": [
                 {"type": "folder", "children": [
                   {"type": "url", "name": "Jira board", "url": "https://cr/board"},
                   {"type": "folder", "name": "PRIVATE", "children": [
                     {"type": "folder", "name": "Sub", "children": [
                       {"type": "url", "name": "Secret jira", "url": "https://cr/secret"}]}]}],
                  "name": "Work"},
                 {"type": "url", "name": "Private jira notes", "url": "https://cr/notes"}]}}})");
        s.DoMSIE = s.DoNetscape = s.DoOpera = s.DoChrome = DO_YES;
        s.Function = FUNC_NAME, s.Sort = SORT_NONE, s.Words = WORDS_ANY_ORDER;
    }

    // What a search finds, as "name|folder", sorted.
    Lines found(std::string_view term) {
        Lines lines;
        for (const Bookmark& record :
             subSearch(fnSearchRequest(term, s), DebugLog::silent()).Results)
            lines.push_back(std::string(fnShownName(record)) + "|" + record.Folder.text());
        std::ranges::sort(lines);
        return lines;
    }
};

} // namespace

TEST_F(FolderSearch, FolderNamesAreSearchedOnlyWhileSwitchedOnAndByNameOrBoth) {
    EXPECT_EQ(found("work jira"), Lines{});
    s.FolderWords = FOLDER_WORDS_ON;
    const Lines inWork = {"Jira board|Bar/Work", "Jira fav|Work",
                          "Jira opera|Work",     "Jira tax|Work/private",
                          "Jira wiki|Work",      "Secret jira|Bar/Work/PRIVATE/Sub"};
    EXPECT_EQ(found("work jira"), inWork);
    EXPECT_EQ(found("JIRA WORK"), inWork);
    EXPECT_EQ(found("sub secret bar"), Lines{"Secret jira|Bar/Work/PRIVATE/Sub"});
    // the path is searched as shown, "/" between its folders' names
    EXPECT_EQ(found("work/private"),
              (Lines{"Jira tax|Work/private", "Secret jira|Bar/Work/PRIVATE/Sub"}));
    // a name is searched whole, as its reader compared it, though the list
    // shows what follows its last "\"
    EXPECT_EQ(found("tools tips"), Lines{" tricks|TOOLS/CAF\u00c9"});
    // never across the name and the folders
    s.Words = WORDS_TOGETHER;
    EXPECT_EQ(found("work jira"), Lines{});
    EXPECT_EQ(found("ork"), inWork);
    s.Words = WORDS_ANY_ORDER, s.Function = FUNC_BOTH;
    EXPECT_EQ(found("work ns/"), (Lines{"Jira tax|Work/private", "Jira wiki|Work"}));
    s.Function = FUNC_URL; // addresses alone: the folders play no part
    EXPECT_EQ(found("work"), Lines{});
    EXPECT_EQ(found("fav/w"), Lines{"Jira fav|Work"});
}

TEST_F(FolderSearch, AFolderLeftOutTakesEveryFolderInsideItWhateverItsLetterCase) {
    const Lines all = found("jira");
    ASSERT_EQ(all.size(), 11u);
    s.LeaveOut = " private ;Old";
    EXPECT_EQ(found("jira"),
              (Lines{"Jira board|Bar/Work", "Jira fav|Work", "Jira opera top|", "Jira opera|Work",
                     "Jira root|", "Jira top|", "Jira wiki|Work", "Private jira notes|Bar"}));
    // a name is compared whole, never a part of it or of a path, though it holds "/"
    s.LeaveOut = "Priv; Work/private;Bar/Work; caf\u00e9";
    EXPECT_EQ(found("jira"), all);
    EXPECT_EQ(found("tricks").size(), 1u);
    s.LeaveOut = "tools/caf\u00e9";
    EXPECT_EQ(found("tricks"), Lines{});
    // a folder left out hides its bookmarks from folder words too
    s.LeaveOut = "PRIVATE", s.FolderWords = FOLDER_WORDS_ON;
    EXPECT_EQ(found("private"), Lines{"Private jira notes|Bar"});
    s.LeaveOut = "work;bar";
    EXPECT_EQ(found("jira"), (Lines{"Jira fav hidden|Private/Deep", "Jira opera top|", "Jira root|",
                                    "Jira top|"}));
}

TEST(NameLists, SplitAtTheSeparatorWithoutBlanksOrEmptyNames) {
    EXPECT_EQ(fnSplitNames(" Private ;; Old stuff;\t", ';'), (Lines{"Private", "Old stuff"}));
    EXPECT_EQ(fnSplitNames("/a b/c\n\n/d;e\r\n", '\n'), (Lines{"/a b/c", "/d;e"}));
    EXPECT_EQ(fnJoinNames({"Private", "Old"}, ';'), "Private; Old");
    EXPECT_EQ(fnJoinNames({"/a", "/b"}, '\n'), "/a\n/b");
}
