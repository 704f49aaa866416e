// SPDX-License-Identifier: MIT
#include "search/sources/opera_reader.h"

#include "search/matching/matcher.h"
#include "search/scanning/byte_pairs.h"
#include "search/scanning/chunked_scan.h"
#include "search/scanning/entry_encoding.h"
#include "search/scanning/folder_match.h"
#include "search/scanning/folder_trail.h"
#include "search/scanning/long_text_cut.h"
#include "text/text.h"

#include <optional>
#include <string>

namespace zaptrove {

namespace {

constexpr std::string_view kMarker = "#URL";
constexpr std::size_t npos = std::string_view::npos;
// A "#URL" that some block does not start lies inside a name or address, on a
// line of its own with "NAME=" or "URL=" before it; one that opens a line
// therefore always starts a block.
// A name or address fills the rest of its line.
constexpr LongTextRule kLines;
constexpr BlockRule kBlocks{
    .marker = kMarker,
    .isSureStart = [](std::string_view text, std::size_t at) { return text[at - 1] == '\n'; },
    .longText = &kLines};

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

// The folders around the place the scan has come to: a "#FOLDER" block that
// opens a line starts one, named by its "NAME=" line, and a line of "-" alone
// ends the innermost. A piece may end inside a folder's block (before the
// first entry pieces end at line feeds), so its name may come pieces later.
class OperaFolders {
  public:
    void startPiece() {
        lines_.restart();
        pieceStarts_ = true;
    }
    // Follows the folders of text before `to`.
    void advance(std::string_view text, std::size_t to) {
        if (pieceStarts_) {
            pieceStarts_ = false;
            continueLastPiece(text);
        }
        lines_.meetBefore(text, to, [&](std::size_t at) {
            if (text[at] == '#') {
                if (opensLine(text, at) && text.substr(at).starts_with("#FOLDER")) {
                    const auto name = folderName(text, at);
                    trail_.enter(name.value_or(""));
                    nameAwaited_ = !name && !endsBefore(text, at, text.size());
                }
            } else if (endsFolder(text, at + 1)) {
                trail_.leave();
            }
        });
        if (to == text.size()) {
            lastEndedLine_ = text.ends_with('\n');
        }
    }
    FolderPath path() { return trail_.path(); }
    // After advance, the next place where the folders may change; npos when
    // none is left in text.
    std::size_t nextChange(std::string_view text) { return lines_.next(text); }

  private:
    // What the last piece left open: the name of the folder whose block it
    // ended in, or a line of "-" that opens this piece after a line feed.
    void continueLastPiece(std::string_view text) {
        const bool opensLine = lastEndedLine_;
        if (nameAwaited_) {
            const bool blockEnded = opensLine && (text.starts_with('#') || text.starts_with('-'));
            // A piece that starts inside a line finds the name only on a line of its own.
            const std::size_t from = opensLine ? 0 : text.find('\n');
            const auto name = blockEnded || from == npos ? std::nullopt : folderName(text, from);
            if (name) {
                trail_.rename(*name);
            }
            nameAwaited_ = !blockEnded && !name && !endsBefore(text, 0, text.size());
        }
        if (opensLine && endsFolder(text, 0)) {
            trail_.leave();
        }
    }

    bool opensLine(std::string_view text, std::size_t at) const {
        return at == 0 ? lastEndedLine_ : text[at - 1] == '\n';
    }

    // Whether the line at `at` is a "-" alone.
    static bool endsFolder(std::string_view text, std::size_t at) {
        return text.substr(at, 1) == "-" &&
               (at + 1 == text.size() || text[at + 1] == '\r' || text[at + 1] == '\n');
    }

    // Whether the block at `at` ends before `end`: another block or a folder's
    // end opens a line between them.
    static bool endsBefore(std::string_view text, std::size_t at, std::size_t end) {
        const std::string_view block = text.substr(at, end - at);
        return block.find("\n#") != npos || block.find("\n-") != npos;
    }

    // The name on the "NAME=" line of the block at `at`, without the blanks
    // some files leave after it; nothing when the block has none.
    std::optional<std::string_view> folderName(std::string_view text, std::size_t at) {
        const std::size_t key = findKey(text, "NAME=", at);
        if (key == npos || endsBefore(text, at, key)) {
            return std::nullopt;
        }
        std::size_t end = 0;
        std::string_view name = lineFrom(text, key + 5, end);
        name = name.substr(0, name.find_last_not_of(" \t") + 1);
        std::string_view none;
        encoding_.decode(name, none);
        return platform::cutBeforeCharacter(name, kMaxEntryTextBytes);
    }

