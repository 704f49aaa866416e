// SPDX-License-Identifier: MIT
#pragma once

// Linux only: faults in the reading and copying of one file, planted through
// this test program's own definitions of the system's pread and
// copy_file_range, which every file read and copy of the program goes through.
#include <cstdint>
#include <functional>
#include <string>

namespace zaptrove::test {

// While it lives, reading the file at path fails past its first readableBytes,
// and afterCopy runs once the first bytes of each copy of it were copied.
class FileFaults {
  public:
    FileFaults(const std::string& path, std::uint64_t readableBytes,
               std::function<void()> afterCopy = {});
    ~FileFaults();
    FileFaults(const FileFaults&) = delete;
    FileFaults& operator=(const FileFaults&) = delete;
};

} // namespace zaptrove::test
