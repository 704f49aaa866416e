// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "platform/files.h"
#include "search/run/search_run.h"
#include "search/sources/chromium_history.h"
#include "search/sources/launch_record.h"
#include "support/chromium_files.h"
#include "support/fake_clock.h"
#include "support/places_database.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <map>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace zaptrove;

namespace {

constexpr std::int64_t kNow = 1'800'000'000;
constexpr std::int64_t kDay = std::int64_t{24} * 60 * 60;

using Weights = std::map<std::string, double>;

Weights weightsAt(const std::string& record, std::int64_t now = kNow) {
    const auto weights = fnLaunchWeights(record, now);
    return Weights(weights.begin(), weights.end());
}

std::string line(std::int64_t seconds, const std::string& rest) {
    return std::to_string(seconds) + "\t" + rest + "\n";
}

// A Chromium-family History database (WAL mode, urls table and index) with the SQL run in it.
void makeHistory(const std::string& path, const std::string& sql) {
    sqlite3* database = nullptr;
    sqlite3_open(path.c_str(), &database);
    const std::string schema =
        "PRAGMA journal_mode = WAL;"
        "CREATE TABLE urls (id INTEGER PRIMARY KEY AUTOINCREMENT, url LONGVARCHAR, "
        "title LONGVARCHAR, visit_count INTEGER DEFAULT 0 NOT NULL, typed_count INTEGER "
        "DEFAULT 0 NOT NULL, last_visit_time INTEGER NOT NULL, hidden INTEGER DEFAULT 0 NOT "
        "NULL);"
        "CREATE INDEX urls_url_index ON urls (url);";
    EXPECT_EQ(sqlite3_exec(database, (schema + sql).c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(database);
}

// A visit of url, count times, the last at the given time, as History holds it.
std::string visit(const std::string& url, int count, std::int64_t at) {
    constexpr std::int64_t kSecondsFrom1601 = 11'644'473'600;
    return "INSERT INTO urls (url, visit_count, last_visit_time) VALUES ('" + url + "', " +
           std::to_string(count) + ", " + std::to_string((at + kSecondsFrom1601) * 1'000'000) +
           ");";
}

// A Chromium profile "cr" below t holding the (name, address) bookmarks.
BrowserProfile chromiumOf(const test::TempFolder& t,
                          const std::vector<std::pair<std::string_view, std::string_view>>& marks) {
    BrowserProfile chromium = test::chromiumProfile(t, Browser::Chromium, "cr", "", "");
    t.write("cr/Bookmarks", test::chromiumBookmarks(marks));
    return chromium;
}

} // namespace

// Each sound line weighs its address, halved every thirty days; anything else is skipped alone.
TEST(LaunchRecord, WeighsSoundLinesByAgeAndSkipsTheRest) {
    const test::TempFolder t;
    const struct {
        const char* what;
        std::string bytes;
        Weights weights;
    } cases[] = {
        {"a half-life ago counts half",
         line(kNow, "1\ta") + line(kNow - 30 * kDay, "1\tb"),
         {{"a", 1}, {"b", 0.5}}},
        {"compacted weights and repeated opens add up",
         line(kNow, "2.5\ta") + line(kNow, "1\ta"),
         {{"a", 3.5}}},
        {"a line from the future counts as now", line(kNow + 9 * kDay, "1\ta"), {{"a", 1}}},
        {"damaged lines are skipped, the cut last one too",
         "rubbish\n" + line(kNow, "-1\tb") + line(kNow, "inf\tc") + line(kNow, "1\t") +
             "x\t1\td\n" + line(kNow, "1\ta") + "\t\t\n" + std::to_string(kNow) + "\t1\tcut",
         {{"a", 1}}},
        {"a foreign binary file", std::string("\0\1\xff\n\t\t\n\x89PNG\r\n", 12), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(weightsAt(t.write("record", c.bytes)), c.weights) << c.what;
    EXPECT_EQ(weightsAt(t / "missing"), Weights{});
}

// Cut lines, refused addresses, the bound, compaction by use, a stuck lock; the record is private.
TEST(LaunchRecord, StaysWithinItsBoundAndKeepsWhatIsUsedMost) {
    const test::TempFolder t;
    const std::string record = t.write("state/launches.tsv", line(kNow, "1\ta") + "17\t1");
    EXPECT_TRUE(fnRecordLaunch(record, "b", kNow));
    EXPECT_EQ(weightsAt(record), (Weights{{"a", 1}, {"b", 1}}));
    for (const std::string& refused :
         {std::string(), std::string("a\tb"), std::string("a\nb"), std::string(5000, 'x')})
        EXPECT_FALSE(fnRecordLaunch(record, refused, kNow));

    const std::string padding(120, 'p');
    std::uintmax_t largest = 0;
    for (int i = 0; i < 2000; ++i) {
        const std::string address =
            i % 4 == 0 ? "https://daily.example/" : "https://" + std::to_string(i) + padding;
        ASSERT_TRUE(fnRecordLaunch(record, address, kNow));
        largest = std::max(largest, std::filesystem::file_size(test::utf8Path(record)));
    }
    EXPECT_LE(largest, kLaunchRecordBound + 200);
    EXPECT_EQ(weightsAt(record).at("https://daily.example/"), 500);
    // A writer that never lets go of the lock delays an open, but loses none.
    const platform::FileLock stuck(record + ".lock");
    EXPECT_TRUE(fnRecordLaunch(record, "https://daily.example/", kNow));
    EXPECT_EQ(weightsAt(record).at("https://daily.example/"), 501);
#ifndef _WIN32
    const auto mode = [](const std::string& path) {
        struct stat state {};
        return stat(path.c_str(), &state) == 0 ? state.st_mode & 0777 : 0;
    };
    const std::string made = t / "made.tsv";
    ASSERT_TRUE(fnRecordLaunch(made, "https://a.example/", kNow));
    EXPECT_EQ(mode(made), 0600u);
    for (std::uintmax_t size = 0; std::filesystem::file_size(made) >= size;) { // until compacted
        size = std::filesystem::file_size(made);
        ASSERT_TRUE(fnRecordLaunch(made, std::to_string(size) + std::string(3000, 'x'), kNow));
    }
    EXPECT_EQ(mode(made), 0600u);
#endif
}

#ifndef _WIN32
// While compaction fails, opens are still recorded up to a ceiling; a later compaction keeps them.
TEST(LaunchRecord, OpensMadeWhileCompactionFailsAreKept) {
    const test::TempFolder t;
    const std::string record = t.makeFolder("state") + "/launches.tsv";
    const std::string blocker = t.makeFolder("state/launches.tsv.new-" + std::to_string(getpid()));
    const std::string filler = "https://" + std::string(4000, 'f');
    std::size_t recorded = 0;
    while (fnRecordLaunch(record, filler + std::to_string(recorded), kNow))
        ASSERT_LT(++recorded, 100u);
    EXPECT_GE(std::filesystem::file_size(record), kLaunchRecordCeiling);
    EXPECT_EQ(weightsAt(record).size(), recorded);
    std::filesystem::remove(blocker);
    for (int open = 0; open < 2; ++open)
        EXPECT_TRUE(fnRecordLaunch(record, "https://late.example/", kNow));
    EXPECT_EQ(weightsAt(record).at("https://late.example/"), 2);
    EXPECT_LE(std::filesystem::file_size(record), kLaunchRecordBound);
}

// Two processes recording at once, through several compactions: every open counts.
TEST(LaunchRecord, TwoProcessesOpeningAtOnceLoseNothing) {
    const test::TempFolder t;
    const std::string record = t / "launches.tsv";
    const std::string padding(200, 'p');
    const auto address = [&](int process, int i) {
        return "https://" + std::to_string(process) + "-" + std::to_string(i % 10) + padding;
    };
    pid_t children[2];
    for (int process = 0; process < 2; ++process) {
        children[process] = fork();
        if (children[process] == 0) {
            bool ok = true;
            for (int i = 0; i < 400; ++i)
                ok = fnRecordLaunch(record, address(process, i), kNow) && ok;
            _exit(ok ? 0 : 1);
        }
    }
    for (const pid_t child : children) {
        int status = 1;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    Weights expected;
    for (int process = 0; process < 2; ++process)
        for (int i = 0; i < 10; ++i)
            expected[address(process, i)] = 40;
    EXPECT_EQ(weightsAt(record), expected);
}
#endif

// Visits in the log of a History held locked are read on Firefox's scale; nothing changes.
TEST(ChromiumHistory, ReadsTheVisitsABrowserHoldsInItsLog) {
    const test::TempFolder t;
    const std::string history = t.makeFolder("Default") + "/History";
    // With a hundred other pages, a few rows are looked up through the index;
    // the search below reads its small History in one scan. An address held
    // twice takes its later row's use, as in a scan.
    makeHistory(history, visit("https://old.example/", 5, kNow - 100 * kDay) +
                             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                             "WHERE i < 100) INSERT INTO urls (url, last_visit_time) "
                             "SELECT 'https://other.example/' || i, 0 FROM n;" +
                             visit("https://old.example/", 7, kNow - 100 * kDay) +
                             "PRAGMA wal_checkpoint(TRUNCATE);");
    const test::HeldDatabase browser(history, visit("https://held.example/", 3, kNow - kDay));
    ASSERT_TRUE(browser.held());
    const std::string before = test::readFile(history) + test::readFile(history + "-wal");
    std::vector<Bookmark> rows(3);
    rows[0].URL = "https://held.example/", rows[1].URL = "https://old.example/";
    rows[2].URL = "https://never.example/";
    std::vector<HashedRow> pointers;
    pointers.reserve(rows.size());
    for (Bookmark& row : rows)
        pointers.push_back({&row, fnAddressHash(row.URL)});
    EXPECT_EQ(fnReadChromiumVisits(history, pointers, kNow), "");
    EXPECT_EQ(std::tuple(rows[0].Frecency, rows[1].Frecency, rows[2].Frecency),
              std::tuple(300, 70, 0));
    EXPECT_EQ(test::readFile(history) + test::readFile(history + "-wal"), before);

    const std::string damaged = t.write("Damaged/History", "not a database at all");
    EXPECT_NE(fnReadChromiumVisits(damaged, pointers, kNow), "");
    EXPECT_EQ(rows[0].Frecency, 0);
}

// Read in one scan, every row takes its page's use: many pages in a row, the last ones,
// a row repeated, and an address on two pages (the later one counts).
TEST(ChromiumHistory, EveryRowOfAScanTakesItsPagesUse) {
    const test::TempFolder t;
    const std::string history = t.makeFolder("Scanned") + "/History";
    const std::string recent = std::to_string((kNow - kDay + 11'644'473'600) * 1'000'000);
    makeHistory(history, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                         "WHERE i < 40) INSERT INTO urls (url, visit_count, last_visit_time) "
                         "SELECT 'https://p/' || i, i, " +
                             recent + " FROM n;" + visit("https://p/7", 1000, kNow - kDay));
    std::vector<Bookmark> rows(42);
    for (std::size_t i = 0; i < 40; ++i)
        rows[i].URL = "https://p/" + std::to_string(i + 1);
    rows[40].URL = "https://p/3", rows[41].URL = "https://never.example/";
    std::vector<HashedRow> pointers;
    pointers.reserve(rows.size());
    for (Bookmark& row : rows)
        pointers.push_back({&row, fnAddressHash(row.URL)});
    EXPECT_EQ(fnReadChromiumVisits(history, pointers, kNow), "");
    for (std::size_t i = 0; i < 40; ++i)
        EXPECT_EQ(rows[i].Frecency, i == 6 ? 100'000 : std::int64_t(i + 1) * 100) << i;
    EXPECT_EQ(rows[40].Frecency, 300);
    EXPECT_EQ(rows[41].Frecency, 0);
}

// By use: launches first, then the browsers' own use; ties keep the sort, which alone rules off,
// with neighbour duplicates kept or removed ("f", read before "d", ties with it).
TEST(OrderByUse, LaunchesThenBrowserUseTiesInTheSortedOrder) {
    const test::TempFolder t;
    const std::int64_t now = fnSecondsSince1970();
    const BrowserProfile firefox = test::firefoxProfile(t, "ff");
    {
        test::PlacesDatabase places(firefox.bookmarksFile);
        for (const char* name : {"a", "b", "c", "f"})
            places.add(test::PlacesDatabase::kMenu, 1, std::string("Zt ") + name,
                       std::string("https://") + name + "/");
        places.exec("UPDATE moz_places SET frecency = CASE url WHEN 'https://a/' THEN 10 "
                    "WHEN 'https://b/' THEN 500 ELSE 0 END");
    }
    const BrowserProfile chromium =
        chromiumOf(t, {{"Zt e", "https://e/"}, {"Zt e", "https://e/"}, {"Zt d", "https://d/"}});
    makeHistory(chromium.folder + "/History", visit("https://e/", 2, now));
    const std::string record = t / "state/launches.tsv";
    ASSERT_TRUE(fnRecordLaunch(record, "https://c/", now));

    SearchRequest request{.term = "zt", .sort = SORT_NAME, .launchRecord = record};
    request.browsers = {firefox, chromium};
    const auto names = [&](bool rank, bool removeDuplicates = false) {
        request.rankByUse = rank;
        request.removeDuplicates = removeDuplicates;
        std::string shown;
        for (const Bookmark& row : subSearch(request, DebugLog::silent()).Results)
            shown += row.Name.back();
        return shown;
    };
    EXPECT_EQ(names(false), "abcdeef");
    EXPECT_EQ(names(true), "cbeeadf");
    EXPECT_EQ(names(true, true), "cbeadf");
}

// Many rows read their uses beside their first order, which gives the order few rows get
// one after the other (with duplicates removed, the uses are read after the order).
TEST(OrderByUse, ManyRowsTakeTheOrderFewRowsGet) {
    const test::TempFolder t;
    const std::int64_t now = fnSecondsSince1970();
    std::vector<std::pair<std::string, std::string>> texts;
    for (int i = 1; i <= 40'000; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%05d", i);
        texts.emplace_back(std::string("Zt ") + number, std::string("https://p/") + number);
    }
    std::vector<std::pair<std::string_view, std::string_view>> marks(texts.begin(), texts.end());
    const BrowserProfile chromium = chromiumOf(t, marks);
    makeHistory(chromium.folder + "/History",
                visit("https://p/00007", 2, now) + visit("https://p/30000", 5, now));
    const std::string record = t / "state/launches.tsv";
    ASSERT_TRUE(fnRecordLaunch(record, "https://p/20000", now));
    SearchRequest request{
        .term = "zt", .sort = SORT_NAME, .rankByUse = true, .launchRecord = record};
    request.browsers = {chromium};
    const auto firstNames = [&](bool removeDuplicates) {
        request.removeDuplicates = removeDuplicates;
        const SearchOutcome outcome = subSearch(request, DebugLog::silent());
        std::string shown = std::to_string(outcome.Results.size());
        for (std::size_t k = 0; k < 5 && k < outcome.Results.size(); ++k)
            shown += " " + outcome.Results[k].Name.substr(3);
        return shown;
    };
    EXPECT_EQ(firstNames(false), "40000 20000 30000 00007 00001 00002");
    EXPECT_EQ(firstNames(true), firstNames(false));
}

// A crafted History never stops a search: rows are listed, and the log names what went wrong.
TEST(ChromiumHistory, ACraftedOneLeavesTheRowsListedAndIsNamedInTheLog) {
    const test::TempFolder t;
    const std::int64_t now = fnSecondsSince1970();
    const std::string future = std::to_string((now + 365 * kDay + 11'644'473'600) * 1'000'000);
    const struct {
        std::string sql; // after the urls table is dropped
        std::string order, logged;
    } cases[] = {
        {"CREATE TABLE urls (url TEXT, last_visit_time INTEGER)", "ab", "no such column"},
        {"CREATE TABLE urls (url BLOB, visit_count TEXT, last_visit_time TEXT);"
         "INSERT INTO urls VALUES ('https://a/', 'many', NULL), (NULL, NULL, NULL), "
         "(42, x'00', 1.5), ('https://b/', '2', 'soon')",
         "ba", ""},
        {"CREATE TABLE urls (url, visit_count, last_visit_time); INSERT INTO urls VALUES "
         "('https://a/', -5, " +
             future + "), ('https://b/', 1 << 62, 0)",
         "ba", ""},
        {"CREATE TABLE urls (url, visit_count, last_visit_time); INSERT INTO urls VALUES "
         "('https://b/', 1, 0), ('https://' || zeroblob(3000000) || '/', 1, 0)",
         "ab", "string or blob too big"},
    };
    const test::FakeClock clock;
    for (const auto& [sql, order, logged] : cases) {
        const test::TempFolder profile;
        const BrowserProfile chromium =
            chromiumOf(profile, {{"Zt a", "https://a/"}, {"Zt b", "https://b/"}});
        makeHistory(chromium.folder + "/History", "DROP TABLE urls;" + sql);
        SearchRequest request{.term = "zt", .sort = SORT_NAME, .rankByUse = true};
        request.browsers = {chromium};
        std::string shown;
        for (const Bookmark& row :
             subSearch(request, DebugLog(DEBUG_ON, clock, profile / "log")).Results)
            shown += row.Name.back();
        EXPECT_EQ(shown, order) << sql;
        const std::string log = test::readFile(profile / "log");
        EXPECT_EQ(log.find("History not read") != std::string::npos, !logged.empty()) << sql;
        EXPECT_NE(log.find(logged), std::string::npos) << sql;
    }
}
