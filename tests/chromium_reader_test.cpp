// SPDX-License-Identifier: MIT
#include "search/matching/matcher.h"
#include "search/scanning/json_events.h"
#include "search/sources/chromium_reader.h"
#include "support/bookmark_lists.h"
#include "support/file_faults.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>
#ifndef _WIN32
#include "support/child_process.h"
#endif

using namespace zaptrove;
using namespace std::string_literals;
using test::List;
using test::utf8Path;

namespace {

List scan(std::string_view text, std::string_view term = "", SearchMode mode = SearchMode::Both) {
    return test::scanWith(fnScanChromiumBookmarks, text, term, mode);
}

SourceReading readingOf(std::string_view text) {
    Matcher matcher("", SearchMode::Both);
    std::vector<Bookmark> found;
    return fnScanChromiumBookmarks(text, matcher, found);
}

// The bookmarks read from the file at path, and how the reading went.
std::pair<std::vector<Bookmark>, SourceReading>
readFound(const std::string& path, std::string_view term = "", SearchMode mode = SearchMode::Both) {
    const Matcher matcher(term, mode);
    std::vector<Bookmark> found;
    const SourceReading reading = fnReadChromiumBookmarks(path, matcher, found);
    return {std::move(found), reading};
}

std::string url(std::string_view name, std::string_view address) {
    return R"({"date_added": "1", "meta_info": {"power_bookmark_meta": ""}, "name": ")" +
           std::string(name) + R"(", "type": "url", "url": ")" + std::string(address) + "\"}";
}

std::string folder(std::string_view name, std::string_view children) {
    return R"({"children": [)" + std::string(children) + R"(], "name": ")" + std::string(name) +
           R"(", "type": "folder"})";
}

std::string file(std::string_view roots, std::string_view around = "") {
    return R"({"checksum": "x", "roots": {)" + std::string(roots) + "}, " + std::string(around) +
           R"("version": 1})";
}

// Two roots as the browser writes them, with a nested folder.
const std::string kBookmarks =
    file(R"("bookmark_bar": )" +
             folder("Bookmarks bar", url("One", "https://one.example/") + "," +
                                         folder("Sub", url("Deep", "https://deep.example/") + "," +
                                                           folder("Empty", "")) +
                                         "," + url("Two", "https://two.example/")) +
             R"(, "other": )" + folder("Other bookmarks", url("Other", "https://other.example/")) +
             R"(, "synced": )" + folder("Mobile bookmarks", ""),
         R"("sync_metadata": "c29tZQ==", )");

} // namespace

TEST(ChromiumScan, TakesEveryRootDepthFirstInFileOrderWithItsFolderPath) {
    EXPECT_EQ(scan(kBookmarks), (List{"One|https://one.example/", "Deep|https://deep.example/",
                                      "Two|https://two.example/", "Other|https://other.example/"}));
    EXPECT_TRUE(readingOf(kBookmarks).readWhole() && readingOf(kBookmarks).BookmarkCount == 4);
    test::expectSkippingKeepsEveryMatch(fnScanChromiumBookmarks, kBookmarks);

    // A folder's name comes after its children in the browser's files, before in others: same path.
    EXPECT_EQ(test::foldersWith(fnScanChromiumBookmarks, kBookmarks),
              (List{"Bookmarks bar|One", "Bookmarks bar/Sub|Deep", "Bookmarks bar|Two",
                    "Other bookmarks|Other"}));
    EXPECT_EQ(test::foldersWith(fnScanChromiumBookmarks, kBookmarks, "deep"),
              List{"Bookmarks bar/Sub|Deep"});
    // With folder names searched, only what matches with its folders is kept.
    const MatchRules inFolders{.anyWordOrder = true, .folderWords = true};
    EXPECT_EQ(test::scanWith(fnScanChromiumBookmarks, kBookmarks, "sub deep", SearchMode::Name,
                             inFolders),
              List{"Deep|https://deep.example/"});
    EXPECT_EQ(
        test::scanWith(fnScanChromiumBookmarks, kBookmarks, "bar", SearchMode::Name, inFolders),
        (List{"One|https://one.example/", "Deep|https://deep.example/",
              "Two|https://two.example/"}));
    const std::string nameFirst =
        file(R"("other": {"name": "Top", "type": "folder", "children": [{"name": "In", "type": )"
             R"("folder", "children": [)" +
             url("A", "a") + "," + url("B", "b") + "]}," + url("C", "c") + "]}");
    EXPECT_EQ(test::foldersWith(fnScanChromiumBookmarks, nameFirst),
              (List{"Top/In|A", "Top/In|B", "Top|C"}));
    // A bookmark with children of its own opens no folder for what follows.
    const std::string odd =
        file(R"("other": )" + folder("F", R"({"children": [], "name": "X", "type": "url", )"
                                          R"("url": "x"},)" +
                                              url("After", "a")));
    EXPECT_EQ(test::foldersWith(fnScanChromiumBookmarks, odd), (List{"F|X", "F|After"}));
}

