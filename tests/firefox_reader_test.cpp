// SPDX-License-Identifier: MIT
#include "cli/find_command.h"
#include "debug_log/debug_log.h"
#include "platform/files.h"
#include "search/matching/matcher.h"
#include "search/results/whereabouts.h"
#include "search/run/search_run.h"
#include "search/sources/firefox_reader.h"
#include "search/sources/places_snapshot.h"
#include "search/sources/places_text_heads.h"
#include "support/bookmark_lists.h"
#include "support/places_database.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using namespace zaptrove;
using test::List;
using test::PlacesDatabase;
using test::utf8Path;

namespace {

// The bookmarks read at path, and how the reading went.
std::pair<std::vector<Bookmark>, SourceReading> readFound(const std::string& path,
                                                          std::string_view term = "",
                                                          SearchMode mode = SearchMode::Both,
                                                          MatchRules rules = {}) {
    const Matcher matcher(term, mode, rules);
    std::vector<Bookmark> found;
    const SourceReading reading = fnReadFirefoxPlaces(path, matcher, found);
    return {std::move(found), reading};
}

// The same with the bookmarks as "name|address".
std::pair<List, SourceReading> read(const std::string& path, std::string_view term = "",
                                    SearchMode mode = SearchMode::Both) {
    auto [found, reading] = readFound(path, term, mode);
    return {test::listOf(found), reading};
}

// Every entry below a folder, with the bytes of each file.
std::map<std::string, std::string> filesOf(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(utf8Path(folder)))
        files[entry.path().string()] =
            entry.is_regular_file() ? test::readFile(entry.path().string()) : "";
    return files;
}

// A profile with folders, tags, separators, untitled bookmarks, queries; ids and positions mixed.
// lastly, SQL run on it once it is made.
std::string makeProfile(const test::TempFolder& tmp, const std::string& folder = "profile",
                        const std::string& lastly = {}) {
    std::string profile = tmp.makeFolder(folder);
    PlacesDatabase places(profile + "/places.sqlite");
    places.add(PlacesDatabase::kToolbar, 1, "Toolbar one", "https://t1.example/");
    const auto work = places.folder(PlacesDatabase::kMenu, "Work");
    places.add(PlacesDatabase::kMenu, 1, "Menu after folder", "https://m2.example/");
    places.add(work, 1, "Caf\u00e9 deep", "https://deep.example/");
    places.add(work, 3, {});
    places.add(work, 1, {}, "https://page-title.example/", "Page title");
    places.add(work, 1, "", "https://empty-title.example/", "Page of empty");
    places.add(work, 1, {}, "https://no-title.example/");
    places.add(PlacesDatabase::kUnfiled, 1, "Recent tags", "place:type=6&sort=14");
    const auto tag = places.folder(PlacesDatabase::kTags, "tagged");
    places.add(tag, 1, {}, "https://t1.example/");
    places.exec("UPDATE moz_bookmarks SET position = 1 - position WHERE parent = 2");
    if (!lastly.empty())
        places.exec(lastly);
    places.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    return profile;
}

// A temporary folder with an empty Firefox profile "profile" in it.
class FirefoxRead : public testing::Test {
  protected:
    const test::TempFolder tmp;
    const BrowserProfile firefox = test::firefoxProfile(tmp, "profile");
    const std::string& profile = firefox.folder;
    const std::string& database = firefox.bookmarksFile;
};

const List kProfileBookmarks = {"Menu after folder|https://m2.example/",
                                "Caf\u00e9 deep|https://deep.example/",
                                "Page title|https://page-title.example/",
                                "Page of empty|https://empty-title.example/",
                                "|https://no-title.example/",
                                "Toolbar one|https://t1.example/"};

} // namespace

