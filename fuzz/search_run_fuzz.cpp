// SPDX-License-Identifier: MIT
// A whole search run over one fuzzed file, read as a favorite, a Netscape file
// and an Opera file, with the mode, term, order and duplicate removal fuzzed,
// and again through rows kept between searches; and the file readers against
// the scans of its text, also with folder names searched.
#include "debug_log/debug_log.h"
#include "fuzz/fuzz_support.h"
#include "platform/files.h"
#include "search/run/search_run.h"
#include "search/sources/kept_rows.h"
#include "search/sources/netscape_reader.h"
#include "search/sources/opera_reader.h"
#include "text/text.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace zaptrove;
namespace fs = std::filesystem;

namespace {

// A folder for the whole fuzzing run, removed at its end.
struct ScratchFolder {
    fs::path path = fs::temp_directory_path() / ("zaptrove-fuzz-" + std::to_string(getpid()));
    ScratchFolder() { fs::create_directories(path); }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

using Read = SourceReading (*)(std::string_view, const Matcher&, std::vector<Bookmark>&,
                               const DebugLog&, std::size_t);
using Scan = void (*)(std::string_view, const Matcher&, std::vector<Bookmark>&);
constexpr std::pair<Read, Scan> kReaders[] = {{fnReadNetscapeInChunks, subScanNetscape},
                                              {fnReadOperaInChunks, subScanOpera}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder scratch;
    const std::string file = (scratch.path / "fuzzed.url").string();

    FuzzedDataProvider input(data, size);
    const fuzz::FuzzedQuery query(input);
    Settings settings;
    settings.Function = query.function;
    settings.Sort = input.ConsumeIntegralInRange<std::int16_t>(SORT_NAME, SORT_SEARCHED);
    settings.Duplicates = input.ConsumeBool() ? DUPS_REMOVE : DUPS_KEEP;
    settings.DoMSIE = settings.DoNetscape = settings.DoOpera = DO_YES;
    settings.MSIEMain = scratch.path.string() + "\\";
    settings.NetscapeMain = settings.OperaMain = file;
    settings.DebugMode = DEBUG_ON;
    const auto chunkBytes = input.ConsumeIntegralInRange<std::size_t>(1, 64);
    {
        const std::string text = input.ConsumeRemainingBytesAsString();
        std::ofstream(file, std::ios::binary | std::ios::trunc).write(text.data(), text.size());
    }
    // Changed long enough ago that its rows may be kept.
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const DebugLog log(settings.DebugMode, platform::systemClock(), "/dev/null");
    const SearchOutcome outcome = subSearch(fnSearchRequest(query.term, settings), log);
    fuzz::require(outcome.Found == !outcome.Results.empty() &&
                  outcome.Lines.size() == outcome.Results.size());

    // The rows kept give what the reading gives, when first kept and after.
    KeptRows kept;
    SearchRequest keeping = fnSearchRequest(query.term, settings);
    keeping.keptRows = &kept;
    for (int time = 0; time < 2; ++time) {
        const SearchOutcome fromKept = subSearch(keeping, log);
        fuzz::require(fromKept.Results == outcome.Results && fromKept.Lines == outcome.Lines);
    }

    // Each reader, in small chunks, finds in the file what its scan finds in the
    // file's bytes, or their UTF-8 when they are UTF-16.
    std::string bytes, decoded;
    platform::readWholeFile(file, bytes);
    const std::string_view text = platform::utf16WithMarkAsUtf8(bytes, decoded);
    for (const auto& [read, scan] : kReaders) {
        std::vector<Bookmark> fromFile, fromText;
        Matcher fileMatcher = query.matcher(), textMatcher = query.matcher();
        read(file, fileMatcher, fromFile, log, chunkBytes);
        scan(text, textMatcher, fromText);
        fuzz::require(fromFile == fromText);
    }

    // With folder names searched, a reader skips by a word only where the
    // folders around lack it: it keeps exactly those of all its bookmarks that
    // match with their folder path, whole or in chunks.
    const Matcher byFolders(query.term + " a", fnSearchMode(query.function),
                            {.anyWordOrder = true, .folderWords = true});
    if (byFolders.searchesFolders()) {
        MatchScratch matchScratch;
        std::vector<bool> held;
        for (const auto& [read, scan] : kReaders) {
            std::vector<Bookmark> expected, fromFile, fromText;
            scan(text, Matcher("", byFolders.mode()), expected);
            std::erase_if(expected, [&](const Bookmark& found) {
                byFolders.wordsIn(found.Folder.text(), held, matchScratch);
                return !byFolders.matchesWithFolders(found.Name, found.URL, held, matchScratch);
            });
            read(file, byFolders, fromFile, log, chunkBytes);
            scan(text, byFolders, fromText);
            fuzz::require(fromFile == expected && fromText == expected);
        }
    }
    return 0;
}
