// SPDX-License-Identifier: MIT
#include "search/sources/source_status.h"

#include "debug_log/debug_log.h"
#include "platform/files.h"
#include "search/matching/matcher.h"
#include "search/sources/browser_source_reader.h"

namespace zaptrove {

namespace {

std::string countText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " bookmark" : " bookmarks");
}

std::string statusOf(const SourceReading& reading) {
    if (reading.NoBookmarksYet) {
        return "no bookmarks yet";
    }
    if (reading.readWhole()) {
        return countText(reading.BookmarkCount);
    }
    return reading.BookmarkCount == 0
               ? "cannot be read: " + reading.Problem
               : countText(reading.BookmarkCount) + ", not read whole: " + reading.Problem;
}

} // namespace

std::string fnLocationStatus(const Location& pLocation, const Settings& pSettings) {
    const std::optional<std::string> path =
        fnLocationPath(pSettings.*pLocation.path, pLocation.isFolder);
    if (!path) {
        return statusOf({0, platform::kNoPathGiven});
    }
    const Matcher everyName("", SearchMode::Name);
    std::vector<Bookmark> found;
    SourceReading reading = pLocation.reader(*path, everyName, found, DebugLog::silent());
    subExcuseAbsentSource(reading, fnPathOnDisk(pLocation, *path),
                          fnNamedByUser(pLocation, pSettings));
    return statusOf(reading);
}

std::string fnBrowserSourceStatus(const BrowserProfile& pProfile) {
    return statusOf(pProfile.problem.empty() ? fnCountBrowserBookmarks(pProfile)
                                             : SourceReading{0, pProfile.problem});
}

} // namespace zaptrove
