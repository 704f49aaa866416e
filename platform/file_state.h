// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// What tells whether a file that another program may be writing changed while
// it was read, or since it was last read.
namespace zaptrove::platform {

// A file's identity (its device and number there, or on Windows its volume
// and file index), size and time of last change. A file replaced by another
// (written beside it and renamed over it) has another identity.
struct FileState {
    std::uint64_t size = 0;
    std::int64_t changed = 0; // in the system's own units
    std::uint64_t device = 0;
    std::uint64_t number = 0;
    bool operator==(const FileState&) const = default;
};

// The state of a regular file; empty when it is missing or not a regular file.
std::optional<FileState> fileState(std::string_view path);

// Whether the file changed so lately that another change within the same tick
// of the file system's clock could leave its state as it is: within the last
// two seconds, or in the future.
bool changedLately(const FileState& state);

} // namespace zaptrove::platform
