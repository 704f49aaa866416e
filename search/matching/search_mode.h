// SPDX-License-Identifier: MIT
#pragma once

namespace zaptrove {

// What a search compares the text with: the names, the addresses, or either.
// Nothing matches in the last mode (a stored Function outside the three, or a
// reading that only counts), though every source is still read.
enum class SearchMode { Name, Url, Both, Nothing };

} // namespace zaptrove
