// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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
    // A source the program found by itself whose file or folder is not there
    // (a browser profile never used, the default Favorites folder): it holds
    // no bookmarks yet, which is no problem.
    bool NoBookmarksYet = false;

    bool readWhole() const { return Problem.empty(); }
    // Nothing came from the source.
    bool unreadable() const { return !readWhole() && BookmarkCount == 0; }
};

// Turns the reading of a source that is not there into "no bookmarks yet",
// unless the user named it: only a source the user named, or one that is
// there and fails, is a problem.
void subExcuseAbsentSource(SourceReading& pReading, std::string_view pPath, bool pNamedByUser);

} // namespace zaptrove
