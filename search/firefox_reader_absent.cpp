// SPDX-License-Identifier: MIT
// The Firefox reader of a build without SQLite.
#include "search/firefox_reader.h"

namespace zaptrove {

BrowserReading fnReadFirefoxPlaces(std::string_view, Matcher&, std::vector<Bookmark>&) {
    return {0, "cannot be read by this build (no SQLite)"};
}

} // namespace zaptrove
