// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string_view>

namespace zaptrove {

// Two-byte signatures of the few places a scan over a whole file must stop at
// (a folder's start or end), looked for sixteen bytes at a time.
struct BytePairs {
    char first[2];
    char second[2];
};

// The first place at or after pFrom where either pair starts; npos when none.
std::size_t fnFindBytePair(std::string_view pText, std::size_t pFrom, const BytePairs& pPairs);

// The last place before pEnd where either pair starts; npos when none.
std::size_t fnFindLastBytePair(std::string_view pText, std::size_t pEnd, const BytePairs& pPairs);

// The first place at or after pFrom where pMarker (two bytes or more) starts;
// npos when none. Unlike std::string_view::find, text between the places where
// its first two bytes stand is never compared.
std::size_t fnFindMarker(std::string_view pText, std::string_view pMarker, std::size_t pFrom);

// The last place before pEnd where pMarker (two bytes or more) starts; npos when none.
std::size_t fnFindLastMarker(std::string_view pText, std::string_view pMarker, std::size_t pEnd);

// Meets the places where a pair starts in one text in order, each once; the
// next one is looked for once, however often the caller asks about the text
// before it.
class BytePairCursor {
  public:
    explicit BytePairCursor(BytePairs pPairs) : pairs_(pPairs) {}

    // The caller's text is another one now.
    void restart() {
        from_ = 0;
        known_ = false;
    }

    // Calls pMeet(at) for every place before pTo not met yet.
    template <typename Meet> void meetBefore(std::string_view pText, std::size_t pTo, Meet pMeet) {
        for (;;) {
            if (next(pText) == std::string_view::npos || next_ >= pTo) {
                return;
            }
            from_ = next_ + 1;
            known_ = false;
            pMeet(next_);
        }
    }

    // The next place not met yet, npos when none is left.
    std::size_t next(std::string_view pText) {
        if (!known_) {
            next_ = fnFindBytePair(pText, from_, pairs_);
            known_ = true;
        }
        return next_;
    }

  private:
    BytePairs pairs_;
    std::size_t from_ = 0;
    std::size_t next_ = 0;
    bool known_ = false;
};

} // namespace zaptrove
