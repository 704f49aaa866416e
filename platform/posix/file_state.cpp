// SPDX-License-Identifier: MIT
#include "platform/file_state.h"

#include "platform/files.h"

#include <sys/stat.h>

namespace zaptrove::platform {

std::optional<FileState> fileState(std::string_view path) {
    struct stat info {};
    if (::stat(nativePath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileState{static_cast<std::uint64_t>(info.st_size),
                     static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                         info.st_mtim.tv_nsec};
}

} // namespace zaptrove::platform
