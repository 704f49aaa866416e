// SPDX-License-Identifier: MIT
#pragma once

// Linux only: faults in the reading of one file, planted through this test
// program's own definition of the system's pread, which every file read of the
// program goes through.
#include <cstdint>
#include <string>

namespace zaptrove::test {

// While it lives, reading the file at path fails past its first readableBytes.
class FileFaults {
  public:
    FileFaults(const std::string& path, std::uint64_t readableBytes);
    ~FileFaults();
    FileFaults(const FileFaults&) = delete;
    FileFaults& operator=(const FileFaults&) = delete;
};

} // namespace zaptrove::test
