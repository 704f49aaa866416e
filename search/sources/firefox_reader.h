// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/records/source_reading.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

class Matcher;

// A Firefox keyword looked for while a profile is read: the first word typed,
// lower-cased (keywords compare ignoring letter case). found is the bookmark
// it stands for, its address with its placeholders unfilled, and
// UnsentPostData set when the keyword comes with POST data.
struct KeywordLookup {
    std::string keyword;
    std::optional<Bookmark> found = {};
};

// Reads the bookmarks of a Firefox profile (its folder, or its places.sqlite)
// and appends the matching ones in the order of the browser's bookmark tree
// (folders depth first, by position). "place:" queries and the tags folders
// are left out; a bookmark carries its place's tags, which a search by name
// compares with its name.
// The profile is never written to, and a browser holding it is never waited
// for: a database with changes still in its write-ahead log is read with that
// log, in place and unlocked. A Matcher of no mode keeps nothing, which only counts.
// A title over kMaxPlacesTextBytes is cut there, a bookmark whose address is
// longer left out, and the reading then says so.
// With pKeyword, its bookmark is looked for too, unless one was found before.
SourceReading fnReadFirefoxPlaces(std::string_view pPath, const Matcher& pMatcher,
                                  std::vector<Bookmark>& pCandidates,
                                  KeywordLookup* pKeyword = nullptr);

} // namespace zaptrove
