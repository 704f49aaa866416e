// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/sources/address_hash.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace zaptrove {

// A row whose use is read, with its address's fnAddressHashes,
// worked out once for every table the address is looked up in.
struct HashedRow {
    Bookmark* row;
    std::size_t addressHash;
    std::uint64_t addressCheck;
};

inline HashedRow fnHashedRow(Bookmark& pRow) {
    const AddressHashes hashes = fnAddressHashes(pRow.URL);
    return {&pRow, hashes.hash, hashes.check};
}

// The uses of every page of a History, read before the rows whose use they
// give are known (while the bookmark sources are read), kept by their
// addresses' hash and the check's top 16 bits rather than the addresses (two
// addresses agree in those 80 bits by chance once in 2^80). At most
// kMostPagesReadAhead pages are read ahead: a table of 32 MiB. Left unread when
// History could not be read, holds more than kMostPagesReadAhead pages, or
// pStop was set meanwhile: fnReadChromiumVisits then reads it as ever, and
// says why it could not.
class HistoryReadAhead {
  public:
    static constexpr std::int64_t kMostPagesReadAhead = std::int64_t{1} << 20;

    HistoryReadAhead(const std::string& pHistory, std::int64_t pNow,
                     const std::atomic<bool>& pStop);

    // Whether fnReadChromiumVisits would read the whole History, rather than
    // look each row up, for pRows rows, and it was read here.
    bool answers(std::size_t pRows) const;

    // Gives each row the use of its address's page, 0 when History has none.
    void give(std::span<const HashedRow> pRows) const;

  private:
    // A page: its address's hash, and beside its use (below 2^48: visits
    // are counted up to 2^40, weighed by at most 100) the check's top 16 bits.
    struct Slot {
        std::uint64_t hash = 0;
        std::uint64_t checkAndUse = kEmpty;
    };
    static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
    static constexpr int kUseBits = 48;

    // Keeps the pages' uses, each page's slot fetched before it is needed.
    void keep(std::span<const std::pair<AddressHashes, std::int64_t>> pPages);

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::int64_t pages_ = 0;
    bool read_ = false;
};

// Gives each bookmark of pRows (all of one Chromium-family profile) the use
// its browser made of its page, from the profile's History database at
// pHistory: its visit count weighed by the age of its last visit at pNow
// (seconds since 1970), on the scale of Firefox's frecency, 0 when never
// visited. The database is read where it lies, with its write-ahead log,
// never locked or written, as Firefox's places.sqlite is; the browser holding
// it is never waited for. Answers why it could not be read (every Frecency
// then 0); empty when it was.
std::string fnReadChromiumVisits(const std::string& pHistory, std::span<const HashedRow> pRows,
                                 std::int64_t pNow);

} // namespace zaptrove