TEST_F(FirefoxRead, WalksTheTreeLeavingOutTagsAndQueries) {
    makeProfile(tmp);
    const auto before = filesOf(profile);
    const auto [all, reading] = read(profile);
    EXPECT_EQ(all, kProfileBookmarks);
    EXPECT_TRUE(reading.BookmarkCount == 6 && reading.readWhole());
    const auto [cafe, cafeReading] = read(database, "caf\u00e9", SearchMode::Name);
    EXPECT_EQ(cafe, List{"Caf\u00e9 deep|https://deep.example/"});
    EXPECT_EQ(cafeReading.BookmarkCount, 6u); // those that do not match are counted too
    EXPECT_EQ(read(profile, "no-title", SearchMode::Url).first, List{"|https://no-title.example/"});
    // An untitled bookmark is matched by its page's title, or counted.
    const std::tuple<const char*, SearchMode, List> untitled[] = {
        {"page",
         SearchMode::Name,
         {"Page title|https://page-title.example/", "Page of empty|https://empty-title.example/"}},
        {"of empty", SearchMode::Both, {"Page of empty|https://empty-title.example/"}},
        {"empty-title", SearchMode::Name, {}}};
    for (const auto& [term, mode, found] : untitled)
        EXPECT_EQ(read(profile, term, mode).first, found) << term;
    EXPECT_EQ(read(profile, "tag").first, List{});
    // Read with no log waiting: nothing in the profile is made or changed.
    EXPECT_EQ(filesOf(profile), before);
    // Bytes an SQLite address reads as syntax, and on Linux a "\" ("?" cannot be a Windows name).
#ifdef _WIN32
    const char* const folders[] = {"a%41", "#1"};
#else
    const char* const folders[] = {"a%41", "what?", "#1", "ab12.my\\prof"};
#endif
    for (const char* folder : folders)
        EXPECT_EQ(read(makeProfile(tmp, folder)).first, kProfileBookmarks) << folder;
    // Rowids far apart split the table in halves read at once: the roots, the toolbar's
    // bookmark and "Caf\u00e9 deep" in one, the folder "Work" with its other entries and the
    // tags in the other; both hold bookmarks of "Work" that do not match "page".
    const std::string spread =
        makeProfile(tmp, "spread",
                    "UPDATE moz_bookmarks SET id = id + 50000 WHERE id > 7; "
                    "UPDATE moz_bookmarks SET parent = parent + 50000 WHERE parent > 7; "
                    "UPDATE moz_bookmarks SET id = 100 WHERE title = 'Caf\u00e9 deep'");
    EXPECT_EQ(test::foldersOf(readFound(spread).first),
              (List{"Bookmarks Menu|Menu after folder", "Bookmarks Menu/Work|Caf\u00e9 deep",
                    "Bookmarks Menu/Work|Page title", "Bookmarks Menu/Work|Page of empty",
                    "Bookmarks Menu/Work|", "Bookmarks Toolbar|Toolbar one"}));
    EXPECT_EQ(read(spread, "page", SearchMode::Name).second.BookmarkCount, 6u);
    // Over a thousand matches in each half, alternating between them and read in the reverse
    // of the tree's order.
    const std::string many = tmp.makeFolder("many");
    List reversed;
    {
        PlacesDatabase manyPlaces(many + "/places.sqlite");
        manyPlaces.exec("BEGIN");
        for (int k = 0; k < 2100; ++k) {
            std::string name = "b";
            name += std::to_string(k);
            manyPlaces.add(PlacesDatabase::kMenu, 1, name, "https://" + name + ".example/");
            reversed.insert(reversed.begin(), name + "|https://" + name + ".example/");
        }
        manyPlaces.exec("UPDATE moz_bookmarks SET position = 2099 - position, id = id + 50000 * "
                        "(id % 2) WHERE parent = 2; COMMIT; PRAGMA wal_checkpoint(TRUNCATE)");
    }
    EXPECT_EQ(read(many, "b").first, reversed);
    // A damaged tree: the matches in a loop of folders or under a lost parent, read between
    // the others, are left out; the records read before stay first.
    const std::string damaged = tmp.makeFolder("damaged");
    PlacesDatabase places(damaged + "/places.sqlite");
    places.add(PlacesDatabase::kToolbar, 1, "x one", "https://1.example/");
    const auto loop = places.folder(PlacesDatabase::kMenu, "loop");
    places.add(loop, 1, "x in loop", "https://2.example/");
    places.add(places.folder(loop, "inner"), 1, "x deeper", "https://3.example/");
    places.exec("UPDATE moz_bookmarks SET parent = " + std::to_string(loop + 1) +
                " WHERE id = " + std::to_string(loop));
    const auto lost = places.folder(PlacesDatabase::kMenu, "lost");
    places.add(lost, 1, "x lost", "https://4.example/");
    places.exec("UPDATE moz_bookmarks SET parent = 9999 WHERE id = " + std::to_string(lost));
    places.add(PlacesDatabase::kMenu, 1, "x two", "https://5.example/");
    places.add(PlacesDatabase::kToolbar, 1, "x three", "https://6.example/");
    places.add(PlacesDatabase::kToolbar, 1, "y", "https://7.example/");
    // A second entry with the toolbar's id: what the toolbar holds is counted once.
    places.exec("CREATE TABLE b AS SELECT * FROM moz_bookmarks; DROP TABLE moz_bookmarks; "
                "ALTER TABLE b RENAME TO moz_bookmarks; INSERT INTO moz_bookmarks (id, type, "
                "parent, position, title) VALUES (3, 2, 1, 9, 'toolbar again')");
    places.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    std::vector<Bookmark> found{{"before", "https://0.example/"}};
    EXPECT_EQ(fnReadFirefoxPlaces(damaged, Matcher("x", SearchMode::Name), found).BookmarkCount,
              4u);
    EXPECT_EQ(test::listOf(found),
              (List{"before|https://0.example/", "x two|https://5.example/",
                    "x one|https://1.example/", "x three|https://6.example/"}));
}

