// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"

#include <string>

// Where a result lives, in words for the result list.
namespace zaptrove {

// What a list line may show after the address: the folder path, and for a
// browser bookmark its browser and profile ("Work/Tools · Firefox, profile
// default"); empty for a bookmark at the root of a location.
std::string fnWhereNote(const Bookmark& pRecord);

// A row's full description for its tooltip, one line each: its whole name and
// address, its source, its profile (browser bookmarks only), its folder path,
// its tags (fnTagsLine), and the shortcut file of a favorite; then its copies,
// as fnCopiesList.
std::string fnRowDescription(const Bookmark& pRecord);

// A Firefox bookmark's tags ("Tags: news, work"); empty for a bookmark without.
std::string fnTagsLine(const Bookmark& pRecord);

// For a row that merges copies of one address, every copy in reading order,
// the row's own first, one line each ("Chrome, profile Default · Bar/Work");
// after a line that counts them. Empty for a row of one bookmark.
std::string fnCopiesList(const Bookmark& pRecord);

} // namespace zaptrove
