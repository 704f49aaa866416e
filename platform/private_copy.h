// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Private copies of files that another program may be changing: a folder of the
// program's own to hold them, the copying, and what tells whether a file
// changed meanwhile.
namespace zaptrove::platform {

// A file's size and time of last change.
struct FileState {
    std::uint64_t size = 0;
    std::int64_t changed = 0; // in the system's own units
    bool operator==(const FileState&) const = default;
};

// The state of a regular file; empty when it is missing or not a regular file.
std::optional<FileState> fileState(std::string_view path);

// Copies a regular file's bytes into a new file (which must not exist yet),
// opening the source for reading only and sharing it with every other program.
// Answers false, leaving no partial copy, on any failure.
bool copyFile(std::string_view from, std::string_view to);

// A new folder under the system's temporary folder that only the user can
// enter; it goes, with everything in it, when the object goes.
class PrivateFolder {
  public:
    PrivateFolder();
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    // Empty when no folder could be made.
    const std::string& path() const { return path_; }
    // The path of a file in the folder.
    std::string operator/(std::string_view name) const;

  private:
    std::string path_;
};

} // namespace zaptrove::platform