TEST(ChromiumScan, ReadsWhatOnlyBookmarksHold) {
    const std::pair<std::string, List> cases[] = {
        // a root a fork adds; keys in any order
        {file(R"("workspaces": {"type": "folder", "children": [{"url": "u", "type": "url",
              "name": "W"}]})"),
         {"W|u"}},
        // escapes in names and addresses
        {file(R"("bookmark_bar": )" + folder("b", url(R"(Caf\u00e9 \ud83d\ude00 \"q\" \u003C)",
                                                      R"(https:\/\/x.example\/a)"))),
         {"Caf\u00e9 \U0001F600 \"q\" <|https://x.example/a"}},
        // a surrogate without its other half is U+FFFD; what follows is read
        {file(R"("bookmark_bar": )" +
              folder("b", url(R"(a\ud800 b\udc00 c\ud800\u0041 d\ud800\ud83d\ude00 e\ud800\n)",
                              R"(\ud800)") +
                              "," + url("Next", "n"))),
         {"a\uFFFD b\uFFFD c\uFFFDA d\uFFFD\U0001F600 e\uFFFD\n|\uFFFD", "Next|n"}},
        // meta_info and sync_metadata that look like bookmarks are not read
        {file(R"("bookmark_bar": {"type": "folder", "meta_info": {"children": [)" +
                  url("Meta", "m") + R"(]}, "children": []})",
              R"("sync_metadata": {"roots": {"x": )" + url("Sync", "s") + "}}, "),
         {}},
        // nodes of other types, a url node without an address, values of the wrong kind
        {file(R"("bookmark_bar": {"children": [{"type": "separator", "name": "S", "url": "s"},
              {"type": "url", "name": "No address"}, {"type": "url", "name": 5, "url": "n"},
              "text", 7, [1], {"type": "url", "name": "Last", "url": "l"}]})"),
         {"|n", "Last|l"}},
        // indented with tabs, in runs longer than a block of the blank scan
        {R"({"roots": {"x":)"
         "\n" +
             std::string(20, '\t') + url("Tab", "t") + "}}",
         {"Tab|t"}},
        {R"({"roots": []})", {}},
        {"[]", {}},
        {"", {}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(scan(text), expected) << text;
}

TEST(ChromiumScan, KeepsWhatCameBeforeDamage) {
    const std::size_t second = kBookmarks.find("Deep");
    for (const std::size_t cut : {std::size_t{0}, second, kBookmarks.size() - 1})
        EXPECT_TRUE(readingOf(kBookmarks.substr(0, cut)).Problem.starts_with("damaged at byte "))
            << cut;
    EXPECT_EQ(readingOf(kBookmarks.substr(0, second)).BookmarkCount, 1u);
    EXPECT_EQ(scan(kBookmarks.substr(0, second)), List{"One|https://one.example/"});
}

