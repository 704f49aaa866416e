// SPDX-License-Identifier: MIT
#include "platform/private_copy.h"

#include "platform/files.h"
#include "platform/text.h"

#include <windows.h>

namespace zaptrove::platform {

namespace {

std::wstring wide(std::string_view path) {
    const std::u16string units = utf8ToUtf16(nativePath(path));
    return std::wstring(units.begin(), units.end());
}

std::string narrow(std::wstring_view text) {
    return utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

// Copies what is left of from into to through a small buffer.
bool copyBytes(HANDLE from, HANDLE to) {
    static constexpr DWORD kChunk = 1 << 16;
    std::string buffer(kChunk, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(from, buffer.data(), kChunk, &got, nullptr)) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        DWORD wrote = 0;
        if (!WriteFile(to, buffer.data(), got, &wrote, nullptr) || wrote != got) {
            return false;
        }
    }
}

} // namespace

std::optional<FileState> fileState(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return FileState{(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                     static_cast<std::int64_t>(
                         (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime)};
}

bool copyFile(std::string_view from, std::string_view to) {
    // Sharing everything: the browser may be writing the file meanwhile.
    const HANDLE source = CreateFileW(wide(from).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool copied = false;
    if (GetFileType(source) == FILE_TYPE_DISK) {
        const std::wstring target = wide(to);
        const HANDLE copy = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (copy != INVALID_HANDLE_VALUE) {
            copied = copyBytes(source, copy);
            copied = CloseHandle(copy) && copied;
            if (!copied) {
                DeleteFileW(target.c_str());
            }
        }
    }
    CloseHandle(source);
    return copied;
}

PrivateFolder::PrivateFolder() {
    wchar_t base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, base);
    if (length == 0 || length > MAX_PATH) {
        return;
    }
    // A folder made under the user's own temporary folder inherits its
    // protection, which lets only the user in.
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = std::wstring(base, length) + L"zaptrove-" +
                                  std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(GetTickCount64() + attempt);
        if (CreateDirectoryW(name.c_str(), nullptr)) {
            path_ = narrow(name);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return;
        }
    }
}

PrivateFolder::~PrivateFolder() {
    if (path_.empty()) {
        return;
    }
    // Only files are ever made in it.
    WIN32_FIND_DATAW found{};
    const std::wstring folder = wide(path_);
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring_view name = found.cFileName;
            if (name != L"." && name != L"..") {
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::string PrivateFolder::operator/(std::string_view name) const {
    return (path_ + "\\").append(name);
}

} // namespace zaptrove::platform
