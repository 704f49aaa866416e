// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "search/matching/matcher.h"
#include "search/scanning/character_references.h"
#include "search/sources/netscape_reader.h"
#include "support/bookmark_lists.h"
#include "support/fake_clock.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

using namespace zaptrove;
using namespace std::string_literals;
using test::List;

namespace {

List scan(std::string_view text, std::string_view term = "", SearchMode mode = SearchMode::Both,
          MatchRules rules = {}) {
    return test::scanWith(subScanNetscape, text, term, mode, rules);
}

// A folder, attributes after the address, a separator, references, a lower-case non-bookmark.
const char* const kFile =
    "<DL><p>\n    <DT><H3 ADD_DATE=\"1111\">Folder</H3>\n"
    "<DT><A HREF=\"http://one.example/\" ADD_DATE=\"1234567\" ICON=\"data:x\">One</A>\n<HR>\n"
    "<DT><A HREF=\"http://two.example/?a&amp;b\" LAST_VISIT=\"7\">Tom &amp; Jerry</A>\n"
    "<dt><a href=\"http://lower.example/\">lower</a>\n"
    "<DT><A HREF=\"ftp://three.example/\">Three</A>\n</DL><p>\n";

} // namespace

TEST(NetscapeScan, TakesBookmarksInFileOrderWithDecodedReferencesAndFolderPaths) {
    EXPECT_EQ(scan(kFile), (List{"One|http://one.example/", "Tom & Jerry|http://two.example/?a&b",
                                 "Three|ftp://three.example/"}));
    EXPECT_EQ(scan(kFile, "three", SearchMode::Name), List{"Three|ftp://three.example/"});
    EXPECT_EQ(scan(kFile, "two.example", SearchMode::Url).size(), 1u);
    for (const char* term : {"two.example", "1234", "folder", "lower", "amp;"})
        EXPECT_EQ(scan(kFile, term, SearchMode::Name), List{}) << term;
    // Only entries that cannot match are skipped.
    test::expectSkippingKeepsEveryMatch(
        subScanNetscape, "<H3>x</H3><DT><A HREF=\"ux\">a<DT><A HREF=\"ub\" x>B\u212A<DD>x k<DT>"
                         "<A HREF=\"u\">\u00c4x</A><DT><A HREF=\"URL\"");

    // A heading names the list after it; others name nothing, and an extra close closes no folder.
    // Some exports have no root list at all.
    const std::string file =
        "<H1>Bookmarks</H1>\n<DL><p>\n<DT><A HREF=\"r\">Root</A>\n"
        "<DT><H3 ADD_DATE=\"1\">Tools &amp; Caf\xe9</H3>\n<DL><p>\n<DT><A HREF=\"t\">Tool</A>\n"
        "<DT><H3>Deep</H3>\n<DL><p>\n<DT><A HREF=\"d\">Deeper</A>\n</DL><p>\n"
        "<DT><H3>Empty</H3>\n<DL><p>\n</DL><p>\n<DT><A HREF=\"b\">Back</A>\n</DL><p>\n"
        "<DT><A HREF=\"r2\">Root again</A>\n</DL><p>\n</DL>\n<DT><A HREF=\"x\">After</A>\n";
    const List all = {"|Root",
                      "Tools & Caf\u00e9|Tool",
                      "Tools & Caf\u00e9/Deep|Deeper",
                      "Tools & Caf\u00e9|Back",
                      "|Root again",
                      "|After"};
    EXPECT_EQ(test::foldersWith(subScanNetscape, file), all);
    EXPECT_EQ(test::foldersWith(subScanNetscape, file, "deeper"), List{all[2]});
    EXPECT_EQ(test::foldersWith(subScanNetscape, file, "again"), List{all[4]});
    test::expectSkippingKeepsEveryMatch(subScanNetscape, file);
    const std::string noRoot = "<DT><H3 FOLDED>Favoris</H3>\n<DL><p>\n<DT><A HREF=\"g\">G</A>\n"
                               "</DL><p>\n<DT><A HREF=\"h\">H</A>\n";
    EXPECT_EQ(test::foldersWith(subScanNetscape, noRoot), (List{"Favoris|G", "|H"}));
}

