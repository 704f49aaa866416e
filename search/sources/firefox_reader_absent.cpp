// SPDX-License-Identifier: MIT
// The Firefox reader of a build without SQLite.
#include "search/sources/firefox_reader.h"

namespace zaptrove {

SourceReading fnReadFirefoxPlaces(std::string_view, const Matcher&, std::vector<Bookmark>&,
                                  KeywordLookup*) {
    return {0, "this build has no SQLite"};
}

} // namespace zaptrove
