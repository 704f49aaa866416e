// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "platform/file_mapping.h"
#include "platform/files.h"
#include "search/scanning/byte_pairs.h"
#include "search/scanning/chunked_scan.h"
#include "search/scanning/long_text_cut.h"
#include "search/sources/netscape_reader.h"
#include "search/sources/opera_reader.h"
#include "support/bookmark_lists.h"
#include "support/file_faults.h"
#include "support/temp_folder.h"
#include "support/utf16_bytes.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <optional>
#include <thread>

using namespace zaptrove;
using namespace std::string_literals;
using platform::ByteOrder;
using test::List;
using test::utf16File;

namespace {

// A marker opening a line is a sure start.
constexpr BlockRule kLines{
    "<M>", [](std::string_view text, std::size_t at) { return text[at - 1] == '\n'; }};

// The pieces the file gives, read chunkBytes at a time, each kept as a record.
List pieces(platform::FileReader& file, std::size_t chunkBytes) {
    std::vector<Bookmark> records;
    List out;
    subScanFileInChunks(
        file, kLines, records,
        [&] { return [&](std::string_view piece) { out.emplace_back(piece); }; }, chunkBytes);
    return out;
}

// Runs read once reading the file and, on Linux, once taking it in place
// from its mapped pages.
template <typename Read> void readAndInPlace([[maybe_unused]] const std::string& path, Read read) {
    read();
#ifdef __linux__
    const test::FileAged aged(path);
    read();
#endif
}

std::string joined(const List& parts) {
    return std::accumulate(parts.begin(), parts.end(), std::string());
}

} // namespace

// Pieces neither lose nor repeat text and start surely; UTF-16 (with its mark) is given as UTF-8.
TEST(ChunkedScan, PiecesCoverTheTextAndEndOnlyAtSureStarts) {
    test::TempFolder tmp;
    const std::string head = "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9 " + std::string(40, 'p');
    const std::string blocks = "<M>a <M> b\n<M>c\xE2\x82\xAC\n" + std::string(50, 'z') + "\n<M>d";
    const std::string wide = "<M>\U0001D11E\n<M>\u00e9" + std::string(20, 'w') + "\n<M>\u20ac";
    const std::pair<std::string, std::string> files[] = {
        {head + blocks, head + blocks},
        {"<M>", "<M>"},
        {std::string(30, 'q') + "\xC3", std::string(30, 'q') + "\xC3"},
        {"\xE9" + blocks + "\n<M>caf\xE9", "\xE9" + blocks + "\n<M>caf\xE9"},
        {utf16File(wide, ByteOrder::LittleEndian), wide},
        {utf16File(wide, ByteOrder::BigEndian), wide},
        {utf16File(wide, ByteOrder::LittleEndian) + "x", wide + "\uFFFD"},
        // a high surrogate without its pair, a low one alone, a pair cut at the end
        {"\xFF\xFE\x34\xD8Z\0\x1E\xDD<\0M\0>\0\x34\xD8"s, "\uFFFDZ\uFFFD<M>\uFFFD"},
        {"\xFF", "\xFF"},
    };
    for (const auto& [bytes, expected] : files) {
        const std::string path = tmp.write("f", bytes);
        for (std::size_t chunk = 1; chunk <= bytes.size() + 1; ++chunk) {
            platform::FileReader file(path);
            const List got = pieces(file, chunk);
            EXPECT_EQ(joined(got), expected) << chunk;
            for (std::size_t i = 1; i < got.size(); ++i)
                EXPECT_TRUE(got[i - 1].find("<M>") == std::string::npos ||
                            (got[i].starts_with("<M>") && got[i - 1].ends_with('\n')))
                    << chunk << ": " << got[i];
        }
    }
}

TEST(ChunkedScan, ReadsTheLengthTheFileHadAtOpeningThenLetsItGo) {
    test::TempFolder tmp;
    const std::string path = tmp / "f";
    for (const bool grows : {true, false}) {
        tmp.write("f", "<M>one\n<M>two\n<M>three\n");
        platform::FileReader file(path);
        if (grows)
            std::ofstream(path, std::ios::app) << "<M>four\n";
        else
            std::filesystem::resize_file(path, 10);
        EXPECT_EQ(joined(pieces(file, 4)), grows ? "<M>one\n<M>two\n<M>three\n" : "<M>one\n<M>");
        // Read to its end, the file can be replaced.
        std::filesystem::rename(tmp.write("new", "<M>new\n"), path);
    }
}

