// SPDX-License-Identifier: MIT
#include "platform/file_state.h"

#include "platform/files.h"
#include "text/text.h"

#include <windows.h>

namespace zaptrove::platform {

std::optional<FileState> fileState(std::string_view path) {
    const std::u16string units = utf8ToUtf16(nativePath(path));
    const std::wstring name(units.begin(), units.end());
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return FileState{(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                     static_cast<std::int64_t>(
                         (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime)};
}

} // namespace zaptrove::platform
