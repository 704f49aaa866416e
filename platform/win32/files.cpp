// SPDX-License-Identifier: MIT
#include "platform/files.h"

#include "platform/folder_order.h"
#include "platform/separators.h"

#include "text/text.h"

#include <algorithm>
#include <string>
#include <windows.h>

namespace zaptrove::platform {

namespace {

std::wstring toWide(std::string_view text) {
    const std::u16string units = utf8ToUtf16(text);
    return std::wstring(units.begin(), units.end());
}

std::wstring wide(std::string_view path) {
    return toWide(nativePath(path));
}

std::string narrow(const wchar_t* text) {
    return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text)));
}

HANDLE openForReading(const std::wstring& path) {
    // Sharing everything: a browser may be writing or replacing the file.
    return CreateFileW(path.c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The system's error in the words the POSIX systems use for the same errors.
std::string errorWords(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
        return "No such file or directory";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return "Permission denied";
    default:
        return "Windows error " + std::to_string(error);
    }
}

} // namespace

std::string nativePath(std::string_view path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '/', '\\');
    return native;
}

namespace {

// listFolder into a listing.
bool listInto(std::string_view path, FolderListing& listing) {
    listing.names.clear();
    listing.entries.clear();
    if (path.empty()) {
        return false;
    }
    std::wstring pattern = wide(path);
    if (!pattern.empty() && pattern.back() != L'\\') {
        pattern += L'\\';
    }
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L".." ||
            (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
            continue;
        }
        const std::string utf8 = narrow(found.cFileName);
        listing.entries.push_back({listing.names.size(), utf8.size(),
                                   (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        listing.names.append(utf8).push_back('\0');
    } while (FindNextFileW(search, &found));
    FindClose(search);
    sortFolderListing(listing);
    return true;
}

} // namespace

bool listFolder(std::string_view path, std::vector<FolderEntry>& entries) {
    FolderListing listing;
    const bool listed = listInto(path, listing);
    entriesOf(listing, entries);
    return listed;
}

std::optional<FolderIdentity> folderIdentity(std::string_view path) {
    if (path.empty()) {
        return std::nullopt;
    }
    const HANDLE folder = openForReading(wide(path));
    if (folder == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(folder, &info) &&
                       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(folder);
    if (!known) {
        return std::nullopt;
    }
    return FolderIdentity{info.dwVolumeSerialNumber,
                          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                              info.nFileIndexLow};
}

namespace {

// The file at path open for reading, with its length, when it is a regular
// file; INVALID_HANDLE_VALUE otherwise, and why in problem.
HANDLE openRegularFile(std::string_view path, std::uint64_t& length, std::string& problem) {
    if (path.empty()) {
        problem = kNoPathGiven;
        return INVALID_HANDLE_VALUE;
    }
    const HANDLE file = openForReading(wide(path));
    if (file == INVALID_HANDLE_VALUE) {
        problem = errorWords(GetLastError());
        return file;
    }
    LARGE_INTEGER size{};
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        problem = "Not a regular file";
    } else if (!GetFileInformationByHandle(file, &info) || !GetFileSizeEx(file, &size)) {
        problem = errorWords(GetLastError());
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        problem = "Is a directory";
    } else {
        length = static_cast<std::uint64_t>(size.QuadPart);
        return file;
    }
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
}

} // namespace

std::optional<std::size_t> readWholeFileInto(std::string_view path,
                                             const std::function<char*(std::size_t)>& room,
                                             std::size_t limit) {
    std::uint64_t length = 0;
    std::string problem;
    const HANDLE file = openRegularFile(path, length, problem);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const std::size_t size = std::min(static_cast<std::size_t>(length), limit);
    char* const data = room(size);
    std::size_t done = 0;
    while (done < size) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        if (!ReadFile(file, data + done, chunk, &got, nullptr)) {
            CloseHandle(file);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    CloseHandle(file);
    return done;
}

void FileReader::open() {
    const HANDLE file = openRegularFile(path_, length_, problem_);
    handle_ = reinterpret_cast<std::intptr_t>(file);
    opened_ = file != INVALID_HANDLE_VALUE;
}

std::optional<std::size_t> FileReader::readAt(char* room, std::size_t size) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset_);
    at.OffsetHigh = static_cast<DWORD>(offset_ >> 32);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), room,
                  static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)), &got, &at)) {
        if (const DWORD error = GetLastError(); error != ERROR_HANDLE_EOF) {
            problem_ = errorWords(error);
            return std::nullopt;
        }
        got = 0;
    }
    return static_cast<std::size_t>(got);
}

