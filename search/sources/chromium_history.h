// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/sources/address_hash.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace zaptrove {

// A row whose use is read, with its address's fnAddressHash,
// worked out once for every table the address is looked up in.
struct HashedRow {
    Bookmark* row;
    std::size_t addressHash;
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
