// SPDX-License-Identifier: MIT
#pragma once

#include "platform/files.h"

#include <vector>

namespace zaptrove::platform {

// Puts a folder's entries in listing order: by name ignoring ASCII letter
// case (precedesIgnoringAsciiCase), names that differ only in case by their bytes.
void sortFolderEntries(std::vector<FolderEntry>& entries);

} // namespace zaptrove::platform
