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

// Reads an Opera bookmark file and appends its matching bookmarks; answers how
// many, and why the file could not be read.
SourceReading fnReadOpera(std::string_view pPath, const Matcher& pMatcher,
                          std::vector<Bookmark>& pCandidates, const DebugLog& pLog);
// The same, reading pChunkBytes at a time (see subScanFileInChunks).
SourceReading fnReadOperaInChunks(std::string_view pPath, const Matcher& pMatcher,
                                  std::vector<Bookmark>& pCandidates, const DebugLog& pLog,
                                  std::size_t pChunkBytes);

// Scans the text of an Opera bookmark file: every "#URL" block with a "NAME="
// line and, after it, a "URL=" line is one bookmark, in file order. A block that
// lacks either key before the next block is skipped.
// Each entry is UTF-8 or Windows-1252 on its own (see EntryEncoding).
void subScanOpera(std::string_view pText, const Matcher& pMatcher,
                  std::vector<Bookmark>& pCandidates);

} // namespace zaptrove
