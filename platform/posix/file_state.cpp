// SPDX-License-Identifier: MIT
#include "platform/file_state.h"

#include "platform/files.h"

#include <sys/stat.h>
#include <time.h>

namespace zaptrove::platform {

namespace {

constexpr std::int64_t kNanoseconds = 1'000'000'000;

} // namespace

std::optional<FileState> fileState(std::string_view path) {
    struct stat info {};
    if (::stat(nativePath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileState{
        static_cast<std::uint64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNanoseconds + info.st_mtim.tv_nsec,
        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

bool changedLately(const FileState& state) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return state.changed > static_cast<std::int64_t>(now.tv_sec - 2) * kNanoseconds + now.tv_nsec;
}

} // namespace zaptrove::platform
