// SPDX-License-Identifier: MIT
#include "platform/files.h"

#include "platform/folder_order.h"
#include "platform/posix/file_ring.h"
#include "platform/separators.h"

#include "text/text.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <exception>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace zaptrove::platform {

namespace {

// Sorts an entry into folder, plain file, or neither (a dangling link, a pipe,
// a socket or a device, which the program leaves out like system entries).
enum class EntryKind { Folder, File, Other };

EntryKind kindOf(int dirFd, unsigned char type, const char* name) {
    switch (type) {
    case DT_DIR:
        return EntryKind::Folder;
    case DT_REG:
        return EntryKind::File;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    struct stat info {};
    if (fstatat(dirFd, name, &info, 0) != 0) {
        return EntryKind::Other;
    }
    if (S_ISDIR(info.st_mode)) {
        return EntryKind::Folder;
    }
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
}

} // namespace

std::string nativePath(std::string_view path) {
    return std::string(path);
}

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC;

// The entries of the folder open as fd, from where its reading stands, taken
// from the system a block at a time (a block holds hundreds).
void readEntries(int fd, FolderListing& listing) {
    listing.names.clear();
    listing.entries.clear();
    alignas(dirent64) char block[32768];
    ssize_t got = 0;
    while ((got = getdents64(fd, block, sizeof block)) > 0) {
        // The block's names fit in as many bytes.
        listing.names.reserve(listing.names.size() + static_cast<std::size_t>(got));
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(block + at);
            at += entry->d_reclen;
            if (entry->d_name[0] == '.') {
                continue; // ".", ".." and hidden entries
            }
            const EntryKind kind = kindOf(fd, entry->d_type, entry->d_name);
            if (kind != EntryKind::Other) {
                const std::size_t length = std::strlen(entry->d_name);
                listing.entries.push_back(
                    {listing.names.size(), length, kind == EntryKind::Folder});
                listing.names.append(entry->d_name, length + 1); // with its '\0'
            }
        }
    }
    sortFolderListing(listing);
}

std::optional<FolderIdentity> identityOf(const struct stat& info) {
    if (!S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return FolderIdentity{static_cast<std::uint64_t>(info.st_dev),
                          static_cast<std::uint64_t>(info.st_ino)};
}

} // namespace

bool listFolder(std::string_view path, std::vector<FolderEntry>& entries) {
    entries.clear();
    const int fd = path.empty() ? -1 : open(nativePath(path).c_str(), kFolderFlags);
    if (fd < 0) {
        return false;
    }
    FolderListing listing;
    readEntries(fd, listing);
    close(fd);
    entriesOf(listing, entries);
    return true;
}

std::optional<FolderIdentity> folderIdentity(std::string_view path) {
    struct stat info {};
    if (path.empty() || stat(nativePath(path).c_str(), &info) != 0) {
        return std::nullopt;
    }
    return identityOf(info);
}