// Firefox's own folders go by their shown names; folder words, however deep.
TEST_F(FirefoxRead, KnowsTheFolderPathOfEveryBookmarkAndSearchesIt) {
    {
        PlacesDatabase places(database);
        const auto work = places.folder(PlacesDatabase::kMenu, "Work");
        places.add(places.folder(places.folder(work, "CAF\u00c9 / bar"), "Deep"), 1, "Jira deep",
                   "https://d.example/");
        places.add(work, 1, "Jira board", "https://j.example/");
        places.add(PlacesDatabase::kToolbar, 1, "Jira top", "https://t.example/");
        places.add(places.add(PlacesDatabase::kUnfiled, 2, {}), 1, "Untitled",
                   "https://u.example/");
    }
    const auto folders = [&](std::string_view term) {
        return test::foldersOf(readFound(profile, term).first);
    };
    const std::string deep = "Bookmarks Menu/Work/CAF\u00c9 / bar/Deep|Jira deep",
                      board = "Bookmarks Menu/Work|Jira board", top = "Bookmarks Toolbar|Jira top";
    EXPECT_EQ(folders(""), (List{deep, board, top, "Other Bookmarks/|Untitled"}));
    EXPECT_EQ(folders("deep"), List{deep});
    // Searching folder names, the reader keeps only what matches with its path.
    EXPECT_EQ(test::foldersOf(readFound(profile, "work jira", SearchMode::Name,
                                        {.anyWordOrder = true, .folderWords = true})
                                  .first),
              (List{deep, board}));
}

