// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"

#include <string>
#include <string_view>

namespace zaptrove {

// The text a bookmark is shown and compared by: what follows the last "\", with
// a final lower-case ".url" dropped.
std::string fnDisplayName(std::string_view pPath);

// The same as a view into pPath, for hot loops.
std::string_view fnDisplayNameView(std::string_view pPath);

// What a record shows of pText, its name or its address: fnDisplayNameView for
// a bookmark of the six locations, the whole text for a browser's, whose names
// are titles, not paths ("Tips \ Tricks", "all about file.url").
std::string_view fnShownText(const Bookmark& pRecord, std::string_view pText);

// What a record shows of its name: for a favorite, its shortcut file's name
// after the last separator the walk put, so that on Linux a "\" in the name
// stays ("Tips \ Tricks"), without a final lower-case ".url"; fnShownText of
// the name for the others.
std::string_view fnShownName(const Bookmark& pRecord);

} // namespace zaptrove
