// SPDX-License-Identifier: MIT
#include "search/scanning/chunked_scan.h"

#include "debug_log/debug_log.h"
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

// The text read so far that no piece has taken yet, in one buffer that grows
// only when a single entry outgrows it. A file that starts with a UTF-16
// byte-order mark is turned into UTF-8 on the way.
class Window {
  public:
    // firstBytes are the file's first bytes, already read: a byte-order mark or text.
    Window(platform::FileReader& file, std::size_t chunkBytes, std::string_view firstBytes)
        : file_(file), chunkBytes_(chunkBytes) {
        if (const auto order = platform::utf16ByteOrder(firstBytes)) {
            utf16_.emplace(*order);
        } else {
            std::memcpy(room(firstBytes.size()), firstBytes.data(), firstBytes.size());
            filled_ = firstBytes.size();
        }
    }

    std::string_view text() const { return {buffer_.data(), filled_}; }

    // Appends the file's next chunk; answers whether one came (false at the end
    // of the file), or nothing when reading fails.
    std::optional<bool> fill() {
        if (!utf16_) {
            const std::optional<std::size_t> got = file_.readNext(room(chunkBytes_), chunkBytes_);
            filled_ += got.value_or(0);
            return got ? std::optional(*got != 0) : std::nullopt;
        }
        raw_.resize(chunkBytes_);
        const std::optional<std::size_t> got = file_.readNext(raw_.data(), chunkBytes_);
        if (!got) {
            return std::nullopt;
        }
        char* const start = room(platform::Utf16Decoder::maxUtf8Bytes(*got));
        const char* const end = *got == 0
                                    ? utf16_->finish(start)
                                    : utf16_->append(std::string_view(raw_.data(), *got), start);
        filled_ += end - start;
        return *got != 0;
    }

    // Drops the first count bytes of the text.
    void drop(std::size_t count) {
        std::memmove(buffer_.data(), buffer_.data() + count, filled_ - count);
        filled_ -= count;
    }

  private:
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
    std::optional<platform::Utf16Decoder> utf16_;
    std::string raw_; // a chunk of UTF-16
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
    for (std::size_t at = fnFindLastMarker(text, rule.marker, text.size());
         at != npos && at >= from; at = fnFindLastMarker(text, rule.marker, at)) {
        if (rule.isSureStart(text, at)) {
            return at;
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

// Reads the whole file; false when it cannot be read to its end.
bool scanWhole(platform::FileReader& file, const BlockRule& rule, std::size_t chunkBytes,
               const std::function<void(std::string_view)>& scan) {
    const std::optional<std::string> first = firstBytes(file);
    if (!first) {
        return false;
    }
    Window window(file, chunkBytes, *first);
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
        if (pieceEnd > 0) {
            scan(text.substr(0, pieceEnd));
        }
        if (!*more) {
            return true;
        }
        window.drop(pieceEnd);
    }
}

} // namespace

std::size_t subScanFileInChunks(platform::FileReader& pFile, const BlockRule& pRule,
                                std::vector<Bookmark>& pCandidates,
                                const std::function<void(std::string_view)>& pScan,
                                std::size_t pChunkBytes) {
    const std::size_t first = pCandidates.size();
    std::size_t passedOn = 0;
    const auto scanAndPassOn = [&](std::string_view piece) {
        pScan(piece);
        passedOn += RecordDrain::passOn(pCandidates, first);
    };
    if (!scanWhole(pFile, pRule, std::max<std::size_t>(pChunkBytes, 1), scanAndPassOn)) {
        RecordDrain::dropAll(pCandidates, first);
        return 0;
    }
    return passedOn + pCandidates.size() - first;
}

SourceReading fnReadFileInChunks(std::string_view pPath, std::string_view pKind,
                                 const BlockRule& pRule, std::vector<Bookmark>& pCandidates,
                                 const std::function<void(std::string_view)>& pScan,
                                 const DebugLog& pLog, std::size_t pChunkBytes) {
    pLog.subDebug(LOG_INFO, std::string("Reading ").append(pKind).append(" File: ").append(pPath));
    std::size_t kept = 0;
    platform::FileReader file(pPath);
    if (file.isOpen()) {
        pLog.subDebugTimer(LOG_BEGIN, std::string("Parsing ").append(pKind).append(" File: "));
        kept = subScanFileInChunks(file, pRule, pCandidates, pScan, pChunkBytes);
    }
    pLog.subDebugTimer(LOG_END, std::string(pKind).append(" file parsed: "));
    return {kept, file.problem()};
}

} // namespace zaptrove
