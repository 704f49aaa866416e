// SPDX-License-Identifier: MIT
#include "search/sources/opera_reader.h"

#include "search/matching/matcher.h"
#include "search/scanning/chunked_scan.h"
#include "search/scanning/entry_encoding.h"

#include <string>

namespace zaptrove {

namespace {

constexpr std::string_view kMarker = "#URL";
constexpr std::size_t npos = std::string_view::npos;
// A "#URL" that some block does not start lies inside a name or address, on a
// line of its own with "NAME=" or "URL=" before it; one that opens a line
// therefore always starts a block.
constexpr BlockRule kBlocks{
    kMarker, [](std::string_view text, std::size_t at) { return text[at - 1] == '\n'; }};

// The text from start to the next line feed (or the end of the text), without
// a final carriage return.
std::string_view lineFrom(std::string_view text, std::size_t start, std::size_t& end) {
    end = text.find('\n', start);
    std::string_view line = text.substr(start, end == npos ? npos : end - start);
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

// The next key that starts a line (after any indentation) at or after `from`,
// so that "SHORT NAME=" is not taken for "NAME=" nor "DISPLAY URL=" for "URL=".
std::size_t findKey(std::string_view text, std::string_view key, std::size_t from) {
    for (std::size_t found = text.find(key, from); found != npos;
         found = text.find(key, found + 1)) {
        const std::size_t before = found == 0 ? npos : text.find_last_not_of(" \t", found - 1);
        if (before == npos || text[before] == '\n') {
            return found;
        }
    }
    return npos;
}

// Cuts the block at marker and keeps its bookmark when it has both keys and
// matches; answers where the next block starts, npos when none can follow.
std::size_t scanBlock(std::string_view text, std::size_t marker, const Matcher& matcher,
                      MatchScratch& scratch, std::vector<Bookmark>& candidates,
                      EntryEncoding& encoding) {
    const std::size_t nextMarker = text.find(kMarker, marker + kMarker.size());
    const std::size_t nameKey = findKey(text, "NAME=", marker + kMarker.size());
    if (nameKey == npos || nameKey > nextMarker) {
        return nextMarker; // no name in this block
    }
    std::size_t nameEnd = 0;
    std::string_view name = lineFrom(text, nameKey + 5, nameEnd);
    if (nameEnd == npos) {
        return npos; // the name runs to the end of the file: no address can follow
    }
    // A "#URL" inside the name itself does not start a block.
    const std::size_t blockEnd =
        nextMarker == npos || nextMarker >= nameEnd ? nextMarker : text.find(kMarker, nameEnd);
    const std::size_t urlKey = findKey(text, "URL=", nameEnd);
    if (urlKey == npos || urlKey > blockEnd) {
        return blockEnd; // no address after the name in this block
    }
    std::size_t urlEnd = 0;
    std::string_view url = lineFrom(text, urlKey + 4, urlEnd);
    encoding.decode(name, url);
    if (matcher.matches(name, url, scratch)) {
        candidates.push_back({std::string(name), std::string(url)});
    }
    if (urlEnd == npos) {
        return npos;
    }
    return blockEnd == npos || blockEnd >= urlEnd ? blockEnd : text.find(kMarker, urlEnd);
}

// subScanOpera with the scratch memory of the whole read.
void scanOpera(std::string_view text, const Matcher& matcher, MatchScratch& scratch,
               std::vector<Bookmark>& candidates) {
    EntryEncoding encoding;
    subScanBlocksThatCanMatch(text, kBlocks, matcher.prefilter(), [&](std::size_t marker) {
        return scanBlock(text, marker, matcher, scratch, candidates, encoding);
    });
}

} // namespace

void subScanOpera(std::string_view pText, const Matcher& pMatcher,
                  std::vector<Bookmark>& pCandidates) {
    MatchScratch scratch;
    scanOpera(pText, pMatcher, scratch, pCandidates);
}

SourceReading fnReadOpera(std::string_view pPath, const Matcher& pMatcher,
                          std::vector<Bookmark>& pCandidates, const DebugLog& pLog) {
    return fnReadOperaInChunks(pPath, pMatcher, pCandidates, pLog, kFileChunkBytes);
}

SourceReading fnReadOperaInChunks(std::string_view pPath, const Matcher& pMatcher,
                                  std::vector<Bookmark>& pCandidates, const DebugLog& pLog,
                                  std::size_t pChunkBytes) {
    MatchScratch scratch;
    return fnReadFileInChunks(
        pPath, "Opera", kBlocks, pCandidates,
        [&](std::string_view text) { scanOpera(text, pMatcher, scratch, pCandidates); }, pLog,
        pChunkBytes);
}

} // namespace zaptrove