// The first byte that is not JSON is named; nesting ends the reading at a thousand levels.
TEST(ChromiumScan, NamesTheByteWhereTheTextStopsBeingJson) {
    std::string objects = R"({"roots": {"x": )";
    for (int i = 0; i < 200'000; ++i)
        objects += R"({"children": [)";
    // clang-format off
    const std::pair<std::string, std::string_view> cases[] = {
        {std::string(100'000, '[') + std::string(100'000, ']'), "damaged at byte 1000"},
        {objects, "damaged at byte 7003"},
        {R"({"roots": {}, "n": -0.5e+3, "t": true, "z": null, "a": [1, [], {}, "s", 1E5]})", ""},
        {R"({"roots": {}} x)", "damaged at byte 14"}, {R"({"a" 1})", "damaged at byte 5"},
        {R"({"a": 1,})", "damaged at byte 8"},       {R"([1 2])", "damaged at byte 3"},
        {R"({"a": tru})", "damaged at byte 9"},      {R"({"a": 01})", "damaged at byte 7"},
        {R"({"a": -})", "damaged at byte 7"},        {R"({"a": 1.})", "damaged at byte 8"},
        {R"({"a": "\x"})", "damaged at byte 7"},     {"{\"a\": \"tab\t\"}", "damaged at byte 10"},
        {"{\"a\": \"a string of sixteen bytes\tor more, and more after it\"}", "damaged at byte 32"},
        {R"({"a": "\u12G4"})", "damaged at byte 7"}, {R"({1: 2})", "damaged at byte 1"},
        {R"({"a": "open)", "damaged at byte 11"},    {"   ", "damaged at byte 3"}};
    // clang-format on
    for (const auto& [text, problem] : cases)
        EXPECT_EQ(readingOf(text).Problem, problem) << text.substr(0, 80);
    // Lines that repeat the indentation and key lengths of those before them
    // (keys of one length apart), then one that does not, or holds a stop
    // where they ended.
    std::string lines = R"({"roots": {})";
    for (int i = 0; i < 40; ++i)
        lines += ",\n   \"abcd\": 1,\n   \"wxyz\": {\n      \"abcd\": 1\n   }";
    const std::pair<std::string_view, bool> odd[] = {
        {",\n   \"abcd\\u0041\": 1", false},
        {",\n    \"abcd\": 1", false},
        {",\n  \"abcd\": 1", false},
        {",\n  \t\"ab\": 1", false},
        {",\n   \"abc\": 1,\n   \"abcde\": 1", false},
        {",\n   \"wxyz\": {\n     \"abcd\": 1\n    }", false},
        {",\n   \"wxyz\": {\"abcd\": 1}", false},
        {",\n   \"abcd\t\": 1", true},
        {",\n   @\"abcd\": 1", true},
        {",\n   \"wxyz\": {\n      \"abcd\": 1\n  @}", true},
        {",\n   \"wxyz\": {\n     @\"abcd\": 1\n   }", true}};
    for (const auto& [line, damaged] : odd) {
        const std::string text = lines + std::string(line) + lines.substr(12) + "}";
        const std::size_t stop = lines.size() + line.find_last_of("\t@");
        EXPECT_EQ(readingOf(text).Problem, damaged ? "damaged at byte " + std::to_string(stop) : "")
            << line;
    }
}

// Nodes that hold no candidate for the term may be taken whole rather than
// token by token: the count, the byte named for damage and the bookmarks kept
// are those of a reading that takes every node token by token (an empty term),
// whatever the node's shape and wherever its bytes fall in the blocks.
TEST(ChromiumScan, NodesTakenWholeReadAsTokenByToken) {
    const std::string_view shapes[] = {
        R"({"meta_info": {"a": {"b": {"c": "d"}}}, "name": "n", "type": "url", "url": "u"})",
        R"({"m": {"a": {"b": {"c": {"d": "e"}}}}, "name": "n", "type": "url", "url": "u"})",
        R"({"name": "n", "type": {"t": "url"}, "url": "u"})",
        R"({"type": "url", "name": "n", "url": {"u": "v"}})",
        R"({"type": "url", "url": "u", "type": "folder"})",
        R"({"type": "folder", "url": "u", "type": "url"})",
        R"({"type": "urls", "url": "u"})",
        R"({"type": "url", "uri": "u"})",
        R"({"t": "url", "types": "url", "u": "x", "urls": "u", "title": "url"})",
        "{\"name\"  :\t\"n\" ,\r\n \"type\":\"url\",\"url\"\n:\n\"u\"}",
        R"({"name": "\u006ee", "type": "url", "url": "u"})",
        R"({"ty\u0070e": "url", "url": "u"})",
        R"({"meta_info": {}, "type": "url", "url": "u"})",
        R"({"m": [], "type": "url", "url": "u"})",
        R"({"m": 5, "type": "url", "url": "u"})",
        R"({"m": null, "type": "url", "url": "u"})",
        R"({"children": {"a": "b"}, "type": "url", "url": "u"})",
        R"({})",
        // damaged
        R"({"name" "n", "type": "url", "url": "u"})",
        R"({"name": "n",, "type": "url", "url": "u"})",
        R"({"name": "n", "type": "url", "url": "u",})",
        R"({"name": "n" "x", "type": "url", "url": "u"})",
        R"({"name": "n": "x", "type": "url", "url": "u"})",
        R"({"name", "type": "url", "url": "u"})",
        R"({"m": {"a": "b",}, "type": "url", "url": "u"})",
        R"({"m": {"a": "b"}}, "type": "url", "url": "u"})",
        R"({"m": {"a": "b"} "type": "url", "url": "u"})",
        R"({"m": {"a"}, "type": "url", "url": "u"})",
        R"({: "n", "type": "url", "url": "u"})",
        R"({"na\me": "n", "type": "url", "url": "u"})",
        R"({"name": "n\\\\\", "type": "url", "url": "u"})",
        "{\"name\": \"n\x01\", \"type\": \"url\", \"url\": \"u\"}",
        "{\"name\": \"n\nn\", \"type\": \"url\", \"url\": \"u\"}",
        "{\"name\": \"n\", \x01\"type\": \"url\", \"url\": \"u\"}",
        R"({"name": "n", @"type": "url", "url": "u"})",
        R"({"name": "n", "type": "url", "url": "u")",
    };
    const std::string usual = url("usual", "https://usual.example/");
    for (const std::string_view shape : shapes) {
        for (std::size_t pad = 0; pad < 64; ++pad) {
            std::string children;
            for (int i = 0; i < 3; ++i)
                children.append(usual).append(",\n   ");
            children.append(url(std::string(pad, 'p'), "u")).append(",\n");
            children.append(shape).append(",\n").append(usual);
            const std::string text = file(R"("bookmark_bar": )" + folder("b", children));
            // A one-byte term has its last byte at its first.
            Matcher noCandidate(pad % 2 == 0 ? "zq" : "z", SearchMode::Both);
            std::vector<Bookmark> none;
            const SourceReading whole = fnScanChromiumBookmarks(text, noCandidate, none);
            EXPECT_EQ(whole.Problem, readingOf(text).Problem) << text;
            EXPECT_EQ(whole.BookmarkCount, readingOf(text).BookmarkCount) << text;
            EXPECT_TRUE(none.empty());
            if (pad % 21 == 0)
                test::expectSkippingKeepsEveryMatch(fnScanChromiumBookmarks, text);
        }
    }
}

TEST(ChromiumRead, PassesOverHugeMetaInfo) {
    const test::TempFolder tmp;
    const std::string meta = R"({"k": ")" + std::string(30'000'000, 'x') + "\"}";
    const std::string path =
        tmp.write("Bookmarks", file(R"("bookmark_bar": {"children": [{"meta_info": )" + meta +
                                    R"(, "name": "After", "type": "url", "url": "a"}]})"));
    const auto [found, reading] = readFound(path, "after", SearchMode::Name);
    EXPECT_TRUE(reading.readWhole());
    EXPECT_EQ(found, (std::vector<Bookmark>{{"After", "a"}}));
    EXPECT_EQ(readFound(tmp / "missing").second.Problem, "No such file or directory");
}

#ifndef _WIN32
// A huge name is kept only to kMaxJsonStringBytes, an unused huge key not at all (in a child).
TEST(ChromiumRead, MemoryDoesNotGrowWithOneString) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer's own memory grows with the bytes read";
#endif
    const test::TempFolder tmp;
    constexpr std::size_t kHuge = 48 << 20;
    const std::string path = tmp / "Bookmarks";
    std::ofstream(utf8Path(path), std::ios::binary)
        << R"({"roots": {"bar": {"children": [{"type": "url", "url": "u1", "name": ")"
        << std::string(kHuge, 'n') << R"("}, {")" << std::string(kHuge, 'k')
        << R"(": 1, "type": "url", "url": "u2", "name": "Zt é)" << std::string(kHuge, 'z')
        << R"("}]}}})";
    EXPECT_TRUE(test::inChildGrowingLessThan(16L * 1024, [&] {
        const auto [found, reading] = readFound(path, "zt", SearchMode::Name);
        return reading.BookmarkCount == 2 && found.size() == 1 && found[0].URL == "u2" &&
               found[0].Name.size() == kMaxJsonStringBytes &&
               found[0].Name.starts_with("Zt \u00e9zzz") &&
               reading.Problem == "2 names or addresses cut at 2 MiB";
    }));
}
#endif