// A tag's name finds the bookmarks it tags when names are searched, and each carries its tags.
TEST_F(FirefoxRead, FindsBookmarksByTheirTags) {
    {
        PlacesDatabase places(database);
        places.add(PlacesDatabase::kMenu, 1, "Jira board", "https://j.example/");
        places.add(PlacesDatabase::kToolbar, 1, "News", "https://n.example/");
        for (const auto& [tag, place] : {std::pair("work", 1), {"tracker", 1}, {"daily", 2}})
            places.exec("INSERT INTO moz_bookmarks (type, fk, parent, title) VALUES (1, " +
                        std::to_string(place) + ", " +
                        std::to_string(places.folder(PlacesDatabase::kTags, tag)) + ", NULL)");
    }
    // The term, its mode, words in any order, and what is found as "name|tags".
    const std::tuple<std::string_view, SearchMode, bool, List> cases[] = {
        {"work", SearchMode::Name, false, {"Jira board|Tags: tracker, work"}},
        {"DAILY", SearchMode::Both, false, {"News|Tags: daily"}},
        {"daily", SearchMode::Url, false, {}},
        {"track jira", SearchMode::Name, true, {"Jira board|Tags: tracker, work"}},
        {"board tracker", SearchMode::Name, false, {}}, // the name and a tag are not one text
        {"", SearchMode::Name, false, {"Jira board|Tags: tracker, work", "News|Tags: daily"}},
    };
    for (const auto& [term, mode, anyWordOrder, expected] : cases) {
        const auto [found, reading] =
            readFound(profile, term, mode, {.anyWordOrder = anyWordOrder});
        List got;
        for (const Bookmark& b : found)
            got.push_back(b.Name + "|" + fnTagsLine(b));
        EXPECT_EQ(got, expected) << term;
        EXPECT_EQ(reading.BookmarkCount, 2u) << term; // the tags' own entries are no bookmarks
    }
    // With folder names searched too, the screen after the reader sees the tags.
    Settings s;
    s.BrowserProfiles = {firefox};
    s.DoFirefox = DO_YES, s.Words = WORDS_ANY_ORDER, s.FolderWords = FOLDER_WORDS_ON;
    EXPECT_EQ(
        test::foldersOf(subSearch(fnSearchRequest("menu tracker", s), DebugLog::silent()).Results),
        List{"Bookmarks Menu|Jira board"});
}

