// SPDX-License-Identifier: MIT
#include "support/file_faults.h"

#include <cerrno>
#include <dlfcn.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Fault {
    struct stat file;
    std::uint64_t readableBytes;
};
std::optional<Fault> planted;

bool isFaulty(int fd) {
    struct stat info {};
    return planted && fstat(fd, &info) == 0 && info.st_dev == planted->file.st_dev &&
           info.st_ino == planted->file.st_ino;
}

} // namespace

extern "C" ssize_t pread(int fd, void* buffer, size_t size, off_t offset) {
    static const auto real = reinterpret_cast<decltype(&pread)>(dlsym(RTLD_NEXT, "pread"));
    if (isFaulty(fd) && static_cast<std::uint64_t>(offset) + size > planted->readableBytes) {
        errno = EIO;
        return -1;
    }
    return real(fd, buffer, size, offset);
}

zaptrove::test::FileFaults::FileFaults(const std::string& path, std::uint64_t readableBytes) {
    planted = Fault{{}, readableBytes};
    stat(path.c_str(), &planted->file);
}

zaptrove::test::FileFaults::~FileFaults() {
    planted.reset();
}
