// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/records/source_reading.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zaptrove {

// The largest write-ahead log read. A browser folds its log into the database
// every few hundred kilobytes; a larger one is read only to the cost of time
// and of SQLite's index of its frames.
inline constexpr std::uint64_t kMaxPlacesLogBytes = std::uint64_t{128} << 20;

// Reads a database that a browser may change meanwhile as one consistent
// state: read(withLog) reads the database where it lies, with its write-ahead
// log read in place when withLog (else the file alone is the whole database).
// Nothing is copied. A try is made again, and what it appended to candidates
// taken back, when the database or the log read changed before the reading
// ended; after a few tries it answers that the database kept changing. A log
// larger than kMaxPlacesLogBytes is left unread, and the reading says so: the
// database is then read as the browser's last fold left it.
SourceReading fnReadUnchangedPlaces(const std::string& pDatabase,
                                    std::vector<Bookmark>& pCandidates,
                                    const std::function<SourceReading(bool withLog)>& pRead);

} // namespace zaptrove