void FileReader::letGo() {
    if (handle_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
        handle_ = -1;
    }
}

OpenFolder::OpenFolder(std::string_view path) : path_(path) {}

OpenFolder::OpenFolder(const OpenFolder& above, std::string_view below)
    : path_(pathIn(above.path_, below)) {}

OpenFolder::~OpenFolder() = default;

std::optional<FolderIdentity> OpenFolder::identity() const {
    return folderIdentity(path_);
}

// Asked only of a folder that could not be opened, so the look is taken then.
std::string OpenFolder::problem() const {
    if (path_.empty()) {
        return kNoPathGiven;
    }
    const HANDLE folder = openForReading(wide(path_));
    if (folder == INVALID_HANDLE_VALUE) {
        return errorWords(GetLastError());
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(folder, &info);
    const DWORD error = GetLastError();
    CloseHandle(folder);
    if (!known) {
        return errorWords(error);
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? "" : "Not a directory";
}

bool OpenFolder::list(FolderListing& listing) const {
    return listInto(path_, listing);
}

bool OpenFolder::readWholeFile(const std::string& name, std::string& bytes,
                               std::size_t limit) const {
    // The walk keeps its folders with a final "\"; a folder named without one gets it here.
    const bool separated = path_.ends_with('\\') || path_.ends_with('/');
    return platform::readWholeFile(path_ + (separated ? "" : "\\") + name, bytes, limit);
}

void OpenFolder::readWholeFiles(std::string_view names, std::string& bytes, std::size_t limit,
                                const std::function<void(std::string_view, bool)>& each) const {
    std::string name;
    for (std::size_t start = 0; start < names.size(); start += name.size() + 1) {
        name.assign(names.data() + start);
        each(name, readWholeFile(name, bytes, limit));
    }
}

// Windows keeps one handle table per process.
bool useOwnFileTable() {
    return false;
}

void runWithOwnFileTable(const std::function<void()>& work) {
    work();
}

bool appendToFile(std::string_view path, std::string_view text,
                  bool /*ownerOnly: the user's folders are their own*/) {
    if (path.empty()) {
        return false;
    }
    // Another program may hold the log open, even to write to it: appends
    // through FILE_APPEND_DATA never overwrite each other.
    const HANDLE file =
        CreateFileW(wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    return CloseHandle(file) && ok;
}

bool replaceFile(std::string_view path, std::string_view text) {
    const std::wstring target = wide(path);
    const std::wstring temporary = target + L".new-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size() && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (!ok || !MoveFileExW(temporary.c_str(), target.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

FileLock::FileLock(std::string_view path) {
    const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    // A holder that never lets go (a suspended process) delays only so long.
    const auto tryLock = [file] {
        OVERLAPPED whole{};
        return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                          MAXDWORD, &whole) != 0;
    };
    bool locked = false;
    for (int wait = 0; !(locked = tryLock()) && wait < 200; ++wait) {
        Sleep(10);
    }
    if (!locked) {
        CloseHandle(file);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
}

FileLock::~FileLock() {
    if (held()) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_)); // closing lets the lock go
    }
}

bool isAbsent(std::string_view path) {
    if (path.empty() || GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool isWritableFolder(std::string_view path) {
    const std::wstring folder = wide(path);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return false;
    }
    // The only sure test is to create a file there, named per process so two
    // programs testing at once do not see each other's.
    const std::wstring probe =
        folder + L"\\.zaptrove-write-test-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

bool makeFolders(std::string_view path) {
    const std::wstring folder = wide(path);
    for (std::size_t slash = folder.find(L'\\', 3); slash != std::wstring::npos;
         slash = folder.find(L'\\', slash + 1)) {
        CreateDirectoryW(folder.substr(0, slash).c_str(), nullptr);
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    return folderIdentity(path).has_value();
}

std::string programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    const std::size_t slash = path.rfind(L'\\');
    path.resize(slash == std::wstring::npos ? 0 : slash);
    return narrow(path.c_str());
}

std::string resolvedPath(std::string_view path) {
    return std::string(path);
}

std::string userStateFolder() {
    return environmentValue("LOCALAPPDATA") + "\\Zaptrove";
}

std::string environmentValue(const char* name) {
    const std::wstring variable = toWide(name);
    const DWORD size = GetEnvironmentVariableW(variable.c_str(), nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(variable.c_str(), value.data(), size));
    return narrow(value.c_str());
}

} // namespace zaptrove::platform
