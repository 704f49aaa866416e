// SPDX-License-Identifier: MIT
// The Chromium history reader of a build without SQLite.
#include "search/sources/chromium_history.h"

namespace zaptrove {

std::string fnReadChromiumVisits(const std::string&, std::span<const HashedRow>, std::int64_t) {
    return "this build has no SQLite";
}

} // namespace zaptrove
