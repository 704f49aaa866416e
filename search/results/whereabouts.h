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
// and the shortcut file of a favorite.
std::string fnRowDescription(const Bookmark& pRecord);

} // namespace zaptrove
