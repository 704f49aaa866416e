// SPDX-License-Identifier: MIT
#include "search/sources/places_snapshot.h"

#include "platform/file_state.h"
#include "platform/files.h"

namespace zaptrove {

namespace {

constexpr int kTries = 4;

std::string tooLargeLog(std::uint64_t size) {
    constexpr std::uint64_t kMiB = 1 << 20;
    return "its write-ahead log (" + std::to_string((size + kMiB - 1) / kMiB) +
           " MiB) is over the " + std::to_string(kMaxPlacesLogBytes / kMiB) +
           " MiB read and was left out";
}

} // namespace

SourceReading fnReadUnchangedPlaces(const std::string& pDatabase,
                                    std::vector<Bookmark>& pCandidates,
                                    const std::function<SourceReading(bool withLog)>& pRead) {
    // SQLite keeps the log beside the file a linked database leads to.
    const std::string log = platform::resolvedPath(pDatabase) + "-wal";
    const std::size_t kept = pCandidates.size();
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const auto databaseBefore = platform::fileState(pDatabase);
        if (!databaseBefore) {
            return {0, "not found"};
        }
        const auto logBefore = platform::fileState(log);
        const bool tooLarge = logBefore && logBefore->size > kMaxPlacesLogBytes;
        const bool withLog = logBefore && logBefore->size > 0 && !tooLarge;
        SourceReading reading = pRead(withLog);
        // Pages the browser wrote meanwhile may have been read beside older ones.
        if (platform::fileState(pDatabase) == databaseBefore &&
            (!withLog || platform::fileState(log) == logBefore)) {
            if (tooLarge && reading.readWhole()) {
                reading.Problem = tooLargeLog(logBefore->size);
            }
            return reading;
        }
        pCandidates.erase(pCandidates.begin() + static_cast<std::ptrdiff_t>(kept),
                          pCandidates.end());
    }
    return {0, "kept changing while it was read"};
}

} // namespace zaptrove