#ifdef __linux__
TEST(ChunkedScan, AReadFailingPartWayAddsNothing) {
    test::TempFolder tmp;
    std::string bytes;
    for (int i = 0; i < 100; ++i)
        bytes += "<DT><A HREF=\"http://s/\">S</A>\n";
    const std::string path = tmp.write("f", bytes);
    const test::FileFaults failing(path, bytes.size() / 2);
    const auto inChunks = [](auto&&... args) { fnReadNetscapeInChunks(args..., 64); };
    EXPECT_EQ(test::readWith(inChunks, path), std::vector<Bookmark>{});
}

// In place, parts mapped in turn across 2 MiB boundaries, and one longer than
// a part for an entry, give the text whole, in pieces as long as a part.
TEST(ChunkedScan, MappedPartsCoverTheText) {
    test::TempFolder tmp;
    std::string bytes;
    while (bytes.size() < std::size_t{9} * 1024 * 1024)
        bytes += "<M>" + std::string(bytes.size() % 977, 'a') + "\n";
    bytes += "<M>" + std::string(std::size_t{2} * 1024 * 1024, 'l') + "\n<M>end";
    const std::string path = tmp.write("f", bytes);
    const test::FileAged aged(path);
    for (const std::size_t chunk : {std::size_t{4096}, kFileChunkBytes}) {
        platform::FileReader file(path);
        const List got = pieces(file, chunk);
        EXPECT_EQ(joined(got), bytes) << chunk;
        EXPECT_LT(got.size(), 40u) << chunk;
        for (std::size_t i = 1; i < got.size(); ++i)
            EXPECT_TRUE(got[i].starts_with("<M>") && got[i - 1].ends_with('\n')) << chunk;
    }
}

// A file cut short or rewritten while its mapped pages are scanned: the pages
// past its new end read as zero bytes instead of ending the program, no record
// from the changing pages is kept, and the file is read again from its start.
TEST(ChunkedScan, AFileChangedUnderItsScanInPlaceGivesWhatReadingItGives) {
    test::TempFolder tmp;
    std::string lines;
    while (lines.size() < std::size_t{256} * 1024)
        lines += "<M>old\n";
    const std::string path = tmp / "f";
    const std::function<void()> changes[] = {
        [&] { std::filesystem::resize_file(path, 100); },
        [&] { // in place, to the same length, past a tick of the file system's clock
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::string other = lines;
            for (std::size_t at = 3; at < other.size(); at += 7)
                other.replace(at, 3, "new");
            std::ofstream(path, std::ios::in | std::ios::out | std::ios::binary) << other;
        }};
    const auto linesOf = [](std::string_view text, std::vector<Bookmark>& records) {
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            records.push_back({std::string(text.substr(start, end - start)), ""});
            start = end + 1;
        }
    };
    for (const auto& change : changes) {
        tmp.write("f", lines);
        const test::FileAged aged(path);
        platform::FileReader file(path);
        std::vector<Bookmark> records;
        std::string firstPiece;
        subScanFileInChunks(
            file, kLines, records,
            [&] {
                return [&](std::string_view piece) {
                    linesOf(piece, records);
                    if (firstPiece.empty()) {
                        change();
                        firstPiece.assign(piece); // the pages show the change
                    }
                };
            },
            std::size_t{16} * 1024);
        EXPECT_GT(firstPiece.size(), 3 * 4096u); // pages past the new end
        EXPECT_NE(firstPiece, lines.substr(0, firstPiece.size()));
        std::string now;
        ASSERT_TRUE(platform::readWholeFile(path, now));
        std::vector<Bookmark> expected;
        linesOf(now, expected);
        EXPECT_EQ(records, expected);

        // Asked for part by part (as the JSON reader does), a file changed
        // after the first part fails at the next, before the first's records
        // are vouched for. Parts end at 2 MiB boundaries: the file holds two.
        std::string twoParts;
        while (twoParts.size() <= std::size_t{2} * 1024 * 1024)
            twoParts += lines;
        for (const bool changing : {false, true}) {
            tmp.write("f", twoParts);
            platform::FileReader again(path);
            platform::FileMapping mapping(again);
            std::vector<Bookmark> partRecords;
            VouchedRecords vouched(mapping, partRecords);
            InPlaceParts parts(mapping, vouched, std::size_t{16} * 1024);
            std::string text(parts.next());
            linesOf(text, partRecords);
            if (changing)
                change();
            for (std::string_view part = parts.next(); !part.empty(); part = parts.next())
                text += part;
            EXPECT_EQ(parts.failed(), changing);
            EXPECT_EQ(text == twoParts, !changing);
            EXPECT_EQ(vouched.vouch(), !changing);
        }

        // A part prepared after the change: the helper thread touching its
        // pages meets the new end, which must not end the program either.
        tmp.write("f", twoParts);
        platform::FileReader third(path);
        platform::FileMapping ahead(third);
        const std::size_t first = ahead.map(0, 1)->size();
        change();
        ahead.prepare(first, twoParts.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // touched meanwhile
        const std::optional<std::string_view> second = ahead.map(first, twoParts.size());
        ASSERT_TRUE(second);
        ASSERT_TRUE(platform::readWholeFile(path, now));
        std::string shown = now.substr(std::min(first, now.size())); // zero bytes past its end
        shown.resize(twoParts.size() - first, '\0');
        EXPECT_EQ(*second, shown);
        EXPECT_FALSE(ahead.unchanged());
    }
}
#endif

