// SPDX-License-Identifier: MIT
#include "support/file_faults.h"

#include <cerrno>
#include <dlfcn.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Fault {
    dev_t device = 0;
    ino_t inode = 0;
    std::uint64_t readableBytes = 0;
    std::function<void()> afterCopy;
};
std::optional<Fault> planted;

bool isFaulty(int fd) {
    struct stat info {};
    return planted && fstat(fd, &info) == 0 && info.st_dev == planted->device &&
           info.st_ino == planted->inode;
}

template <typename Function> Function* next(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" ssize_t pread(int fd, void* buffer, size_t size, off_t offset) {
    static auto* const real = next<ssize_t(int, void*, size_t, off_t)>("pread");
    if (isFaulty(fd) && static_cast<std::uint64_t>(offset) + size > planted->readableBytes) {
        errno = EIO;
        return -1;
    }
    return real(fd, buffer, size, offset);
}

extern "C" ssize_t copy_file_range(int from, off_t* fromOffset, int to, off_t* toOffset,
                                   size_t size, unsigned flags) {
    static auto* const real =
        next<ssize_t(int, off_t*, int, off_t*, size_t, unsigned)>("copy_file_range");
    const bool copyStarts = lseek(from, 0, SEEK_CUR) == 0;
    const ssize_t copied = real(from, fromOffset, to, toOffset, size, flags);
    if (copyStarts && copied > 0 && isFaulty(from) && planted->afterCopy) {
        planted->afterCopy();
    }
    return copied;
}

namespace zaptrove::test {

FileFaults::FileFaults(const std::string& path, std::uint64_t readableBytes,
                       std::function<void()> afterCopy) {
    struct stat info {};
    stat(path.c_str(), &info);
    planted = Fault{info.st_dev, info.st_ino, readableBytes, std::move(afterCopy)};
}

FileFaults::~FileFaults() {
    planted.reset();
}

} // namespace zaptrove::test
