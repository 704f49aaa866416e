// SPDX-License-Identifier: MIT
#include "search/sources/opera_reader.h"
#include "support/bookmark_lists.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

using namespace zaptrove;
using namespace std::string_literals;
using test::List;

namespace {

List scan(std::string_view text, std::string_view term = "", SearchMode mode = SearchMode::Both) {
    return test::scanWith(subScanOpera, text, term, mode);
}

// A header, a folder, an entry without a name and a separator between entries.
const char* const kHotlist =
    "Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n#FOLDER\n\tNAME=Opera\n\n"
    "#URL\n\tNAME=Download Opera\n\tURL=http://www.opera.com/download/\n\n"
    "#URL\n\tNAME=\n\tURL=http://my.opera.com/\n\n-\n\n"
    "#URL\n\tNAME=Download.com\n\tURL=http://www.download.com/\n";

} // namespace

TEST(OperaScan, TakesUrlBlocksInFileOrderWithTheirFolderPath) {
    const List all = {"Download Opera|http://www.opera.com/download/", "|http://my.opera.com/",
                      "Download.com|http://www.download.com/"};
    EXPECT_EQ(scan(kHotlist), all);
    EXPECT_EQ(scan(kHotlist, "my.opera", SearchMode::Url), List{all[1]});
    EXPECT_EQ(scan(kHotlist, "opera", SearchMode::Name), List{all[0]})
        << "the folder is no bookmark";

    // "-" alone on a line closes the innermost folder; trailing blanks of a
    // folder's name are dropped, and a stray "-" at the root closes nothing.
    const std::string file =
        "Opera Hotlist version 2.0\r\n\r\n#URL\r\n\tNAME=top\r\n\tURL=u0\r\n\r\n"
        "#FOLDER  \r\n\tID=3\r\n\tNAME=Work   \r\n\r\n#URL\r\n\tNAME=a\r\n\tURL=u1\r\n\r\n"
        "#FOLDER\r\n\tNAME=Caf\xe9\r\n\r\n#URL\r\n\tNAME=b\r\n\tURL=u2 -\r\n\r\n-\r\n\r\n"
        "#URL\r\n\tNAME=c\r\n\tURL=u3\r\n-\r\n-\r\n#URL\r\n\tNAME=d\r\n\tURL=u4\r\n-";
    EXPECT_EQ(test::foldersWith(subScanOpera, file),
              (List{"|top", "Work|a", "Work/Caf\u00e9|b", "Work|c", "|d"}));
    EXPECT_EQ(test::foldersWith(subScanOpera, file, "u3"), List{"Work|c"});
    test::expectSkippingKeepsEveryMatch(subScanOpera, file);
}

// A block needs both keys at line starts; a bad one costs no neighbour; only a line-opening "#URL"
// starts a block surely (one inside a name or indented is passed while cutting blocks).
TEST(OperaScan, SkipsIncompleteBlocksWithoutLosingNeighbours) {
    const std::pair<std::string, List> cases[] = {
        {"#URL\n\tID=1\n\n#URL\n\tNAME=b\n\tURL=ub\n", {"b|ub"}},
        {"#URL\n\tURL=ua\n\tNAME=a\n\n#FOLDER\n\tNAME=f\n\n#URL\n\tNAME=b\n\tURL=ub\n#URL\n\tNAME=c"
         "\n\tURL=uc\n",
         {"b|ub", "c|uc"}},
        {"#URL\n\tNAME=n\n\tURL=http://end/ no line feed", {"n|http://end/ no line feed"}},
        {"#URL\r\n\tNAME=n\r\n\tURL=", {"n|"}},
        {"\xEF\xBB\xBF#URL\n  NAME=spaces\n        URL=u1\n#URL\n\t\tNAME=tabs\n\tURL=u2\n",
         {"spaces|u1", "tabs|u2"}},
        {"#URL\n\tNAME=a #URL\n\tURL=http://x/#URL\n#URL\n\tNAME=b\n\tURL=ub\n",
         {"a #URL|http://x/#URL", "b|ub"}},
        {"#URL\n\tNAME=only a name", {}},
        {"#URL\n\tSHORT NAME=sn\n\tNAME=real\n\tURL=u\n", {"real|u"}},
        {"#URL\n\tNAME=n\n\tDISPLAY URL=shown\n\tURL=real\n", {"n|real"}},
        {"#url\n\tNAME=lower\n\tURL=ul\n", {}},
        {"#URL\n\tNAME=a\0b\n\tURL=\xff\n"s, {"a\0b|\u00ff"s}},
        {"", {}},
        {"#URL\n\tNAME=s\n  #URL NAME=x\n\tURL=u #URL\n#URL\n\tNAME=\u212Aa\n\tURL=K\n",
         {"\u212Aa|K"}},
        {"#FOLDER\n\tNAME=x\n#URL\n\tNAME=\u00c4 x\r\n\tURL=u\n\n  #URL\n\tNAME=Bx\n\tURL=ub",
         {"\u00c4 x|u", "Bx|ub"}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(scan(text), expected) << text;
        test::expectSkippingKeepsEveryMatch(subScanOpera, text);
    }
}

TEST(OperaRead, MainAndAlternativeFilesAreIndependent) {
    test::TempFolder tmp;
    const std::string main =
        tmp.write("main.adr", "\xEF\xBB\xBF#URL\r\n\tNAME=m\r\n\tURL=um\r\n#URL\r\n\tNAME=cut\r\n");
    const std::string alt =
        tmp.write("alt.adr", "\tURL=http://stray/\n#URL\n\tNAME=Caf\xe9\nURL=a");
    std::vector<Bookmark> found;
    for (const std::string& path : {main, alt, tmp / "missing.adr", tmp.makeFolder("dir.adr")}) {
        const std::vector<Bookmark> read = test::readWith(fnReadOpera, path);
        found.insert(found.end(), read.begin(), read.end());
    }
    EXPECT_EQ(found, (std::vector<Bookmark>{{"m", "um"}, {"Caf\u00e9", "a"}}));
}

#ifndef _WIN32
// A huge name or address is kept only to kMaxEntryTextBytes, cut where a character
// ends, the file read through a buffer instead of its mapped pages.
TEST(OperaRead, MemoryDoesNotGrowWithOneLongEntry) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer's own memory grows with the bytes read";
#endif
    const test::TempFolder tmp;
    constexpr std::size_t kLong = 16 << 20;
    std::string accents;
    for (std::size_t i = 0; i < kLong / 2; ++i)
        accents += "\u00e9";
    const std::string path = tmp.write(
        "b.adr", "#URL\n\tNAME=News " + accents + "\n\tURL=u1\n\n#URL\n\tNAME=" +
                     std::string(kLong, 'y') + "\n\tURL=u2\n\n#URL\n\tNAME=n\n\tURL=news/" +
                     std::string(kLong, 'z') + "#URL\n\n#URL\n\tNAME=news after\n\tURL=u3\n");
    const List expected{"News \u00e9\u00e9\u00e9\xc3+2097151+\u00e9\u00e9|u1",
                        "n|news/zzzzzzz+2097152+zzzz", "news after|u3",
                        "3 names or addresses cut at 2 MiB"};
    EXPECT_TRUE(test::readsLongTexts(fnReadOpera, path, expected, 24L * 1024));
}
#endif
