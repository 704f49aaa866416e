// SPDX-License-Identifier: MIT
#include "search/places_snapshot.h"

#include "platform/files.h"
#include "platform/private_copy.h"

namespace zaptrove {

namespace {

constexpr int kTries = 4;

} // namespace

SourceReading
fnReadUnchangedPlaces(const std::string& pDatabase, std::vector<Bookmark>& pCandidates,
                      const std::function<SourceReading(const std::string& logCopy)>& pRead) {
    // SQLite keeps the log beside the file a linked database leads to.
    const std::string log = platform::resolvedPath(pDatabase) + "-wal";
    const std::size_t kept = pCandidates.size();
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const auto databaseBefore = platform::fileState(pDatabase);
        if (!databaseBefore) {
            return {0, "not found"};
        }
        const auto logBefore = platform::fileState(log);
        SourceReading reading;
        if (!logBefore || logBefore->size == 0) {
            reading = pRead({});
        } else {
            const platform::PrivateFolder folder;
            if (folder.path().empty()) {
                return {0, "no temporary folder for a copy"};
            }
            const std::string copy = folder / "log";
            if (!platform::copyFile(log, copy) || platform::fileState(log) != logBefore) {
                continue;
            }
            reading = pRead(copy);
        }
        // Pages the browser wrote meanwhile may have been read beside older ones.
        if (platform::fileState(pDatabase) == databaseBefore) {
            return reading;
        }
        pCandidates.erase(pCandidates.begin() + static_cast<std::ptrdiff_t>(kept),
                          pCandidates.end());
    }
    return {0, "kept changing while it was read"};
}

} // namespace zaptrove
