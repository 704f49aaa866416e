// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// What tells whether a file that another program may be writing changed while
// it was read.
namespace zaptrove::platform {

// A file's size and time of last change.
struct FileState {
    std::uint64_t size = 0;
    std::int64_t changed = 0; // in the system's own units
    bool operator==(const FileState&) const = default;
};

// The state of a regular file; empty when it is missing or not a regular file.
std::optional<FileState> fileState(std::string_view path);

} // namespace zaptrove::platform
