// SPDX-License-Identifier: MIT
#include "platform/private_copy.h"

#include "platform/files.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zaptrove::platform {

namespace {

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t wrote = ::write(fd, data, size);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        data += wrote;
        size -= static_cast<std::size_t>(wrote);
    }
    return true;
}

// Copies what is left of from into to: inside the kernel where the system can
// (no trip through this process's memory, and a shared extent on file systems
// that offer them), else through a small buffer.
bool copyBytes(int from, int to) {
#if defined(__linux__)
    for (;;) {
        const ssize_t moved = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (moved == 0) {
            return true;
        }
        if (moved < 0 && errno == EINTR) {
            continue;
        }
        if (moved < 0) {
            // Not offered between these files: what is left goes the usual way.
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
                return false;
            }
            break;
        }
    }
#endif
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (!writeAll(to, buffer, static_cast<std::size_t>(got))) {
            return false;
        }
    }
}

} // namespace

std::optional<FileState> fileState(std::string_view path) {
    struct stat info {};
    if (::stat(nativePath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileState{static_cast<std::uint64_t>(info.st_size),
                     static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                         info.st_mtim.tv_nsec};
}

bool copyFile(std::string_view from, std::string_view to) {
    const int source = ::open(nativePath(from).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (source < 0) {
        return false;
    }
    struct stat info {};
    bool copied = false;
    if (::fstat(source, &info) == 0 && S_ISREG(info.st_mode)) {
        const std::string target = nativePath(to);
        const int copy = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (copy >= 0) {
            copied = copyBytes(source, copy);
            copied = ::close(copy) == 0 && copied;
            if (!copied) {
                ::unlink(target.c_str());
            }
        }
    }
    ::close(source);
    return copied;
}

PrivateFolder::PrivateFolder() {
    std::string base = environmentValue("TMPDIR");
    if (base.empty()) {
        base = "/tmp";
    }
    std::string pattern = base + "/zaptrove-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) {
        path_ = std::move(pattern);
    }
}

PrivateFolder::~PrivateFolder() {
    if (path_.empty()) {
        return;
    }
    // Only files are ever made in it.
    if (DIR* folder = ::opendir(path_.c_str())) {
        while (const dirent* entry = ::readdir(folder)) {
            const std::string_view name = entry->d_name;
            if (name != "." && name != "..") {
                ::unlink((path_ + "/").append(name).c_str());
            }
        }
        ::closedir(folder);
    }
    ::rmdir(path_.c_str());
}

std::string PrivateFolder::operator/(std::string_view name) const {
    return (path_ + "/").append(name);
}

} // namespace zaptrove::platform
