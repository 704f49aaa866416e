// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace zaptrove {

// What reading one browser's bookmark store came to, for the list of sources
// and the diagnostic log.
struct BrowserReading {
    // The bookmarks the store holds, matching or not; with a Problem, those
    // read before it.
    std::size_t BookmarkCount = 0;
    // Empty when the store was read whole; otherwise why it could not be read
    // (or not whole), e.g. "not found" or "damaged at byte 1234". Bookmarks read
    // before the damage are kept.
    std::string Problem;

    bool readWhole() const { return Problem.empty(); }
};

} // namespace zaptrove
