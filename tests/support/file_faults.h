// SPDX-License-Identifier: MIT
#pragma once

// Linux only: faults in the reading of one file, planted through this test
// program's own definitions of the system's pread and fstat, which every file
// read and look at an open file of the program goes through.
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

// While it lives, the file at path, open, tells change times a minute older
// than they are, so that it is taken in place from its mapped pages however
// lately it was written (see platform::FileMapping).
class FileAged {
  public:
    explicit FileAged(const std::string& path);
    ~FileAged();
    FileAged(const FileAged&) = delete;
    FileAged& operator=(const FileAged&) = delete;
};

} // namespace zaptrove::test
