// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace zaptrove {

// What reading one source (a location or a browser's bookmark store) came to,
// for the list of sources, the search's report and the diagnostic log.
struct SourceReading {
    // The bookmarks read: a browser's store counts every one it holds, matching
    // or not; a location counts those it kept. With a Problem, those read
    // before it.
    std::size_t BookmarkCount = 0;
    // Empty when the source was read whole; otherwise why it could not be read
    // (or not whole), in the system's words ("Is a directory") or the
    // reader's ("damaged at byte 1234"). Bookmarks read before the damage are
    // kept.
    std::string Problem;

    bool readWhole() const { return Problem.empty(); }
    // Nothing came from the source.
    bool unreadable() const { return !readWhole() && BookmarkCount == 0; }
};

} // namespace zaptrove
