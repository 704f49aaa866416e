// SPDX-License-Identifier: MIT
#include "search/chunked_scan.h"

#include "platform/files.h"
#include "platform/text.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

namespace zaptrove {

namespace {

constexpr std::size_t npos = std::string_view::npos;

enum class Reading { Utf8, Windows1252 };
enum class PassEnd { Whole, NotUtf8, Unreadable };

// The text read so far that no piece has taken yet, in one buffer that grows
// only when a single entry outgrows it.
class Window {
  public:
    Window(platform::FileReader& file, Reading reading, std::size_t chunkBytes)
        : file_(file), reading_(reading), chunkBytes_(chunkBytes) {}

    std::string_view text() const { return {buffer_.data(), filled_}; }

    // Appends the file's next chunk; answers how many bytes of text came (0 at
    // the end of the file), or nothing when reading fails.
    std::optional<std::size_t> fill() {
        if (reading_ == Reading::Utf8) {
            const std::optional<std::size_t> got = file_.readNext(room(chunkBytes_), chunkBytes_);
            filled_ += got.value_or(0);
            return got;
        }
        raw_.resize(chunkBytes_);
        const std::optional<std::size_t> got = file_.readNext(raw_.data(), chunkBytes_);
        if (!got) {
            return got;
        }
        decoded_.clear();
        platform::appendWindows1252(std::string_view(raw_).substr(0, *got), decoded_);
        std::memcpy(room(decoded_.size()), decoded_.data(), decoded_.size());
        filled_ += decoded_.size();
        return decoded_.size();
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
    const Reading reading_;
    const std::size_t chunkBytes_;
    std::string buffer_; // its size is the room; filled_ bytes of it are text
    std::size_t filled_ = 0;
    std::string raw_;     // a chunk of Windows-1252 bytes
    std::string decoded_; // the same in UTF-8
};

// The last sure block start at or after from (at least 1), npos when none.
// Only the text from `from` on is searched, so that an entry carried over many
// chunks is not searched again with each of them.
std::size_t lastSureStart(std::string_view text, const BlockRule& rule, std::size_t from) {
    const std::string_view tail = text.substr(from);
    for (std::size_t at = tail.rfind(rule.marker); at != npos;
         at = at == 0 ? npos : tail.rfind(rule.marker, at - 1)) {
        if (rule.isSureStart(text, from + at)) {
            return from + at;
        }
    }
    return npos;
}

// Where text without any marker can end a piece: before a marker its last bytes
// may begin, and before the UTF-8 character they may cut.
std::size_t endBeforeTail(std::string_view text, std::size_t markerSize) {
    if (text.size() < markerSize) {
        return 0;
    }
    std::size_t end = text.size() - (markerSize - 1);
    for (int back = 0;
         back < 3 && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80; ++back) {
        --end;
    }
    return end;
}

// One reading of the whole file, from its first byte.
PassEnd scanPass(platform::FileReader& file, const BlockRule& rule, Reading reading,
                 std::size_t chunkBytes, const std::function<bool(std::string_view)>& scan) {
    Window window(file, reading, chunkBytes);
    bool blockSeen = false;
    for (;;) {
        // A marker starting before `fresh` was seen whole by an earlier chunk's look.
        const std::size_t before = window.text().size();
        const std::size_t fresh =
            before >= rule.marker.size() ? before - rule.marker.size() + 1 : 0;
        const std::optional<std::size_t> got = window.fill();
        if (!got) {
            return PassEnd::Unreadable;
        }
        const std::string_view text = window.text();
        std::size_t pieceEnd = text.size();
        if (*got != 0) {
            blockSeen = blockSeen || text.find(rule.marker, fresh) != npos;
            pieceEnd = blockSeen ? lastSureStart(text, rule, std::max<std::size_t>(fresh, 1))
                                 : endBeforeTail(text, rule.marker.size());
            pieceEnd = pieceEnd == npos ? 0 : pieceEnd;
        }
        if (pieceEnd > 0 && !scan(text.substr(0, pieceEnd)) && reading == Reading::Utf8) {
            return PassEnd::NotUtf8;
        }
        if (*got == 0) {
            return PassEnd::Whole;
        }
        window.drop(pieceEnd);
    }
}

} // namespace

void subScanFileInChunks(platform::FileReader& pFile, const BlockRule& pRule,
                         std::vector<Bookmark>& pCandidates,
                         const std::function<bool(std::string_view)>& pScan,
                         std::size_t pChunkBytes) {
    const auto kept = static_cast<std::ptrdiff_t>(pCandidates.size());
    const std::size_t chunkBytes = std::max<std::size_t>(pChunkBytes, 1);
    PassEnd end = scanPass(pFile, pRule, Reading::Utf8, chunkBytes, pScan);
    if (end == PassEnd::NotUtf8) {
        pCandidates.erase(pCandidates.begin() + kept, pCandidates.end());
        pFile.rewind();
        end = scanPass(pFile, pRule, Reading::Windows1252, chunkBytes, pScan);
    }
    if (end == PassEnd::Unreadable) {
        pCandidates.erase(pCandidates.begin() + kept, pCandidates.end());
    }
}

} // namespace zaptrove