// The marker finders answer what find and rfind answer, markers everywhere around a block's
// length, among other bytes or among many of their own first byte.
TEST(ChunkedScan, MarkerFindersAgreeWithFindAndRfind) {
    for (const std::string_view marker : {"<DT><A HREF=", "#U"}) {
        for (std::size_t size = 0; size < 140; ++size) {
            for (std::size_t at = 0; at < size; at += 3) {
                std::string text(size, size < 70 ? 'x' : marker[0]);
                text.replace(at, std::min(marker.size(), size - at), marker.substr(0, size - at));
                text.replace(size / 2, std::min<std::size_t>(2, size - size / 2),
                             marker.substr(0, 2));
                for (std::size_t from = 0; from <= size + 1; ++from) {
                    EXPECT_EQ(fnFindMarker(text, marker, from),
                              std::string_view(text).find(marker, from))
                        << text << " " << from;
                    EXPECT_EQ(fnFindLastMarker(text, marker, from + 1),
                              std::string_view(text).rfind(marker, from))
                        << text << " " << from;
                }
            }
        }
    }
}

// Chunks of every size find what the whole text's scan finds; UTF-16 what its UTF-8's scan finds.
TEST(ChunkedScan, ReadersFindTheSameInChunksOfEverySize) {
    using Read = SourceReading (*)(std::string_view, const Matcher&, std::vector<Bookmark>&,
                                   const DebugLog&, std::size_t);
    using Scan = void (*)(std::string_view, const Matcher&, std::vector<Bookmark>&);
    const std::string netscape =
        "<DL><DT><H3>F\xC3\xA4</H3>\n<DL>\n<DT><A HREF=\"http://a/\">Caf\xC3"
        "\xA9</A>\n</DL><DT><A HREF=\"http://x/\" ICON=\"" +
        std::string(70, 'i') + "\">Xylo\xF0\x9D\x84\x9E</A>\n<DT><A HREF=";
    const std::string opera = "Opera Hotlist\r\n#FOLDER\r\n\tNAME=Sub\r\n\r\n#URL\r\n\tNAME=Caf"
                              "\xC3\xA9 #URL\r\n\tURL=http://a/\r\n\r\n-\r\n#URL\r\n\tNAME=" +
                              std::string(70, 'n') + "\xF0\x9D\x84\x9E\r\n\tURL=http://x/#URL\r\n";
    const std::string openedFolders = "#FOLDER\n\tID=1\n\tCREATED=2\n\tNAME=Old\n\n-\n#FOLDER\n"
                                      "\tID=2\n\tCREATED=3\n\tNAME=Outer\n\n";
    const std::string headings = "<DL><DT><H3 ADD_DATE=\"1\"\n>Two\nlines</H3>\n<DL>\n";
    // The reader, its scanner, the text, and the byte order it is written in (none: as it is).
    const std::tuple<Read, Scan, std::string, std::optional<ByteOrder>> kinds[] = {
        {fnReadNetscapeInChunks, subScanNetscape, netscape, {}},
        {fnReadNetscapeInChunks,
         subScanNetscape,
         netscape + "<DT><A HREF=\"http://late/\">\x80</A>",
         {}},
        {fnReadNetscapeInChunks, subScanNetscape, netscape, ByteOrder::LittleEndian},
        {fnReadOperaInChunks, subScanOpera, opera, {}},
        {fnReadOperaInChunks, subScanOpera, opera + "#URL\n\tNAME=late \x9C\n\tURL=u\n", {}},
        {fnReadOperaInChunks, subScanOpera, opera, ByteOrder::BigEndian},
        // Before the first entry pieces end at line feeds: a folder's name many
        // lines into its block, and a folder's end opening a piece.
        {fnReadOperaInChunks, subScanOpera, openedFolders + opera, {}},
        {fnReadNetscapeInChunks, subScanNetscape, headings + netscape, {}},
    };
    test::TempFolder tmp;
    for (const auto& [read, scan, text, order] : kinds) {
        const std::string bytes = order ? utf16File(text, *order) : text;
        const std::string path = tmp.write("f", bytes);
        // With folder words, the first words are in folders' names only.
        const std::pair<const char*, bool> terms[] = {{"", false},         {"x", false},
                                                      {"\xC3\xA9", false}, {"f\xC3\xA4 caf", true},
                                                      {"sub caf", true},   {"outer x", true}};
        for (const auto& [term, folderWords] : terms) {
            const Matcher matcher(term, SearchMode::Both,
                                  {.anyWordOrder = true, .folderWords = folderWords});
            std::vector<Bookmark> expected;
            scan(text, matcher, expected);
            EXPECT_TRUE(folderWords || !expected.empty());
            for (std::size_t chunk = 1; chunk <= bytes.size() + 1; chunk += 1 + chunk / 16) {
                readAndInPlace(path, [&, read = read, term = term, text = std::string_view(text)] {
                    std::vector<Bookmark> found;
                    read(path, matcher, found, DebugLog::silent(), chunk);
                    // Folder paths included.
                    EXPECT_EQ(found, expected) << chunk << " " << term << " " << text;
                });
            }
        }
    }
}

