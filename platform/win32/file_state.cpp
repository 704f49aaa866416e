// SPDX-License-Identifier: MIT
#include "platform/file_state.h"

#include "platform/files.h"
#include "text/text.h"

#include <windows.h>

namespace zaptrove::platform {

namespace {

std::uint64_t joined(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

// The system's file times count 100 ns.
constexpr std::int64_t kTwoSeconds = 20'000'000;

} // namespace

std::optional<FileState> fileState(std::string_view path) {
    const std::u16string units = utf8ToUtf16(nativePath(path));
    const std::wstring name(units.begin(), units.end());
    // Its attributes first, so that no folder, pipe or device is opened; then
    // opened for its attributes only, shared every way, so that no writer or
    // renamer waits for it.
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &attributes) ||
        (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    const HANDLE file = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION data{};
    const bool known =
        GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &data) != 0;
    CloseHandle(file);
    if (!known || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return FileState{joined(data.nFileSizeHigh, data.nFileSizeLow),
                     static_cast<std::int64_t>(joined(data.ftLastWriteTime.dwHighDateTime,
                                                      data.ftLastWriteTime.dwLowDateTime)),
                     data.dwVolumeSerialNumber, joined(data.nFileIndexHigh, data.nFileIndexLow)};
}

bool changedLately(const FileState& state) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return state.changed >
           static_cast<std::int64_t>(joined(now.dwHighDateTime, now.dwLowDateTime)) - kTwoSeconds;
}

} // namespace zaptrove::platform