// A value too long to matter is never loaded whole: titles are cut, too-long addresses left out.
TEST_F(FirefoxRead, AHugeTitleIsReadOnlyAsFarAsItCanMatch) {
    std::string huge = "x";
    for (int i = 0; i < 4 << 20; ++i) { // 8 MiB of two-byte characters
        huge += "\u00e9";
    }
    {
        PlacesDatabase places(database);
        places.add(PlacesDatabase::kMenu, 1, "Before", "https://b.example/");
        places.add(places.folder(PlacesDatabase::kMenu, huge), 1, huge, "https://h.example/");
        places.add(PlacesDatabase::kMenu, 1, "Long address", "https://a.example/" + huge);
        places.exec("INSERT INTO moz_bookmarks (type, fk, parent) VALUES (1, 1, " +
                    std::to_string(places.folder(PlacesDatabase::kTags, huge)) + ")");
        places.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    sqlite3_memory_highwater(1);
    const auto [found, reading] = readFound(profile, "", SearchMode::Name);
    EXPECT_LT(sqlite3_memory_highwater(0), 8 << 20);
    ASSERT_EQ(found.size(), 2u) << reading.Problem;
    const std::string cut = huge.substr(0, kMaxPlacesTextBytes - 1);
    EXPECT_EQ(std::tuple(found[0].Name, *found[0].extras.get().tags),
              std::tuple("Before", std::vector{huge.substr(0, 1023)})); // as a folder name is cut
    EXPECT_EQ(found[1].Name, cut);
    EXPECT_EQ(reading.Problem, "4 titles or addresses cut at 2 MiB"); // the tag and folder too
    EXPECT_EQ(read(profile, "x\u00e9\u00e9", SearchMode::Name).first.size(), 2u); // by tag, by name
}

// A title too long to load, met after short tags were read, still leaves the profile read in part.
TEST_F(FirefoxRead, AHugeTitleAfterShortTagsIsReadInPart) {
    const std::string huge(3 << 20, 'x');
    {
        PlacesDatabase places(database);
        places.add(PlacesDatabase::kMenu, 1, "Tagged", "https://t.example/");
        places.exec("INSERT INTO moz_bookmarks (type, fk, parent) VALUES (1, 1, " +
                    std::to_string(places.folder(PlacesDatabase::kTags, "short")) + ")");
        places.add(PlacesDatabase::kMenu, 1, huge, "https://h.example/");
        places.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    const auto [found, reading] = readFound(profile, "", SearchMode::Name);
    ASSERT_EQ(found.size(), 2u) << reading.Problem;
    EXPECT_EQ(*found[0].extras.get().tags, std::vector<std::string>{"short"});
    EXPECT_EQ(found[1].Name, huge.substr(0, kMaxPlacesTextBytes));
    EXPECT_EQ(reading.Problem, "1 title or address cut at 2 MiB");
}

// A table defined as an endlessly recursive view would hang every search: only tables are read.
TEST_F(FirefoxRead, TellsWhyADatabaseCannotBeReadAndReadsNoViewNorComputedTitle) {
    const std::string rootless = tmp.makeFolder("rootless");
    PlacesDatabase(rootless + "/places.sqlite").exec("DELETE FROM moz_bookmarks WHERE id = 1");
    std::vector<std::pair<std::string, std::string>> cases = {
        {tmp / "missing", "not found"},
        {tmp.write("empty/places.sqlite", ""), "holds no bookmark tree"},
        {tmp.write("text/places.sqlite", std::string(5000, 'x')), "file is not a database"},
        {rootless, "holds no bookmark tree"},
    };
    const std::string endless =
        "WITH RECURSIVE n(id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM n) ";
    for (const auto& [table, rows] :
         {std::pair<std::string, std::string>{"moz_bookmarks",
                                              "SELECT id, 2 AS type, NULL AS fk, id - 1 AS parent, "
                                              "0 AS position, '' AS title, 'root________' AS guid "
                                              "FROM n"},
          {"moz_places", "SELECT id, 'https://x/' AS url, '' AS "
                         "title FROM n"}}) {
        PlacesDatabase places(tmp.makeFolder(table) + "/places.sqlite");
        places.add(PlacesDatabase::kMenu, 1, "Kept", "https://kept.example/");
        places.exec("DROP TABLE " + table + "; CREATE VIEW " + table + " AS " + endless + rows);
        places.exec("PRAGMA wal_checkpoint(TRUNCATE)");
        cases.emplace_back(tmp / table, "holds no bookmark tree");
    }
    // A page title computed for each row, or shared by every row that lacks it, is no Firefox
    // table either: either would let a small file give each of its bookmarks a long name.
    for (const std::string column : {"AS (printf('%.*c', 1000, 'x'))", "DEFAULT 'shared'"}) {
        PlacesDatabase places(tmp.makeFolder(column.substr(0, 2)) + "/places.sqlite");
        places.add(PlacesDatabase::kMenu, 1, "", "https://kept.example/");
        places.exec("CREATE TABLE p AS SELECT id, url, frecency FROM moz_places; DROP TABLE "
                    "moz_places; CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, "
                    "frecency INTEGER); INSERT INTO moz_places SELECT * FROM p; ALTER TABLE "
                    "moz_places ADD COLUMN title TEXT " +
                    column);
        places.exec("PRAGMA wal_checkpoint(TRUNCATE)");
        cases.emplace_back(tmp / column.substr(0, 2), "holds no bookmark tree");
    }
    for (const auto& [path, problem] : cases) {
        const auto [found, reading] = read(path);
        EXPECT_EQ(std::pair(found, reading.Problem), std::pair(List{}, problem)) << path;
    }
}

// SQLite's messages quote the file's schema: zaptrove-find prints them without terminal escapes.
TEST_F(FirefoxRead, AMessageQuotingTheSchemaReachesNoTerminalEscape) {
    {
        PlacesDatabase places(database);
        places.exec("PRAGMA writable_schema = ON; INSERT INTO sqlite_schema VALUES "
                    "('view', '\x1b]0;PWNED\x07', '\x1b]0;PWNED\x07', 0, 'CREATE VIEW x AS')");
        places.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--firefox", profile, "x"},
          {"--firefox", profile, "--list-sources"}}) {
        std::ostringstream out, err;
        fnRunFind(args, out, err);
        const std::string printed = out.str() + err.str();
        EXPECT_NE(printed.find("malformed database schema (\xEF\xBF\xBD]0;PWNED"),
                  std::string::npos)
            << printed;
        EXPECT_EQ(printed.find('\x1b'), std::string::npos) << printed;
    }
}

// A browser holding the database locked, its latest bookmark in the log: seen, nothing changed.
TEST_F(FirefoxRead, SeesWhatALockingBrowserKeepsInItsLog) {
    makeProfile(tmp);
    const test::HeldDatabase holder(database);
    ASSERT_TRUE(holder.held());
    const auto before = filesOf(profile);
    ASSERT_GT(before.at(fs::path(utf8Path(tmp / "profile/places.sqlite-wal")).string()).size(), 0u);
    const auto [held, reading] = read(profile, "held");
    EXPECT_EQ(held, List{"Held in the log|https://held.example/"});
    EXPECT_EQ(reading.BookmarkCount, 7u);
    EXPECT_EQ(filesOf(profile), before);
}

// A database changed while read (a checkpoint grows it) is read again, the stale try taken back.
TEST_F(FirefoxRead, ReadsAgainWhenTheBrowserChangedTheDatabaseMeanwhile) {
    PlacesDatabase browser(database);
    browser.exec("PRAGMA wal_autocheckpoint = 0");
    browser.add(PlacesDatabase::kMenu, 1, "In the log", "https://log.example/");
    const Bookmark kept{"Found before", "https://before.example/"};
    std::vector<Bookmark> found{kept};
    std::vector<std::string> copies; // the log each try read
    const auto readOnce = [&](bool withLog) {
        copies.push_back(withLog ? test::readFile(database + "-wal") : "");
        found.push_back({"Try " + std::to_string(copies.size()), ""});
        if (copies.size() == 1) {
            browser.add(PlacesDatabase::kMenu, 1, std::string(50000, 'x'), "https://big.example/");
            browser.exec("PRAGMA wal_checkpoint(TRUNCATE)");
        }
        return SourceReading{copies.size(), {}};
    };
    const std::string log = test::readFile(database + "-wal");
    SourceReading reading = fnReadUnchangedPlaces(database, found, readOnce);
    EXPECT_EQ(reading.BookmarkCount, 2u);
    EXPECT_EQ(copies, (std::vector<std::string>{log, ""})); // the log was emptied meanwhile
    EXPECT_EQ(found, (std::vector<Bookmark>{kept, {"Try 2", ""}}));

    found = {kept};
    copies.clear();
    auto changed = fs::last_write_time(utf8Path(database));
    reading = fnReadUnchangedPlaces(database, found, [&](bool withLog) {
        fs::last_write_time(utf8Path(database), changed += std::chrono::seconds(1));
        return readOnce(withLog);
    });
    EXPECT_EQ(reading.Problem, "kept changing while it was read");
    EXPECT_EQ(copies.size(), 4u);
    EXPECT_EQ(found, std::vector<Bookmark>{kept});
}

// A keyword's bookmark found by a try discarded for a change meanwhile is not kept either.
TEST_F(FirefoxRead, AKeywordComesOnlyFromTheReadingKept) {
    {
        PlacesDatabase places(database);
        places.keyword(places.add(PlacesDatabase::kMenu, 1, "Wiki", "https://w.example/%s"), "wp");
        // Enough bookmarks that every try lasts over many writes.
        places.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                    "10000) INSERT INTO moz_bookmarks (type, fk, parent, position, title) "
                    "SELECT 1, 1, 5, i, 'copy' FROM n");
    }
    std::atomic<int> writes{0};
    std::atomic<bool> reading{true};
    std::thread browser([&] { // writes on and on
        for (auto changed = fs::last_write_time(utf8Path(database)); reading; ++writes)
            fs::last_write_time(utf8Path(database), changed += std::chrono::seconds(1));
    });
    while (writes == 0)
        std::this_thread::yield();
    const Matcher matcher("", SearchMode::Both);
    std::vector<Bookmark> found;
    KeywordLookup keyword{"wp"};
    const SourceReading read = fnReadFirefoxPlaces(database, matcher, found, &keyword);
    reading = false;
    browser.join();
    // Every try should see a write; one that saw none (a busy machine) is kept, with its keyword.
    EXPECT_EQ(keyword.found.has_value(), read.Problem.empty()) << read.Problem;
}