// Each entry is UTF-8 or Windows-1252 alone: a non-UTF-8 byte past the first chunk changes its own.
TEST(ChunkedScan, AnEntryOutsideUtf8IsReadAsWindows1252Alone) {
    test::TempFolder tmp;
    std::string bytes = "<DT><A HREF=\"http://e/\">Caf\xC3\xA9</A>\n";
    for (int i = 0; i < 1000; ++i)
        bytes += "<DT><A HREF=\"http://s/\">S</A>\n";
    const std::string path = tmp.write("b.htm", bytes + "<DT><A HREF=\"http://l/\">Caf\xE9</A>");
    const auto inChunks = [](auto&&... args) { fnReadNetscapeInChunks(args..., 256); };
    EXPECT_EQ(test::readWith(inChunks, path, "caf\u00e9", SearchMode::Name),
              (std::vector<Bookmark>{{"Caf\u00e9", "http://e/"}, {"Caf\u00e9", "http://l/"}}));
}

// Each run keeps its first bytes, cut where a character ends, whatever the
// chunks it comes in; the bytes that end runs, and a marker met in a run past
// its kept bytes, stay; only the name and address runs count as texts cut,
// not the text before the first entry.
TEST(LongTextCut, KeepsEachRunsStartInChunksOfAnySizeAndCountsTextsCut) {
    constexpr std::string_view kMarker = "<DT><A HREF=";
    // An address to its quote, the rest of the tag, a name, then the text outside.
    constexpr LongTextRule kRuns{true, 1, "\"><", '<', 0b101};
    constexpr std::size_t kKept = LongTextCut::kKeptRunBytes;
    std::string accents;
    for (std::size_t i = 0; i < kKept / 2 + 10; ++i)
        accents += "\u00e9";
    const std::string text = std::string(kKept + 1, 'h') + "\n<DT><A HREF=\"a" + accents +
                             "\" ICON=\"" + std::string(kKept + 10, 'x') + "\">" +
                             std::string(kKept + 5, 'n') + "</A>\n<DD>" +
                             std::string(kKept + 3, 'd') + "\n<DT><A HREF=\"" +
                             std::string(kKept + 100, 'b') + "<DT><A HREF=\"u\">news</A>\n";
    const std::string expected = std::string(kKept, 'h') + "<DT><A HREF=\"a" +
                                 accents.substr(0, kKept - 2) + "\" ICON=\"" +
                                 std::string(kKept - 7, 'x') + ">" + std::string(kKept, 'n') +
                                 "</A>\n<DD>" + std::string(kKept - 3, 'd') + "<DT><A HREF=\"" +
                                 std::string(kKept, 'b') + "<DT><A HREF=\"u\">news</A>\n";
    for (const std::size_t chunk : {std::size_t{1021}, std::size_t{65537}, text.size()}) {
        LongTextCut cut(kMarker, kRuns);
        std::string kept(text.size() + kMarker.size(), '\0');
        char* end = kept.data();
        for (std::size_t at = 0; at < text.size(); at += chunk)
            end = cut.append(std::string_view(text).substr(at, chunk), end);
        kept.resize(static_cast<std::size_t>(end - kept.data()));
        EXPECT_TRUE(kept == expected) << chunk << ": " << kept.size() << " " << expected.size();
        EXPECT_EQ(cut.textsCut(), 3u) << chunk;
    }
}
