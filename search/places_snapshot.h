// SPDX-License-Identifier: MIT
#pragma once

#include "search/bookmark.h"
#include "search/source_reading.h"

#include <functional>
#include <string>
#include <vector>

namespace zaptrove {

// Reads a database that a browser may change meanwhile as one consistent
// state: read(logCopy) reads the database in place, with logCopy the path of a
// private copy of its write-ahead log, or empty when the log is missing or
// empty (the file alone is then the whole database). A try is made again, and
// what it appended to candidates taken back, when the log changed while it was
// copied or the database changed before the reading ended. After a few tries
// it answers that the database kept changing.
SourceReading
fnReadUnchangedPlaces(const std::string& pDatabase, std::vector<Bookmark>& pCandidates,
                      const std::function<SourceReading(const std::string& logCopy)>& pRead);

} // namespace zaptrove
