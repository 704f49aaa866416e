// SPDX-License-Identifier: MIT
// The Firefox reader over any places.sqlite, with a write-ahead log cut from
// the input's end when its last bytes ask for one, a fuzzed query, folder
// names searched or not, and a keyword looked for; then again listing every
// bookmark.
#include "fuzz/fuzz_support.h"
#include "search/records/name_with_tags.h"
#include "search/sources/firefox_reader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <unistd.h>

using namespace zaptrove;
namespace fs = std::filesystem;

namespace {

// The profile folder the inputs are written to, removed at the end of the
// fuzzing run.
struct ScratchProfile {
    fs::path path =
        fs::temp_directory_path() / ("zaptrove-fuzz-places-" + std::to_string(getpid()));
    ScratchProfile() { fs::create_directories(path); }
    ~ScratchProfile() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

void write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Whether the matcher keeps the record as the reader gave it.
bool matches(const Matcher& matcher, const Bookmark& record) {
    MatchScratch scratch;
    std::string tagged;
    const std::string_view name =
        fnNameWithTags(record.Name, record.extras.get().tags.get(), tagged);
    if (!matcher.searchesFolders()) {
        return matcher.matches(name, record.URL, scratch);
    }
    std::vector<bool> folderWords;
    matcher.wordsIn(record.Folder.text(), folderWords, scratch);
    return matcher.matchesWithFolders(name, record.URL, folderWords, scratch);
}

// What a record shows: its tags by their names, not by the list shared within a reading.
auto shown(const Bookmark& record) {
    const auto& tags = record.extras.get().tags;
    return std::tuple(record.Name, record.URL, record.Folder.text(), record.Frecency,
                      tags ? *tags : std::vector<std::string>());
}

} // namespace

// The input's last bytes: the query's mode and term, whether folder names are
// searched, and the log's size (two bytes, the last one high); the log is
// what precedes them, the database the rest.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchProfile profile;
    FuzzedDataProvider input(data, size);
    const fuzz::FuzzedQuery query(input);
    MatchRules rules;
    rules.folderWords = input.ConsumeBool();
    const Matcher matcher(query.term, fnSearchMode(query.function), rules);
    const std::size_t logBytes =
        std::min<std::size_t>(input.ConsumeIntegral<std::uint16_t>(), input.remaining_bytes());
    const std::string database = input.ConsumeBytesAsString(input.remaining_bytes() - logBytes);
    write(profile.path / "places.sqlite", database);
    write(profile.path / "places.sqlite-wal", input.ConsumeRemainingBytesAsString());

    std::vector<Bookmark> found;
    KeywordLookup keyword{"kw"};
    const SourceReading reading =
        fnReadFirefoxPlaces(profile.path.string(), matcher, found, &keyword);
    // A reading counts each bookmark it keeps; one that failed keeps none.
    fuzz::require(found.size() <= reading.BookmarkCount);
    fuzz::require(!reading.unreadable() || !keyword.found);
    for (const Bookmark& record : found) {
        fuzz::require(!record.URL.starts_with("place:") && matches(matcher, record));
    }
    if (keyword.found) {
        fuzz::require(!keyword.found->URL.starts_with("place:"));
    }
    // Matched inside SQLite's scan or not, in one go or in two halves, a search
    // finds what a listing of every bookmark holds that matches, in its order.
    std::vector<Bookmark> every;
    const SourceReading listing =
        fnReadFirefoxPlaces(profile.path.string(), Matcher("", SearchMode::Both, rules), every);
    if (reading.readWhole() && listing.readWhole()) {
        std::erase_if(every, [&](const Bookmark& record) { return !matches(matcher, record); });
        fuzz::require(every.size() == found.size() &&
                      listing.BookmarkCount == reading.BookmarkCount);
        for (std::size_t at = 0; at < found.size(); ++at) {
            fuzz::require(shown(every[at]) == shown(found[at]));
        }
    }
    return 0;
}
