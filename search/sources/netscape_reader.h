// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/records/source_reading.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace zaptrove {

class DebugLog;
class Matcher;

// Reads a Netscape bookmark file and appends its matching bookmarks; answers how
// many, and why the file could not be read.
SourceReading fnReadNetscape(std::string_view pPath, const Matcher& pMatcher,
                             std::vector<Bookmark>& pCandidates, const DebugLog& pLog);
// The same, reading pChunkBytes at a time (see subScanFileInChunks).
SourceReading fnReadNetscapeInChunks(std::string_view pPath, const Matcher& pMatcher,
                                     std::vector<Bookmark>& pCandidates, const DebugLog& pLog,
                                     std::size_t pChunkBytes);

// Scans the text of a Netscape bookmark file: every `<DT><A HREF="address" ...>name<`
// is one bookmark, in file order. A malformed entry is skipped without taking
// text from its neighbours.
// Each entry is UTF-8 or Windows-1252 on its own (see EntryEncoding).
void subScanNetscape(std::string_view pText, const Matcher& pMatcher,
                     std::vector<Bookmark>& pCandidates);

} // namespace zaptrove
