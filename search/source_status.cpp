// SPDX-License-Identifier: MIT
#include "search/source_status.h"

#include "debug_log/debug_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "search/browser_source_reader.h"
#include "search/matcher.h"

namespace zaptrove {

namespace {

std::string countText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " bookmark" : " bookmarks");
}

} // namespace

std::string fnLocationStatus(LocationReader pReader, const std::string& pPath, bool pIsFolder) {
    if (pIsFolder ? !platform::folderIdentity(pPath) : !platform::FileReader(pPath).isOpen()) {
        return "cannot be read: not found";
    }
    Settings quiet;
    quiet.DebugMode = DEBUG_OFF;
    Matcher everyName("", FUNC_NAME);
    std::vector<Bookmark> found;
    pReader(pPath, everyName, found, DebugLog(quiet, platform::systemClock()));
    return countText(found.size());
}

std::string fnBrowserSourceStatus(const BrowserProfile& pProfile) {
    if (!pProfile.problem.empty()) {
        return "cannot be read: " + pProfile.problem;
    }
    const BrowserReading reading = fnCountBrowserBookmarks(pProfile);
    if (reading.readWhole()) {
        return countText(reading.BookmarkCount);
    }
    return reading.BookmarkCount == 0
               ? "cannot be read: " + reading.Problem
               : countText(reading.BookmarkCount) + ", not read whole: " + reading.Problem;
}

} // namespace zaptrove
