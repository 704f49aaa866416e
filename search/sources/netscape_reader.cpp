// SPDX-License-Identifier: MIT
#include "search/sources/netscape_reader.h"

#include "search/matching/matcher.h"
#include "search/scanning/byte_pairs.h"
#include "search/scanning/character_references.h"
#include "search/scanning/chunked_scan.h"
#include "search/scanning/entry_encoding.h"
#include "search/scanning/folder_match.h"
#include "search/scanning/long_text_cut.h"
#include "search/sources/netscape_folders.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

namespace zaptrove {

namespace {

constexpr std::string_view kMarker = "<DT><A HREF=";
// An entry is cut when its raw text may hold the term, or when a character
// reference in it stands for a character the term may hold.
bool referenceMayHold(std::string_view text, std::size_t at, const MatchPrefilter& prefilter) {
    const std::optional<CharacterReference> reference = fnCharacterReferenceAt(text.substr(at));
    return reference && prefilter.mayHold(reference->character);
}
// Every occurrence of the marker starts an entry.
// An entry's address ends at its quote, the rest of its tag at ">", its name
// at the next tag; the address and the name are the entry's texts.
constexpr LongTextRule kRuns{true, 1, "\"><", '<', 0b101};
constexpr BlockRule kEntries{kMarker, [](std::string_view, std::size_t) { return true; }, '&',
                             referenceMayHold, &kRuns};
// Firefox's saved queries ("Most Visited"), which only the browser can open.
constexpr std::string_view kQueryScheme = "place:";
constexpr std::size_t npos = std::string_view::npos;

// A name or address with its character references decoded; text without any
// is answered as it is, without a copy.
struct DecodedText {
    std::string buffer;
    std::string_view decode(std::string_view raw) {
        if (raw.find('&') == npos) {
            return raw;
        }
        buffer = fnDecodeCharacterReferences(raw);
        return buffer;
    }
};

struct DecodedEntry {
    EntryEncoding encoding;
    DecodedText name;
    DecodedText address;
    NetscapeFolders folders; // followed through the whole text, joined for a match only
    FolderMatch match;
    std::size_t cutTexts = 0; // names and addresses cut at kMaxEntryTextBytes
};

// Cuts the entry at marker and keeps it when it matches; answers where the next
// entry starts.
std::size_t scanEntry(std::string_view text, std::size_t marker, const Matcher& matcher,
                      MatchScratch& scratch, std::vector<Bookmark>& candidates,
                      DecodedEntry& decoded) {
    // The character after the marker is the opening quote; the address follows it.
    const std::size_t tagStart = marker + kMarker.size();
    const std::size_t addressStart = tagStart + 1;
    const std::size_t addressEnd = text.find('"', addressStart);
    const std::size_t tagEnd = addressEnd == npos ? npos : text.find('>', addressEnd + 1);
    const std::size_t nameStart = tagEnd + 1;
    // The next "<" is at the latest the next entry's own first character, so
    // a name without its closing tag never hides the entry after it.
    const auto findNameEnd = [&] { return std::min(text.find('<', nameStart), text.size()); };
    // An entry starts with "<": when the address and the rest of the tag hold
    // none, the next one is looked for only from the name's end on.
    const bool tagHoldsNoEntry =
        tagEnd != npos && text.substr(tagStart, tagEnd - tagStart).find('<') == npos;
    std::size_t nameEnd = tagHoldsNoEntry ? findNameEnd() : npos;
    const std::size_t nextMarker =
        fnFindMarker(text, kMarker, tagHoldsNoEntry ? nameEnd : tagStart);
    if (tagEnd >= (nextMarker == npos ? text.size() : nextMarker)) {
        // No closing quote or ">" before the next entry: skip this one.
        return nextMarker;
    }
    if (!tagHoldsNoEntry) {
        nameEnd = findNameEnd();
    }
    const std::string_view rawAddress = text.substr(addressStart, addressEnd - addressStart);
    const std::string_view rawName = text.substr(nameStart, nameEnd - nameStart);
    std::string_view address = rawAddress;
    std::string_view name = rawName;
    decoded.encoding.decode(name, address);
    address = fnCutEntryText(rawAddress, decoded.address.decode(address), decoded.cutTexts);
    name = fnCutEntryText(rawName, decoded.name.decode(name), decoded.cutTexts);
    const auto folder = [&] {
        decoded.folders.advance(text, marker);
        return decoded.folders.path();
    };
    if (!address.starts_with(kQueryScheme) &&
        decoded.match.matches(matcher, name, address, folder, scratch)) {
        Bookmark& kept = candidates.emplace_back();
        kept.Name.assign(name);
        kept.URL.assign(address);
        if (matcher.followsFolders()) {
            kept.Folder = folder();
        }
    }
    return nextMarker;
}

// subScanNetscape over one piece of the text, with the memory of the whole read.
void scanNetscape(std::string_view text, const Matcher& matcher, MatchScratch& scratch,
                  std::vector<Bookmark>& candidates, DecodedEntry& decoded) {
    decoded.folders.startPiece();
    subScanBlocksThatCanMatch(
        text, kEntries, matcher.prefilter(),
        [&](std::size_t marker) {
            return scanEntry(text, marker, matcher, scratch, candidates, decoded);
        },
        [&](std::size_t from) {
            return decoded.match.bound(matcher, decoded.folders, text, from, scratch);
        });
    if (matcher.followsFolders()) {
        decoded.folders.advance(text, text.size());
    }
}

} // namespace

void subScanNetscape(std::string_view pText, const Matcher& pMatcher,
                     std::vector<Bookmark>& pCandidates) {
    MatchScratch scratch;
    DecodedEntry decoded;
    scanNetscape(pText, pMatcher, scratch, pCandidates, decoded);
}

SourceReading fnReadNetscape(std::string_view pPath, const Matcher& pMatcher,
                             std::vector<Bookmark>& pCandidates, const DebugLog& pLog) {
    return fnReadNetscapeInChunks(pPath, pMatcher, pCandidates, pLog, kFileChunkBytes);
}

SourceReading fnReadNetscapeInChunks(std::string_view pPath, const Matcher& pMatcher,
                                     std::vector<Bookmark>& pCandidates, const DebugLog& pLog,
                                     std::size_t pChunkBytes) {
    std::size_t cutTexts = 0;
    return fnReadFileInChunks(
        pPath, "Netscape", kEntries, pCandidates,
        [&]() -> PieceScan {
            cutTexts = 0;
            return [&pMatcher, &pCandidates, &cutTexts, scratch = MatchScratch(),
                    decoded = DecodedEntry()](std::string_view text) mutable {
                scanNetscape(text, pMatcher, scratch, pCandidates, decoded);
                cutTexts += std::exchange(decoded.cutTexts, 0);
            };
        },
        cutTexts, pLog, pChunkBytes);
}

} // namespace zaptrove
