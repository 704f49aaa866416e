// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

// Runs of small files opened and read with one system call a run (Linux's
// io_uring), where the system allows it.
namespace zaptrove::platform {

class FileRing {
  public:
    // The most files of a run, and the bytes read of each.
    static constexpr std::size_t kRunFiles = 64;
    static constexpr std::size_t kFileBytes = 4096;

    // The calling thread's ring, set up on its first call and kept until the
    // thread ends; nothing where the system refuses one (an old kernel,
    // io_uring disabled or filtered out) or it broke.
    static FileRing* ofThisThread();

    ~FileRing();
    FileRing(const FileRing&) = delete;
    FileRing& operator=(const FileRing&) = delete;

    // Opens the files named in names from start on (each name followed by a
    // '\0'), at most kRunFiles of them, in the folder open as folderFd with
    // openFlags, and reads each one's first kFileBytes; answers where the run
    // ended in names (start when the ring broke before).
    std::size_t readRun(int folderFd, std::string_view names, std::size_t start, int openFlags);
    // The bytes of the run's index-th file when one read met its end, so they
    // are the whole file; nothing when it could not be opened or read that way
    // or may be longer, which the caller's own reading decides.
    std::optional<std::string_view> wholeFile(std::size_t index) const;
    // Closes the files the runs left open (each run's take the places of the
    // last's).
    void closeFiles();

  private:
    struct Ring;
    explicit FileRing(std::unique_ptr<Ring> ring);
    void stop();

    std::unique_ptr<Ring> ring_;
    std::size_t placesTaken_ = 0; // by the runs since the files were last closed
};

} // namespace zaptrove::platform
