// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace zaptrove {

// The text as one line that a terminal shows as it is: tab, CR and LF become
// blanks, other control characters (C0, DEL, C1), the bidirectional embeddings,
// overrides and isolates, and bytes that are not UTF-8 become U+FFFD, so a
// bookmark can neither split a result line, nor reorder it, nor send the
// terminal commands.
std::string fnPrintableLine(std::string_view pText);
// fnPrintableLine's line appended to pLine, which may hold lines before it.
void subAppendPrintableLine(std::string_view pText, std::string& pLine);

} // namespace zaptrove