// The log is read in place (no temporary copy, a link's target's); one too large is left out.
TEST_F(FirefoxRead, ReadsTheLogInPlaceAndLeavesOutOneTooLarge) {
    PlacesDatabase browser(database);
    browser.add(PlacesDatabase::kMenu, 1, "In the database", "https://db.example/");
    browser.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    const std::string large = tmp.makeFolder("large");
    fs::copy_file(utf8Path(database), utf8Path(large + "/places.sqlite"));
    browser.exec("PRAGMA wal_autocheckpoint = 0");
    browser.add(PlacesDatabase::kMenu, 1, "Only in the log", "https://log.example/");
    const auto [inLog, reading] = [&] {
#ifndef _WIN32
        const test::ScopedEnvironment noTemporaryFolder{{"TMPDIR", tmp / "no such folder"}};
#endif
        return read(profile, "only in");
    }();
    EXPECT_EQ(inLog, List{"Only in the log|https://log.example/"});
    EXPECT_TRUE(reading.readWhole()) << reading.Problem;
#ifndef _WIN32
    fs::create_symlink(database, tmp.makeFolder("linked") + "/places.sqlite");
    EXPECT_EQ(read(tmp / "linked", "only in").first, inLog);
#endif

    tmp.write("large/places.sqlite-wal", "");
    fs::resize_file(utf8Path(large + "/places.sqlite-wal"), kMaxPlacesLogBytes + 1); // sparse
    const auto [withoutLog, left] = read(large);
    EXPECT_EQ(withoutLog, List{"In the database|https://db.example/"});
    EXPECT_EQ(left.Problem,
              "its write-ahead log (129 MiB) is over the 128 MiB read and was left out");
}

