// SPDX-License-Identifier: MIT
#include "search/records/source_reading.h"

#include "platform/files.h"

namespace zaptrove {

void subExcuseAbsentSource(SourceReading& pReading, std::string_view pPath, bool pNamedByUser) {
    if (pReading.unreadable() && !pNamedByUser && platform::isAbsent(pPath)) {
        pReading.Problem.clear();
        pReading.NoBookmarksYet = true;
    }
}

} // namespace zaptrove