// A file read in chunks gives what its whole text gives, damage at the same byte.
TEST(ChromiumRead, ChunkBoundariesChangeNothing) {
    const test::TempFolder tmp;
    std::string children = url("Caf\u00e9 0", "u");
    for (int i = 1; i < 8000; ++i) {
        const std::string name = "Caf\u00e9 " + std::to_string(i);
        children.append(",").append(url(name, "u"));
    }
    const std::string text = file(R"("other": )" + folder("o", children));
    for (const std::string& bytes : {text, text.substr(0, 600'001)}) {
        Matcher fromFile("9", SearchMode::Name), fromText("9", SearchMode::Name);
        std::vector<Bookmark> read, scanned;
        const SourceReading reading =
            fnReadChromiumBookmarks(tmp.write("Bookmarks", bytes), fromFile, read);
        EXPECT_EQ(reading.Problem, fnScanChromiumBookmarks(bytes, fromText, scanned).Problem);
        EXPECT_EQ(reading.BookmarkCount, bytes == text ? 8000u : 5414u);
        EXPECT_EQ(read, scanned);
    }
#ifdef __linux__
    // A read that fails part-way gives nothing of what it read.
    const test::FileFaults failing(tmp / "Bookmarks", 100'000);
    const auto [found, reading] = readFound(tmp / "Bookmarks");
    EXPECT_FALSE(reading.readWhole());
    EXPECT_EQ(found, std::vector<Bookmark>{});
#endif
#ifndef _WIN32
    // A long file taken in place is read in two halves at once, the later one
    // from a node after a comma at a line's start: folders across the middle,
    // nesting too deep, a cut or damage in the later half change nothing.
    std::string nodes;
    for (int i = 0; nodes.size() < std::size_t{5} << 20; ++i) {
        std::string inner;
        for (int j = 0; j < 300; ++j)
            inner.append(j == 0 ? "" : ",\n")
                .append(url(std::to_string(i) + "." + std::to_string(j), "u"));
        nodes.append(i == 0 ? "" : ",\n")
            .append(folder("f" + std::to_string(i), folder("g", inner) + ",\n" + url("x", "u")));
    }
    const std::string tree = file(R"("bookmark_bar": )" + folder("b", nodes) + R"(, "other": )" +
                                  folder("o", url("a", "u") + ",\n" + url("9", "u")));
    const std::size_t threeQuarters = tree.find(",\n", tree.size() * 3 / 4) + 2;
    std::string commaFirst; // each node after the first on a line that starts ", {"
    std::size_t at = 0;
    for (std::size_t comma = tree.find(",\n"); comma != std::string::npos;
         at = comma + 2, comma = tree.find(",\n", at))
        commaFirst.append(tree, at, comma - at).append("\n, ");
    commaFirst.append(tree, at);
    for (const std::string& bytes :
         {tree, commaFirst, tree.substr(0, tree.size() * 7 / 8),
          tree.substr(0, threeQuarters) + "@" + tree.substr(threeQuarters),
          tree.substr(0, threeQuarters) + std::string(999, '[') + tree.substr(threeQuarters)}) {
        const std::string path = tmp.write("Long", bytes);
        const test::FileAged aged(path);
        Matcher fromFile("9", SearchMode::Name), fromText("9", SearchMode::Name);
        std::vector<Bookmark> read, scanned;
        const SourceReading inHalves = fnReadChromiumBookmarks(path, fromFile, read);
        const SourceReading expected = fnScanChromiumBookmarks(bytes, fromText, scanned);
        EXPECT_EQ(inHalves.Problem, expected.Problem);
        EXPECT_EQ(inHalves.BookmarkCount, expected.BookmarkCount);
        EXPECT_EQ(read, scanned);
    }
#endif
}

TEST(ChromiumRead, SeesOneWholeVersionOfAFileReplacedWhileRead) {
    const test::TempFolder tmp;
    const std::string path = tmp / "Bookmarks";
    const std::string versions[] = {kBookmarks,
                                    file(R"("other": )" + folder("o", url("New", "n")))};
    tmp.write("Bookmarks", versions[0]);
    std::atomic<bool> done = false;
    std::thread browser([&] {
        // A new file renamed over the old one, as browsers do; retried where the system refuses.
        for (int i = 0; !done; ++i) {
            const std::string next = tmp.write("Bookmarks.tmp", versions[i % 2]);
            std::error_code refused;
            std::filesystem::rename(utf8Path(next), utf8Path(path), refused);
        }
    });
    for (int i = 0; i < 200; ++i) {
        const auto [found, reading] = readFound(path);
        EXPECT_TRUE(reading.readWhole()) << reading.Problem;
        EXPECT_TRUE(found.size() == 4 || test::listOf(found) == List{"New|n"});
    }
    done = true;
    browser.join();
}
