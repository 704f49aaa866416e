// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"

#include <string>
#include <string_view>
#include <vector>

// One row per address: the copies of an address found in several places become
// one record.
namespace zaptrove {

// The form two addresses are compared in: the scheme and the host lower-cased
// (ASCII), a final "/" dropped, everything else (user, port, path, query) as
// written. An address without a scheme is compared as written, but for its
// final "/". Written into pKey, whose memory serves the next call.
void subAddressKey(std::string_view pAddress, std::string& pKey);

// Keeps the first record of each address, in their order, and notes on it
// where the later copies live (BookmarkExtras::otherCopies); the others go. A
// favorite's pending address is read first. A record with no address (empty,
// or a shortcut that could not be read) is never merged.
void subMergeAddressCopies(std::vector<Bookmark>& pRecords);

} // namespace zaptrove
