// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/records/source_reading.h"

#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

class DebugLog;
class Matcher;

// Walks a Favorites folder tree breadth first and appends the matching ".url"
// shortcuts to pCandidates; answers how many, and why the folder could not be
// listed. pFolder ends in "\" or "/", the folder's end; each record is named by
// its shortcut file's path. A search by name opens no shortcut file.
// A tree that links back into itself is walked once.
SourceReading fnReadFavorites(std::string_view pFolder, const Matcher& pMatcher,
                              std::vector<Bookmark>& pCandidates, const DebugLog& pLog);

// The address in a shortcut file: the text after a "URL=" that starts a line
// other than the first, up to the line end. "<not found>" when the file cannot
// be read or holds no such line. A file with a UTF-16 byte-order mark is read as
// UTF-16; otherwise an address that is not UTF-8 is read as Windows-1252.
std::string fnUrlFromFile(std::string_view pPath);

// Reads the address of a favorite whose address is pending; leaves any other
// record alone.
void subReadPendingAddress(Bookmark& pRecord);

// The same, for a shortcut file's text already in memory.
std::string fnUrlFromText(std::string_view pText);

} // namespace zaptrove
