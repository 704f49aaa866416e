// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zaptrove::platform {

// Reads a whole text file into pText (UTF-8; UTF-16 with its byte-order mark or
// Windows-1252 turned into UTF-8).
// Answers false, leaving pText empty, when the path cannot be read for any
// reason ("<not found>" and empty paths included); never throws. Only the
// first pLimit bytes of a longer file are read.
bool fnOpenFile(std::string_view pPath, std::string& pText, std::size_t pLimit = SIZE_MAX);

} // namespace zaptrove::platform
