// SPDX-License-Identifier: MIT
#pragma once

#include "search/scanning/json_events.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

// The bytes of a name or address kept, cut where a character ends.
inline constexpr std::size_t kMaxEntryTextBytes = kMaxJsonStringBytes;

// Cuts a name or address, its encoding and character references decoded, to
// kMaxEntryTextBytes where a character ends; counts it in pCut when it was
// longer, as read (see LongTextCut) or decoded.
std::string_view fnCutEntryText(std::string_view pRaw, std::string_view pDecoded,
                                std::size_t& pCut);

// Why a file was read only in part, for pCut names or addresses cut
// ("1 name or address cut at 2 MiB").
std::string fnCutTextsProblem(std::size_t pCut);

// How the text of a bookmark file falls into runs that each end at a byte of
// their own: a name, an address, a line. A run longer than kMaxEntryTextBytes
// is kept only a little longer, so one enormous entry never has to be held
// whole, and its readers see that it was cut.
struct LongTextRule {
    // Whether every occurrence of the block marker starts an entry: the runs
    // then start again after it, and a marker met in a run past its kept
    // bytes is kept still.
    bool markerStartsEntry = false;
    // The bytes after the marker that open the entry's first run.
    std::size_t skipAfterMarker = 0;
    // The byte that ends each run of an entry in turn, then endOutside for
    // every run after them.
    std::string_view ends;
    char endOutside = '\n';
    // The runs that hold a name or address, by their place in the entry
    // (bit i for the i-th, bit ends.size() for every run after them).
    unsigned textRuns = ~0U;
};

// Passes the text of a file through, dropping the bytes past the first
// kKeptRunBytes of each run (see LongTextRule), cut where a UTF-8
// character ends; the byte that ends a run is always kept.
class LongTextCut {
  public:
    LongTextCut(std::string_view pMarker, const LongTextRule& pRule);

    // The bytes of a run kept: more than kMaxEntryTextBytes, even after a
    // name's key on its line, so that a run cut is still too long.
    static constexpr std::size_t kKeptRunBytes = kMaxEntryTextBytes + 64;

    // The most bytes append writes for pBytes of text.
    std::size_t maxOutput(std::size_t pBytes) const { return pBytes + marker_.size(); }
    // Writes what is kept of pText at pOut; answers the end of what it wrote.
    // The bytes kept before, of the run pText continues, must lie just before pOut.
    char* append(std::string_view pText, char* pOut);
    // The runs that hold a name or address cut so far, each once.
    std::size_t textsCut() const { return textsCut_; }

  private:
    // How many bytes from `at` on neither end the run nor may end a marker,
    // to be passed on (or dropped) at once; 0 when the next is to be looked at.
    std::size_t plainBytes(std::string_view text, std::size_t at) const;
    char* passPlain(std::string_view plain, char* out);
    // Passes on (or drops) one byte, following the runs and markers.
    char* step(char byte, char* out);
    bool markerEnds(char byte);
    // Counts the run of `length` bytes that ends now when it was cut.
    void endRun(std::size_t length);

    const std::string_view marker_;
    const LongTextRule& rule_;
    std::vector<std::size_t> fallback_; // where the marker's match falls back to after a mismatch
    std::size_t matched_ = 0;
    std::size_t run_ = 0; // the bytes of the run so far
    std::size_t step_;    // the runs of the entry ended so far; all before the first entry
    std::size_t skip_ = 0;
    std::size_t textsCut_ = 0;
};

} // namespace zaptrove
