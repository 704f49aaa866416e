// SPDX-License-Identifier: MIT
#include "search/scanning/chunked_scan.h"

#include "debug_log/debug_log.h"
#include "platform/file_mapping.h"
#include "platform/files.h"
#include "search/records/record_drain.h"
#include "search/scanning/byte_pairs.h"
#include "text/text.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

namespace zaptrove {

namespace {

constexpr std::size_t npos = std::string_view::npos;
// Lines cut, for a rule that tells no runs of its own.
constexpr LongTextRule kLongLines;

// The text read so far that no piece has taken yet, in one buffer that grows
// only when a single entry outgrows it. A file that starts with a UTF-16
// byte-order mark is turned into UTF-8 on the way.
class Window {
  public:
    // firstBytes are the file's first bytes, already read: a byte-order mark or text.
    Window(platform::FileReader& file, const BlockRule& rule, std::size_t chunkBytes,
           std::string_view firstBytes)
        : file_(file), chunkBytes_(chunkBytes),
          cut_(rule.marker, rule.longText != nullptr ? *rule.longText : kLongLines) {
        if (const auto order = platform::utf16ByteOrder(firstBytes)) {
            utf16_.emplace(*order);
        } else {
            take(firstBytes);
        }
    }

    std::string_view text() const { return {buffer_.data(), filled_}; }

    // Appends the file's next chunk; answers whether one came (false at the end
    // of the file), or nothing when reading fails.
    std::optional<bool> fill() {
        raw_.resize(chunkBytes_);
        const std::optional<std::size_t> got = file_.readNext(raw_.data(), chunkBytes_);
        if (!got) {
            return std::nullopt;
        }
        if (!utf16_) {
            take(std::string_view(raw_.data(), *got));
            return *got != 0;
        }
        utf8_.resize(platform::Utf16Decoder::maxUtf8Bytes(*got));
        const char* const end =
            *got == 0 ? utf16_->finish(utf8_.data())
                      : utf16_->append(std::string_view(raw_.data(), *got), utf8_.data());
        take(std::string_view(utf8_.data(), static_cast<std::size_t>(end - utf8_.data())));
        return *got != 0;
    }

    // Drops the first count bytes of the text.
    void drop(std::size_t count) {
        std::memmove(buffer_.data(), buffer_.data() + count, filled_ - count);
        filled_ -= count;
    }

    // The names and addresses cut on the way (see LongTextCut).
    std::size_t textsCut() const { return cut_.textsCut(); }

  private:
    // Appends what is kept of text (see LongTextCut).
    void take(std::string_view text) {
        char* const start = room(cut_.maxOutput(text.size()));
        filled_ += cut_.append(text, start) - start;
    }

    char* room(std::size_t size) {
        if (buffer_.size() - filled_ < size) {
            buffer_.resize(std::max({2 * buffer_.size(), filled_ + size, 2 * chunkBytes_}));
        }
        return buffer_.data() + filled_;
    }

    platform::FileReader& file_;
    const std::size_t chunkBytes_;
    std::string buffer_; // its size is the room; filled_ bytes of it are text
    std::size_t filled_ = 0;
    LongTextCut cut_;
    std::optional<platform::Utf16Decoder> utf16_;
    std::string raw_;  // a chunk as read
    std::string utf8_; // and turned from UTF-16 into UTF-8
};

// The text not taken yet, in place in the file's mapped pages, never copied:
// each fill takes the rest of the part mapped, and once it is used up, maps
// the next part from the text not taken yet on. Pieces as long as a part
// spare the search for the last sure start of every chunk, which goes back
// through an entry's whole length (a Netscape export's icons run to many
// kilobytes).
class MappedWindow {
  public:
    MappedWindow(platform::FileMapping& file, std::size_t chunkBytes)
        : file_(file), chunkBytes_(chunkBytes),
          partBytes_(chunkBytes >= kFileChunkBytes ? kMappedPartBytes
                                                   : chunkBytes * kChunksInPart) {}

    std::string_view text() const { return text_; }

    // As Window::fill; nothing when the next part cannot be mapped, or the text
    // not taken (one entry) has grown past a part: it is then read instead.
    std::optional<bool> fill() {
        if (end_ == file_.length()) {
            return false;
        }
        if (end_ == partEnd_) {
            if (end_ - start_ > kMappedPartBytes) {
                return std::nullopt; // an entry too long to hold whole: read it through a Window
            }
            const std::optional<std::string_view> part = file_.map(start_, partBytesFrom(start_));
            if (!part) {
                return std::nullopt;
            }
            part_ = part->data();
            partStart_ = start_;
            partEnd_ = start_ + part->size();
        }
        end_ = partEnd_;
        text_ = std::string_view(part_ + (start_ - partStart_), end_ - start_);
        return true;
    }

    void drop(std::size_t count) {
        start_ += count;
        text_.remove_prefix(count);
    }

    // Has the part the next fill maps, once count bytes are dropped, mapped
    // and its pages faulted in meanwhile, while the text before is scanned.
    void prepareAfterDrop(std::size_t count) {
        if (end_ == partEnd_ && end_ < file_.length()) {
            file_.prepare(start_ + count, partBytesFrom(start_ + count));
        }
    }

