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
std::optional<struct stat> aged;

int realFstat(int fd, struct stat* info) {
    static const auto real = reinterpret_cast<decltype(&fstat)>(dlsym(RTLD_NEXT, "fstat"));
    return real(fd, info);
}

bool isFile(const struct stat& info, const struct stat& file) {
    return info.st_dev == file.st_dev && info.st_ino == file.st_ino;
}

bool isFaulty(int fd) {
    struct stat info {};
    return planted && realFstat(fd, &info) == 0 && isFile(info, planted->file);
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

extern "C" int fstat(int fd, struct stat* info) noexcept {
    const int result = realFstat(fd, info);
    if (result == 0 && aged && isFile(*info, *aged)) {
        info->st_mtim.tv_sec -= 60;
        info->st_ctim.tv_sec -= 60;
    }
    return result;
}

zaptrove::test::FileFaults::FileFaults(const std::string& path, std::uint64_t readableBytes) {
    planted = Fault{{}, readableBytes};
    stat(path.c_str(), &planted->file);
}

zaptrove::test::FileFaults::~FileFaults() {
    planted.reset();
}

zaptrove::test::FileAged::FileAged(const std::string& path) {
    aged.emplace();
    stat(path.c_str(), &*aged);
}

zaptrove::test::FileAged::~FileAged() {
    aged.reset();
}