TEST_F(FirefoxRead, RealProfileAndLiveSnapshot) {
    if (!test::unpackRealworld("browsers/firefox-esr-profile.tar.xz", tmp))
        GTEST_SKIP() << "no real-world sample profile";
    const std::string esr = tmp / "home/.config/mozilla/firefox/ec5376ix.default-esr";
    const auto before = filesOf(esr);
    const auto [all, reading] = read(esr);
    EXPECT_EQ(reading.BookmarkCount, 8u) << reading.Problem;
    EXPECT_EQ(all.front(), "Zt Caf\u00e9 \u00dcber|https://cafe.zt.example/");
    EXPECT_EQ(read(esr, "zt").first,
              (List{"Zt Caf\u00e9 \u00dcber|https://cafe.zt.example/",
                    "Zt \u65e5\u672c\u8a9e \u30cb\u30e5\u30fc\u30b9|https://jp.zt.example/",
                    "Zt Deep Folder Item|https://deep.zt.example/a?b=1&c=2",
                    "Zt Alpha News|https://alpha.zt.example/news"}));
    EXPECT_EQ(filesOf(esr), before);
    EXPECT_EQ(read(tmp / "extras/live-wal-snapshot", "wal only").first,
              List{"Zt WAL Only Item|https://wal.zt.example/live"});
}