    // "#F" may start a folder block, "\n-" a line that ends one.
    BytePairCursor lines_{{{'#', 'F'}, {'\n', '-'}}};
    FolderTrail trail_;
    EntryEncoding encoding_;
    bool nameAwaited_ = false;
    bool pieceStarts_ = true;
    bool lastEndedLine_ = true; // the file's start opens a line too
};

// Cuts the block at marker and keeps its bookmark when it has both keys and
// matches; answers where the next block starts, npos when none can follow.
std::size_t scanBlock(std::string_view text, std::size_t marker, const Matcher& matcher,
                      MatchScratch& scratch, std::vector<Bookmark>& candidates,
                      EntryEncoding& encoding, OperaFolders& folders, FolderMatch& match,
                      std::size_t& cutTexts) {
    const std::size_t nextMarker = fnFindMarker(text, kMarker, marker + kMarker.size());
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
    const std::size_t blockEnd = nextMarker == npos || nextMarker >= nameEnd
                                     ? nextMarker
                                     : fnFindMarker(text, kMarker, nameEnd);
    const std::size_t urlKey = findKey(text, "URL=", nameEnd);
    if (urlKey == npos || urlKey > blockEnd) {
        return blockEnd; // no address after the name in this block
    }
    std::size_t urlEnd = 0;
    std::string_view url = lineFrom(text, urlKey + 4, urlEnd);
    const std::string_view rawName = name;
    const std::string_view rawUrl = url;
    encoding.decode(name, url);
    name = fnCutEntryText(rawName, name, cutTexts);
    url = fnCutEntryText(rawUrl, url, cutTexts);
    const auto folder = [&] {
        folders.advance(text, marker);
        return folders.path();
    };
    if (match.matches(matcher, name, url, folder, scratch)) {
        Bookmark& kept = candidates.emplace_back();
        kept.Name.assign(name);
        kept.URL.assign(url);
        if (matcher.followsFolders()) {
            kept.Folder = folder();
        }
    }
    if (urlEnd == npos) {
        return npos;
    }
    return blockEnd == npos || blockEnd >= urlEnd ? blockEnd : fnFindMarker(text, kMarker, urlEnd);
}

// subScanOpera over one piece of the text, with the memory of the whole read.
void scanOpera(std::string_view text, const Matcher& matcher, MatchScratch& scratch,
               std::vector<Bookmark>& candidates, OperaFolders& folders, std::size_t& cutTexts) {
    EntryEncoding encoding;
    FolderMatch match;
    folders.startPiece();
    subScanBlocksThatCanMatch(
        text, kBlocks, matcher.prefilter(),
        [&](std::size_t marker) {
            return scanBlock(text, marker, matcher, scratch, candidates, encoding, folders, match,
                             cutTexts);
        },
        [&](std::size_t from) { return match.bound(matcher, folders, text, from, scratch); });
    if (matcher.followsFolders()) {
        folders.advance(text, text.size());
    }
}

} // namespace

void subScanOpera(std::string_view pText, const Matcher& pMatcher,
                  std::vector<Bookmark>& pCandidates) {
    MatchScratch scratch;
    OperaFolders folders;
    std::size_t cutTexts = 0;
    scanOpera(pText, pMatcher, scratch, pCandidates, folders, cutTexts);
}

SourceReading fnReadOpera(std::string_view pPath, const Matcher& pMatcher,
                          std::vector<Bookmark>& pCandidates, const DebugLog& pLog) {
    return fnReadOperaInChunks(pPath, pMatcher, pCandidates, pLog, kFileChunkBytes);
}

SourceReading fnReadOperaInChunks(std::string_view pPath, const Matcher& pMatcher,
                                  std::vector<Bookmark>& pCandidates, const DebugLog& pLog,
                                  std::size_t pChunkBytes) {
    std::size_t cutTexts = 0;
    return fnReadFileInChunks(
        pPath, "Opera", kBlocks, pCandidates,
        [&]() -> PieceScan {
            cutTexts = 0;
            return [&pMatcher, &pCandidates, &cutTexts, scratch = MatchScratch(),
                    folders = OperaFolders()](std::string_view text) mutable {
                scanOpera(text, pMatcher, scratch, pCandidates, folders, cutTexts);
            };
        },
        cutTexts, pLog, pChunkBytes);
}

} // namespace zaptrove