namespace {

constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

// The length of the file open as fd when it is a regular file.
std::optional<std::size_t> lengthIfRegular(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(info.st_size);
}

// lengthIfRegular, closing fd when it is no regular file.
std::optional<std::size_t> regularFileLength(int fd) {
    if (fd < 0) {
        return std::nullopt;
    }
    const std::optional<std::size_t> length = lengthIfRegular(fd);
    if (!length) {
        close(fd);
    }
    return length;
}

// One read, repeated only when a signal cut it short.
ssize_t readOnce(int fd, char* data, std::size_t size) {
    ssize_t got = 0;
    do {
        got = read(fd, data, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

// Reads from fd until size bytes or the end of the file came; answers how many
// did, or nothing when reading fails.
std::optional<std::size_t> readUpTo(int fd, char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = readOnce(fd, data + done, size - done);
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

// Reads the file open as fd, if it is a regular file, into room(size) for its
// length at opening (at most limit), and closes it.
std::optional<std::size_t> readOpenFile(int fd, const std::function<char*(std::size_t)>& room,
                                        std::size_t limit) {
    const std::optional<std::size_t> length = regularFileLength(fd);
    if (!length) {
        return std::nullopt;
    }
    // The length seen at opening is what is read: a file that grows meanwhile
    // gives its first part, one that shrinks gives what is left.
    const std::size_t size = std::min(*length, limit);
    const std::optional<std::size_t> done = readUpTo(fd, room(size), size);
    close(fd);
    return done;
}

// Shortcut files fit in this many bytes; larger files take a second look.
constexpr std::size_t kSmallFileBytes = 4096;

// readOpenFile into bytes, sparing the small files' length check, and leaving
// fd open: one read that does not fill the memory offered has met the end of a
// regular file, and one that does fills it from nothing else than such a file,
// or a device or link made since the folder was listed, which the check then
// leaves out.
bool readOpenSmallFile(int fd, std::string& bytes, std::size_t limit) {
    // Read first beside the string, so that its memory is not cleared for
    // every file, only the bytes read copied.
    char small[kSmallFileBytes];
    const ssize_t got = readOnce(fd, small, sizeof small);
    std::optional<std::size_t> done;
    if (got >= 0) {
        const auto first = static_cast<std::size_t>(got);
        bytes.assign(small, first);
        if (first < sizeof small) {
            done = first;
        } else if (const std::optional<std::size_t> length = lengthIfRegular(fd)) {
            bytes.resize(std::max(std::min(*length, limit), first));
            const std::optional<std::size_t> rest =
                readUpTo(fd, bytes.data() + first, bytes.size() - first);
            done = rest ? std::optional(first + *rest) : std::nullopt;
        }
    }
    bytes.resize(done.value_or(0));
    return done.has_value();
}

} // namespace

std::optional<std::size_t> readWholeFileInto(std::string_view path,
                                             const std::function<char*(std::size_t)>& room,
                                             std::size_t limit) {
    if (path.empty()) {
        return std::nullopt;
    }
    return readOpenFile(open(nativePath(path).c_str(), kReadFlags), room, limit);
}

namespace {

std::string systemWords(int error) {
    return std::generic_category().message(error);
}

} // namespace

void FileReader::open() {
    if (path_.empty()) {
        problem_ = kNoPathGiven;
        return;
    }
    const int fd = ::open(nativePath(path_).c_str(), kReadFlags);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) {
        problem_ = systemWords(errno);
    } else if (S_ISDIR(info.st_mode)) {
        problem_ = systemWords(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        problem_ = "Not a regular file";
    } else {
        opened_ = true;
        handle_ = fd;
        length_ = static_cast<std::uint64_t>(info.st_size);
        return;
    }
    if (fd >= 0) {
        close(fd);
    }
}

std::optional<std::size_t> FileReader::readAt(char* room, std::size_t size) {
    for (;;) {
        const ssize_t got =
            pread(static_cast<int>(handle_), room, size, static_cast<off_t>(offset_));
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            problem_ = systemWords(errno);
            return std::nullopt;
        }
    }
}

void FileReader::letGo() {
    if (handle_ != -1) {
        close(static_cast<int>(handle_));
        handle_ = -1;
    }
}

namespace {

// Which file table the calling thread opens files in: 0 for the process's,
// else one of the thread's own (see useOwnFileTable).
thread_local unsigned threadFileTable = 0;
std::atomic<unsigned> ownFileTablesMade{0};

// The files a thread with a file table of its own has read and not yet closed:
// closing a run of them is one call instead of one each, and no other thread
// opens a file among them. A few are held at most; the rest go with the thread.
class UnclosedFiles {
  public:
    UnclosedFiles() = default;
    UnclosedFiles(const UnclosedFiles&) = delete;
    UnclosedFiles& operator=(const UnclosedFiles&) = delete;
    ~UnclosedFiles() { closeAll(); }

    void add(int fd) {
        fds_[count_++] = fd;
        if (count_ == kMostHeld) {
            closeAll();
        }
    }

    void closeAll() {
        // The system gives each file the lowest number free, so the run is
        // most often whole; one with a gap is closed file by file.
        std::sort(fds_, fds_ + count_);
        const bool whole =
            count_ > 0 && static_cast<std::size_t>(fds_[count_ - 1] - fds_[0]) + 1 == count_;
#ifdef CLOSE_RANGE_UNSHARE
        if (whole && close_range(static_cast<unsigned>(fds_[0]),
                                 static_cast<unsigned>(fds_[count_ - 1]), 0) == 0) {
            count_ = 0;
        }
#endif
        for (std::size_t i = 0; i < count_; ++i) {
            close(fds_[i]);
        }
        count_ = 0;
    }

  private:
    static constexpr std::size_t kMostHeld = 64;

    int fds_[kMostHeld] = {};
    std::size_t count_ = 0;
};

thread_local UnclosedFiles unclosedFiles;

// Closes a file read through an open folder, in a run with others where the
// thread's file table is its own.
void closeReadFile(int fd) {
    if (threadFileTable == 0) {
        close(fd);
    } else {
        unclosedFiles.add(fd);
    }
}

// Whether files may be opened without updating their access time, which the
// system allows only to their owner; once refused, never asked again.
std::atomic<bool> accessTimeKept{true};

// Opens a file in the folder open as dirFd for reading, leaving its access
// time as it was where the system allows that: a walk that reads every file
// of a tree writes nothing back to it.
int openWithoutAccessTime(int dirFd, const char* name) {
    if (accessTimeKept.load(std::memory_order_relaxed)) {
        const int fd = openat(dirFd, name, kReadFlags | O_NOATIME);
        if (fd >= 0 || errno != EPERM) {
            return fd;
        }
        accessTimeKept.store(false, std::memory_order_relaxed);
    }
    return openat(dirFd, name, kReadFlags);
}

} // namespace

bool useOwnFileTable() {
    // ThreadSanitizer keeps one record per file number for the whole process,
    // so files of the same number in two tables would look to it like one file
    // raced on: under it, every thread keeps the process's table.
#if defined(CLOSE_RANGE_UNSHARE) && !defined(__SANITIZE_THREAD__)
    if (threadFileTable == 0 && close_range(3, ~0U, CLOSE_RANGE_UNSHARE) == 0) {
        threadFileTable = ownFileTablesMade.fetch_add(1, std::memory_order_relaxed) + 1;
    }
#endif
    return threadFileTable != 0;
}

void runWithOwnFileTable(const std::function<void()>& work) {
    std::exception_ptr failure;
    bool tableOwned = false;
    try {
        std::thread worker([&] {
            tableOwned = useOwnFileTable();
            if (tableOwned) {
                try {
                    work();
                } catch (...) {
                    failure = std::current_exception();
                }
            }
        });
        worker.join();
    } catch (const std::system_error&) {
        // No thread to be had.
    }
    if (!tableOwned) {
        work();
    } else if (failure) {
        std::rethrow_exception(failure);
    }
}

// The folder's handle serves for its identity, its listing and opening its files.
OpenFolder::OpenFolder(std::string_view path) : path_(path), fileTable_(threadFileTable) {
    handle_ = path.empty() ? -1 : open(nativePath(path).c_str(), kFolderFlags);
    if (handle_ < 0) {
        problem_ = path.empty() ? kNoPathGiven : systemWords(errno);
    }
}

OpenFolder::OpenFolder(const OpenFolder& above, std::string_view below)
    : path_(pathIn(above.path_, below)), fileTable_(threadFileTable) {
    // openat would take an absolute path as it is; and a handle means nothing
    // in another file table.
    if (above.handle_ < 0 || below.starts_with('/') || above.fileTable_ != threadFileTable) {
        handle_ = path_.empty() ? -1 : open(path_.c_str(), kFolderFlags);
    } else {
        handle_ = openat(static_cast<int>(above.handle_),
                         below.empty() ? "." : std::string(below).c_str(), kFolderFlags);
    }
    if (handle_ < 0) {
        problem_ = path_.empty() ? kNoPathGiven : systemWords(errno);
    }
}

OpenFolder::~OpenFolder() {
    // A handle of another thread's own table went with that thread; here its
    // number may be another file's.
    if (handle_ >= 0 && fileTable_ == threadFileTable) {
        close(static_cast<int>(handle_));
    }
}

std::optional<FolderIdentity> OpenFolder::identity() const {
    struct stat info {};
    if (handle_ < 0 || fstat(static_cast<int>(handle_), &info) != 0) {
        return std::nullopt;
    }
    return identityOf(info);
}

std::string OpenFolder::problem() const {
    return problem_;
}

bool OpenFolder::list(FolderListing& listing) const {
    if (handle_ < 0) {
        listing.names.clear();
        listing.entries.clear();
        return false;
    }
    // From the first entry, even when listed before.
    lseek(static_cast<int>(handle_), 0, SEEK_SET);
    readEntries(static_cast<int>(handle_), listing);
    return true;
}

bool OpenFolder::readWholeFile(const std::string& name, std::string& bytes,
                               std::size_t limit) const {
    // openat would take an absolute name as it is, leaving the folder; and
    // the folder's handle means nothing in another file table.
    if (handle_ < 0 || name.starts_with('/') || fileTable_ != threadFileTable) {
        return platform::readWholeFile(pathIn(path_, name), bytes, limit);
    }
    int fd = openWithoutAccessTime(static_cast<int>(handle_), name.c_str());
    if (fd < 0 && errno == EMFILE && threadFileTable != 0) {
        unclosedFiles.closeAll(); // the files held took the last numbers allowed
        fd = openWithoutAccessTime(static_cast<int>(handle_), name.c_str());
    }
    if (fd < 0) {
        bytes.clear();
        return false;
    }
    const bool read = readOpenSmallFile(fd, bytes, limit);
    closeReadFile(fd);
    return read;
}

void OpenFolder::readWholeFiles(std::string_view names, std::string& bytes, std::size_t limit,
                                const std::function<void(std::string_view, bool)>& each) const {
    FileRing* ring =
        handle_ >= 0 && fileTable_ == threadFileTable ? FileRing::ofThisThread() : nullptr;
    std::string name;
    for (std::size_t start = 0; start < names.size();) {
        // The ring's files are open in a table of its own: no file number is taken.
        const int ringFlags = (kReadFlags & ~O_CLOEXEC) |
                              (accessTimeKept.load(std::memory_order_relaxed) ? O_NOATIME : 0);
        const std::size_t run =
            ring != nullptr ? ring->readRun(static_cast<int>(handle_), names, start, ringFlags)
                            : start;
        const std::size_t end = std::max(run, start + 1); // else one file by itself
        for (std::size_t index = 0; start < end && start < names.size(); ++index) {
            name.assign(names.data() + start);
            start += name.size() + 1;
            const std::optional<std::string_view> whole =
                ring != nullptr ? ring->wholeFile(index) : std::nullopt;
            if (whole) {
                bytes.assign(*whole);
            }
            each(name, whole ? true : readWholeFile(name, bytes, limit));
        }
    }
    if (ring != nullptr) {
        ring->closeFiles();
    }
}

namespace {

// Writes the whole text to the open file: false when a write fails.
bool writeAll(int fd, std::string_view text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

} // namespace

bool appendToFile(std::string_view path, std::string_view text, bool ownerOnly) {
    if (path.empty()) {
        return false;
    }
    const int fd = open(nativePath(path).c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
                        ownerOnly ? 0600 : 0644);
    if (fd < 0) {
        return false;
    }
    const bool ok = writeAll(fd, text);
    return close(fd) == 0 && ok;
}

bool replaceFile(std::string_view path, std::string_view text) {
    const std::string native = nativePath(path);
    const std::string temporary = native + ".new-" + std::to_string(getpid());
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        return false;
    }
    bool ok = writeAll(fd, text) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temporary.c_str(), native.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

FileLock::FileLock(std::string_view path) {
    const int fd = open(nativePath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        return;
    }
    // A holder that never lets go (a stopped process) delays only so long.
    int locked = -1;
    for (int wait = 0; (locked = flock(fd, LOCK_EX | LOCK_NB)) != 0 && wait < 200; ++wait) {
        usleep(10'000);
    }
    if (locked != 0) {
        close(fd);
        return;
    }
    handle_ = fd;
}

FileLock::~FileLock() {
    if (held()) {
        close(static_cast<int>(handle_)); // closing lets the lock go
    }
}

bool isAbsent(std::string_view path) {
    // Without its final separators, so that a file where a folder was named is there.
    std::string native = nativePath(path);
    while (native.size() > 1 && native.ends_with('/')) {
        native.pop_back();
    }
    struct stat info {};
    return !native.empty() && lstat(native.c_str(), &info) != 0 &&
           (errno == ENOENT || errno == ENOTDIR);
}

bool isWritableFolder(std::string_view path) {
    const std::string native = nativePath(path);
    struct stat info {};
    return !native.empty() && stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           access(native.c_str(), W_OK | X_OK) == 0;
}

bool makeFolders(std::string_view path) {
    const std::string native = nativePath(path);
    for (std::size_t slash = native.find('/', 1); slash != std::string::npos;
         slash = native.find('/', slash + 1)) {
        mkdir(native.substr(0, slash).c_str(), 0755);
    }
    mkdir(native.c_str(), 0755);
    return folderIdentity(path).has_value();
}

std::string programFolder() {
    std::string target(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", target.data(), target.size());
    if (length <= 0) {
        return ".";
    }
    target.resize(static_cast<std::size_t>(length));
    const std::size_t slash = target.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : target.substr(0, slash);
}

std::string userStateFolder() {
    const std::string base = xdgBaseFolder("XDG_STATE_HOME", ".local/state");
    return base.empty() ? std::string() : base + "/zaptrove";
}

std::string resolvedPath(std::string_view path) {
    std::string native = nativePath(path);
    char* resolved = realpath(native.c_str(), nullptr);
    if (resolved == nullptr) {
        return native;
    }
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::string userHomeFolder() {
    std::string home = environmentValue("HOME");
    if (home.starts_with('/')) {
        return home;
    }
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] == '/' ? user->pw_dir : "";
}

std::string xdgBaseFolder(const char* pVariable, std::string_view pUnderHome) {
    std::string folder = environmentValue(pVariable);
    if (folder.starts_with('/')) {
        return folder;
    }
    const std::string home = userHomeFolder();
    return home.empty() ? std::string() : home + "/" + std::string(pUnderHome);
}

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

} // namespace zaptrove::platform
