// SPDX-License-Identifier: MIT
#pragma once

#include "platform/files.h"

#include <vector>

namespace zaptrove::platform {

// Puts a folder's entries in listing order: by name ignoring ASCII letter
// case (precedesIgnoringAsciiCase), names that differ only in case by their bytes.
void sortFolderListing(FolderListing& listing);

// The entries of a listing, each with its name in a string of its own.
void entriesOf(const FolderListing& listing, std::vector<FolderEntry>& entries);

} // namespace zaptrove::platform