TEST(NetscapeScan, SkipsMalformedEntriesWithoutLosingNeighbours) {
    const std::pair<std::string, List> cases[] = {
        {"<DT><A HREF=\"x\"></A>\n<DT><A HREF=\"y\">Y</A>", {"|x", "Y|y"}},
        {"<DT><A HREF=\"http://bad>Bad</A>\n<DT><A HREF=\"ok\">OK</A>\n<DT><A HREF=\"z\">Z</A>",
         {"OK|ok", "Z|z"}},
        {"<DT><A HREF=\"http://no-end\" ADD_DATE=\"1\"\n<DT><A HREF=\"ok\">OK</A>", {"OK|ok"}},
        {"<DT><A HREF=\"u1\">One\n<DT><A HREF=\"u2\">Two</A>", {"One\n|u1", "Two|u2"}},
        {"<DT><A HREF=\n<DT><A HREF=\"u\">N</A>", {"N|u"}},
        // a marker followed at once by the next one is skipped; later bookmarks stay
        {"<DT><A HREF=<DT><A HREF=\"u\">N</A>\n<DT><A HREF=\"v\">V</A>", {"N|u", "V|v"}},
        {"<DT><A HREF=\"q?b=<  >\" ID=\"1\">&lt;N&gt;</A>", {"<N>|q?b=<  >"}},
        // a marker inside the tag starts the entry the name belongs to
        {"<DT><A HREF=\"u\" X=\"<DT><A HREF=\"v\">V</A>", {"V|v"}},
        {"", {}},
        {"\xff\xfe\0<DT><A HREF=\"a\0b\">n\0m\x80</A>\0"s, {"n\0m\u20ac|a\0b"s}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(scan(text), expected) << text;
}

TEST(NetscapeScan, SurvivesTruncationAtEveryByteAndHugeText) {
    const std::string good = "<DT><A HREF=\"http://good/\">Good</A>\n";
    const std::string last = "<DT><A HREF=\"http://x/\" ADD_DATE=\"1\">Name</A>";
    for (std::size_t cut = 0; cut <= last.size(); ++cut) {
        const List found = scan(good + last.substr(0, cut));
        ASSERT_GE(found.size(), 1u);
        EXPECT_EQ(found[0], "Good|http://good/");
        EXPECT_LE(found.size(), 2u);
    }
    EXPECT_EQ(scan(std::string(20'000'000, 'x') + "<DT><A HREF"), List{});
}

TEST(NetscapeRead, ReadsDecodedTextAndLogsOnlyFilesItParsed) {
    test::TempFolder tmp;
    Settings settings;
    settings.DebugMode = DEBUG_ON;
    test::FakeClock clock;
    const std::string file = tmp.write("b.htm", "<DT><A HREF=\"http://e/\">Caf\xe9 \x80</A>\r\n");
    const std::string missing = tmp / "missing.htm";
    Matcher matcher("", SearchMode::Both);
    std::vector<Bookmark> found;
    for (const std::string& path : {file, missing, tmp.makeFolder("dir.htm"), ""s})
        fnReadNetscape(path, matcher, found,
                       DebugLog(settings.DebugMode, clock, tmp / "debug.log"));
    EXPECT_EQ(found, (std::vector<Bookmark>{{"Caf\u00e9 \u20ac", "http://e/"}}));
    const std::string text = test::readFile(tmp / "debug.log");
    for (const std::string& read : {file + "\r\n+ ", missing + "\r\n- "})
        EXPECT_NE(text.find("Reading Netscape File: " + read), std::string::npos) << text;
    EXPECT_EQ(text.find("Parsing Netscape File: "), text.rfind("Parsing Netscape File: "));
}

#ifndef _WIN32
// A huge name or address is kept only to kMaxEntryTextBytes, cut where a character
// ends, the file read through a buffer instead of its mapped pages.
TEST(NetscapeRead, MemoryDoesNotGrowWithOneLongEntry) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer's own memory grows with the bytes read";
#endif
    const test::TempFolder tmp;
    constexpr std::size_t kLong = 16 << 20;
    std::string pairs, accents;
    for (std::size_t i = 0; i < kLong / 2; ++i) {
        pairs += "a<";
        accents += "\u00e9";
    }
    const std::string path =
        tmp.write("b.htm", "<DL><p>\n<DT><A HREF=\"u1\" ADD_DATE=\"1\">News " + accents +
                               "&amp;</A>\n<DT><A HREF=\"u2\">" + std::string(kLong, 'y') +
                               "</A>\n<DT><A HREF=\"news/" + pairs +
                               "\">n</A>\n<DT><A HREF=\"u3\">news &amp; after</A>\n</DL><p>\n");
    const List expected{"News \u00e9\u00e9\u00e9\xc3+2097151+\u00e9\u00e9|u1",
                        "n|news/a<a<a<a+2097152+<a<a", "news & after|u3",
                        "3 names or addresses cut at 2 MiB"};
    EXPECT_TRUE(test::readsLongTexts(fnReadNetscape, path, expected, 24L * 1024));
}
#endif

// The term is matched against decoded text, however far in and whatever non-matches come before.
TEST(NetscapeScan, FindsWhatReferencesStandForAndLeavesOutSavedQueries) {
    const std::string file = std::string(3000, ' ') + "<DT><A HREF=\"http://x/\">Plain</A>\n" +
                             "<DT><A HREF=\"https://x.example/deals?a=1&amp;id=2\">Designers &amp; "
                             "Creative</A>\n<DT><A HREF=\"place:sort=8&amp;maxResults=10\">Most "
                             "Visited</A>\n<DT><A HREF=\"http://r/?a=1&sort=2\">Caf&#xE9; &#38; "
                             "more</A>\n<DT><A HREF=\"http://n/\">Daily &#78;e&#x57;s</A>\n<DT><A "
                             "HREF=\"http://s/\">Stra&szlig;e</A>\n";
    const std::string designers = "Designers & Creative|https://x.example/deals?a=1&id=2",
                      cafe = "Café & more|http://r/?a=1&sort=2";
    // References that stand for letters of the term, or for one outside ASCII that folds into one.
    const std::tuple<const char*, SearchMode, bool, List> cases[] = {
        {"& creative", SearchMode::Name, false, {designers}},
        {"a=1&id", SearchMode::Url, false, {designers}},
        {"café & m", SearchMode::Name, false, {cafe}},
        {"visited", SearchMode::Both, false, {}},
        {"news", SearchMode::Both, false, {"Daily NeWs|http://n/"}},
        {"cafe", SearchMode::Name, true, {cafe}},
        {"strasse", SearchMode::Name, true, {"Straße|http://s/"}}};
    for (const auto& [term, mode, ignoreAccents, found] : cases)
        EXPECT_EQ(scan(file, term, mode, {.ignoreAccents = ignoreAccents}), found) << term;
}

TEST(CharacterReferences, DecodesNamedAndNumberedOnesThatEndInASemicolonOnly) {
    using namespace std::string_view_literals;
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"Designers &amp; Creative", "Designers & Creative"},
        {"&lt;&gt;&quot;&apos;&#39;&amp;", "<>\"''&"},
        {"?a=1&amp;id=2&sort=3", "?a=1&id=2&sort=3"},
        {"&copy; &eacute;t&eacute; &hellip;&thetasym;", "© été …ϑ"},
        {"&#65;&#x42;&#X43;&#0;&#xD800;&#1114112;&#99999999999;", "ABC\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"a & b &amp c &unknown; &AMP; &#; &#x; &#12a; &;",
         "a & b &amp c &unknown; &AMP; &#; &#x; &#12a; &;"},
        {"&&amp;;", "&&;"},
        // The table's first and last names, names of eight and nine bytes, zero bytes.
        {"&AElig;&zwnj;&zeta;&thetasymx;&zzzzzzzz;&amp\0;&a\0\0;"sv,
         "\u00C6\u200C\u03B6&thetasymx;&zzzzzzzz;&amp\0;&a\0\0;"sv}};
    for (const auto& [text, decoded] : cases)
        EXPECT_EQ(fnDecodeCharacterReferences(text), decoded) << text;
}