  private:
    // At least a chunk more than the text not taken yet, from `from` on.
    std::size_t partBytesFrom(std::uint64_t from) const {
        return std::max(partBytes_, static_cast<std::size_t>(end_ - from) + chunkBytes_);
    }

    // As many chunks as a part holds of the usual ones, for smaller chunks too.
    static constexpr std::size_t kChunksInPart = kMappedPartBytes / kFileChunkBytes;

    platform::FileMapping& file_;
    const std::size_t chunkBytes_;
    const std::size_t partBytes_; // mapped at a time, more for an entry longer than that
    std::string_view text_;
    std::uint64_t start_ = 0;    // where text_ starts in the file
    std::uint64_t end_ = 0;      // and where it ends
    const char* part_ = nullptr; // the part mapped, from partStart_ to partEnd_ in the file
    std::uint64_t partStart_ = 0;
    std::uint64_t partEnd_ = 0;
};

// The file's first two bytes, fewer when it is shorter; nothing when reading fails.
std::optional<std::string> firstBytes(platform::FileReader& file) {
    char bytes[2];
    std::size_t have = 0;
    while (have < sizeof bytes) {
        const std::optional<std::size_t> got = file.readNext(bytes + have, sizeof bytes - have);
        if (!got) {
            return std::nullopt;
        }
        if (*got == 0) {
            break;
        }
        have += *got;
    }
    return std::string(bytes, have);
}

// The last sure block start at or after from (at least 1), npos when none.
// Only the text from `from` on is searched, so that an entry carried over many
// chunks is not searched again with each of them.
std::size_t lastSureStart(std::string_view text, const BlockRule& rule, std::size_t from) {
    const std::string_view searched = text.substr(std::min(from, text.size()));
    for (std::size_t at = fnFindLastMarker(searched, rule.marker, searched.size()); at != npos;
         at = fnFindLastMarker(searched, rule.marker, at)) {
        if (rule.isSureStart(text, from + at)) {
            return from + at;
        }
    }
    return npos;
}

// Where text without any marker can end a piece: after its last line feed,
// so that the folder headings before the first entry come whole; a line
// longer than kFileChunkBytes before a marker its last bytes may begin. The
// first `known` bytes hold no line feed, so only the rest is searched.
std::size_t endBeforeTail(std::string_view text, std::size_t known, std::size_t markerSize) {
    if (const std::size_t lineEnd = text.substr(known).rfind('\n'); lineEnd != npos) {
        return known + lineEnd + 1;
    }
    return text.size() < std::max(markerSize, kFileChunkBytes) ? 0 : text.size() - (markerSize - 1);
}

// Scans the text of the window piece by piece while scan answers true; false
// when the text cannot be taken to its end, or scan stopped it.
//
// The window may show the bytes of a mapped file that another program writes
// meanwhile, so that two looks at one place differ: nothing here, nor in the
// scans of the pieces, may rely on a byte being what an earlier look found.
// Every search is bounded by its text's end and answers a place within it,
// and every place taken next lies past the one before (a piece ends at a
// marker found after `fresh`, or at the text's end; the blocks cut follow one
// another), so changing bytes give wrong pieces at worst, which the caller
// then drops, never a read out of bounds or a loop without end.
template <typename TextWindow, typename Scan>
bool scanPieces(TextWindow& window, const BlockRule& rule, const Scan& scan) {
    bool blockSeen = false;
    std::size_t noLineFeed = 0; // the window's first bytes known to hold no line feed
    for (;;) {
        // A marker starting before `fresh` was seen whole by an earlier chunk's look.
        const std::size_t before = window.text().size();
        const std::size_t fresh =
            before >= rule.marker.size() ? before - rule.marker.size() + 1 : 0;
        const std::optional<bool> more = window.fill();
        if (!more) {
            return false;
        }
        const std::string_view text = window.text();
        std::size_t pieceEnd = text.size();
        if (*more) {
            blockSeen = blockSeen || fnFindMarker(text, rule.marker, fresh) != npos;
            pieceEnd = blockSeen ? lastSureStart(text, rule, std::max<std::size_t>(fresh, 1))
                                 : endBeforeTail(text, noLineFeed, rule.marker.size());
            pieceEnd = pieceEnd == npos ? 0 : pieceEnd;
            noLineFeed = text.size() - pieceEnd; // what stays is after the last line feed
        }
        if (pieceEnd > 0 && !scan(text.substr(0, pieceEnd))) {
            return false;
        }
        if (!*more) {
            return true;
        }
        window.drop(pieceEnd);
    }
}

// Scans the file in its mapped pages where that is safe (see FileMapping);
// answers the records kept, or nothing when the file is to be read instead:
// it cannot be mapped, it is UTF-16, or it changed under the scan, whose
// records are then all dropped.
std::optional<std::size_t> scanInPlace(platform::FileReader& file, const BlockRule& rule,
                                       std::vector<Bookmark>& candidates, const PieceScan& scan,
                                       std::size_t chunkBytes) {
    platform::FileMapping mapping(file);
    const std::optional<std::string_view> start = mapping.map(0, 2);
    if (!start || platform::utf16ByteOrder(*start)) {
        return std::nullopt;
    }
    VouchedRecords records(mapping, candidates);
    MappedWindow window(mapping, chunkBytes);
    const bool whole = scanPieces(window, rule,
                                  [&](std::string_view piece) {
                                      window.prepareAfterDrop(piece.size());
                                      scan(piece);
                                      return records.vouch();
                                  }) &&
                       mapping.unchanged();
    if (!whole) {
        records.dropAll();
        return std::nullopt;
    }
    return records.kept();
}

// Reads the whole file through a buffer; false when it cannot be read to its
// end. Adds the names and addresses cut on the way to textsCut.
bool scanRead(platform::FileReader& file, const BlockRule& rule, std::size_t chunkBytes,
              const std::function<bool(std::string_view)>& scan, std::size_t& textsCut) {
    const std::optional<std::string> first = firstBytes(file);
    if (!first) {
        return false;
    }
    Window window(file, rule, chunkBytes, *first);
    const bool whole = scanPieces(window, rule, scan);
    textsCut += window.textsCut();
    return whole;
}

} // namespace

VouchedRecords::VouchedRecords(const platform::FileMapping& pMapping,
                               std::vector<Bookmark>& pRecords)
    : mapping_(pMapping), records_(pRecords), first_(pRecords.size()), vouched_(first_) {}

bool VouchedRecords::vouch() {
    if (records_.size() == vouched_) {
        return true;
    }
    if (!mapping_.unchanged()) {
        return false;
    }
    passedOn_ += RecordDrain::passOn(records_, first_);
    vouched_ = records_.size();
    return true;
}

std::size_t VouchedRecords::kept() const {
    return passedOn_ + records_.size() - first_;
}

void VouchedRecords::dropAll() {
    RecordDrain::dropAll(records_, first_);
    vouched_ = first_;
    passedOn_ = 0;
}

InPlaceParts::InPlaceParts(platform::FileMapping& pMapping, VouchedRecords& pRecords,
                           std::size_t pPartBytes)
    : mapping_(pMapping), records_(pRecords), partBytes_(std::max<std::size_t>(pPartBytes, 1)) {}

std::string_view InPlaceParts::next() {
    if (failed_ || at_ >= mapping_.length()) {
        return {};
    }
    failed_ = !records_.vouch();
    const std::optional<std::string_view> part =
        failed_ ? std::nullopt : mapping_.map(at_, partBytes_);
    if (!part) {
        failed_ = true;
        return {};
    }
    at_ += part->size();
    return *part;
}

std::size_t subScanFileInChunks(platform::FileReader& pFile, const BlockRule& pRule,
                                std::vector<Bookmark>& pCandidates, const NewPieceScan& pNewScan,
                                std::size_t pChunkBytes, std::size_t* pTextsCut) {
    const std::size_t chunkBytes = std::max<std::size_t>(pChunkBytes, 1);
    if (const std::optional<std::size_t> kept =
            scanInPlace(pFile, pRule, pCandidates, pNewScan(), chunkBytes)) {
        return *kept;
    }
    const std::size_t first = pCandidates.size();
    std::size_t passedOn = 0;
    const PieceScan scan = pNewScan();
    const auto scanAndPassOn = [&](std::string_view piece) {
        scan(piece);
        passedOn += RecordDrain::passOn(pCandidates, first);
        return true;
    };
    std::size_t textsCut = 0;
    const bool whole = scanRead(pFile, pRule, chunkBytes, scanAndPassOn, textsCut);
    if (pTextsCut != nullptr) {
        *pTextsCut = textsCut;
    }
    if (!whole) {
        RecordDrain::dropAll(pCandidates, first);
        return 0;
    }
    return passedOn + pCandidates.size() - first;
}

SourceReading fnReadFileInChunks(std::string_view pPath, std::string_view pKind,
                                 const BlockRule& pRule, std::vector<Bookmark>& pCandidates,
                                 const NewPieceScan& pNewScan, const std::size_t& pTextsCut,
                                 const DebugLog& pLog, std::size_t pChunkBytes) {
    pLog.subDebug(LOG_INFO, std::string("Reading ").append(pKind).append(" File: ").append(pPath));
    SourceReading reading;
    platform::FileReader file(pPath);
    std::size_t textsCutReading = 0;
    if (file.isOpen()) {
        pLog.subDebugTimer(LOG_BEGIN, std::string("Parsing ").append(pKind).append(" File: "));
        reading.BookmarkCount =
            subScanFileInChunks(file, pRule, pCandidates, pNewScan, pChunkBytes, &textsCutReading);
    }
    pLog.subDebugTimer(LOG_END, std::string(pKind).append(" file parsed: "));
    reading.Problem = file.problem();
    // The reading cuts texts in entries the scan may skip; the scan those that
    // grow too long only once decoded. Either count is a cut seen.
    if (const std::size_t cut = std::max(pTextsCut, textsCutReading);
        reading.readWhole() && cut > 0) {
        reading.Problem = fnCutTextsProblem(cut);
    }
    return reading;
}

} // namespace zaptrove
