// SPDX-License-Identifier: MIT
#include "platform/files.h"
#include "registry/posix/hive_format.h"
#include "registry/registry.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <optional>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zaptrove::platform {

namespace {

constexpr std::string_view kShellFolders =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// How long a save waits for another program's lock before it writes without it.
constexpr int kLockWaitMilliseconds = 3000;

std::string defaultHivePath() {
    std::string path = environmentValue("ZAPTROVE_REGISTRY");
    if (!path.empty()) {
        return path;
    }
    const std::string config = xdgBaseFolder("XDG_CONFIG_HOME", ".config");
    return config.empty() ? std::string() : config + "/zaptrove/registry.reg";
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

// The file a chain of symbolic links ends at (which need not exist yet); a link
// loop gives back a link, which no save replaces.
std::string linkTarget(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target);
        if (length < 0 || length == sizeof target) {
            break;
        }
        const std::string_view next(target, static_cast<std::size_t>(length));
        path = next.starts_with('/') ? std::string(next) : folderOf(path) + "/" + std::string(next);
    }
    return path;
}

std::string errorText(int error) {
    return std::strerror(error);
}

std::string_view kindOf(mode_t mode) {
    return S_ISFIFO(mode)                   ? "a pipe"
           : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
           : S_ISDIR(mode)                  ? "a folder"
           : S_ISLNK(mode)                  ? "a link loop"
                                            : "not a regular file";
}

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t put = write(fd, text.data(), text.size());
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

void readAll(int fd, std::size_t size, std::string& bytes) {
    bytes.resize(size);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t part = read(fd, bytes.data() + got, bytes.size() - got);
        if (part < 0 && errno == EINTR) {
            continue;
        }
        if (part <= 0) {
            break;
        }
        got += static_cast<std::size_t>(part);
    }
    bytes.resize(got); // a file that shrank while read is read as far as it goes
}

// What tells one state of a file from another without reading it.
struct FileStamp {
    dev_t device;
    ino_t inode;
    off_t size;
    timespec modified, changed;

    explicit FileStamp(const struct stat& status)
        : device(status.st_dev), inode(status.st_ino), size(status.st_size),
          modified(status.st_mtim), changed(status.st_ctim) {}
    bool operator==(const FileStamp& other) const {
        const auto same = [](timespec a, timespec b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return device == other.device && inode == other.inode && size == other.size &&
               same(modified, other.modified) && same(changed, other.changed);
    }
};

// The registry kept in a hive file. Every change is a read-modify-write of the
// whole file under an exclusive lock, written to a temporary file, flushed and
// renamed over the old one, so readers always see a complete file. The file is
// parsed again only when it changed.
class HiveRegistry final : public Registry {
  public:
    explicit HiveRegistry(std::string_view path) : path_(nativePath(path)) {
        if (path_.empty()) {
            unusable_ = true;
            report("No settings file: no home folder is known; no settings are saved this "
                   "session");
        }
    }
    ~HiveRegistry() override { unlock(); }

    KeyHandle openKey(RegistryRoot root, std::string_view path) override {
        refresh();
        const std::string full = fullPath(root, path);
        if (full.empty() ||
            (hive_.findKey(full) == nullptr && !sameRegistryName(full, kShellFolders))) {
            return 0;
        }
        return remember(full);
    }

    KeyHandle createKey(RegistryRoot root, std::string_view path) override {
        const std::string full = fullPath(root, path);
        if (full.empty() || !change([&] { hive_.addKey(full); })) {
            return 0;
        }
        return remember(full);
    }

    std::int32_t queryValue(KeyHandle key, std::string_view name, RegistryValue& value) override {
        const auto handle = handles_.find(key);
        if (handle == handles_.end()) {
            return kFileNotFound;
        }
        if (const HiveKey* stored = hive_.findKey(handle->second)) {
            if (const RegistryValue* found = stored->findValue(name)) {
                value = *found;
                return 0;
            }
        }
        if (sameRegistryName(handle->second, kShellFolders) &&
            sameRegistryName(name, "Favorites")) {
            // Like a Windows system, the hive always knows a Favorites folder.
            value = RegistryValue::ofText(environmentValue("HOME") + "/Favorites");
            return 0;
        }
        return kFileNotFound;
    }

    std::int32_t setValue(KeyHandle key, std::string_view name,
                          const RegistryValue& value) override {
        const auto handle = handles_.find(key);
        if (handle == handles_.end()) {
            return kInvalidHandle;
        }
        const std::string& path = handle->second;
        return change([&] { hive_.addKey(path).setValue(name, value); }) ? 0 : kWriteFault;
    }

    void deleteValue(KeyHandle key, std::string_view name) override {
        const auto handle = handles_.find(key);
        if (handle != handles_.end()) {
            const std::string& path = handle->second;
            change([&] {
                if (HiveKey* stored = hive_.findKey(path)) {
                    stored->removeValue(name);
                }
            });
        }
    }

    void deleteKey(RegistryRoot root, std::string_view path) override {
        const std::string full = fullPath(root, path);
        if (!full.empty()) {
            change([&] { hive_.removeKey(full); });
        }
    }

    void closeKey(KeyHandle key) override { handles_.erase(key); }

    void beginUpdate() override {
        if (updateDepth_ == 0) {
            lock();
            reload();
            dirty_ = false;
        }
        ++updateDepth_;
    }

    void endUpdate() override {
        if (updateDepth_ > 0 && --updateDepth_ == 0) {
            if (dirty_) {
                save();
            }
            unlock();
        }
    }

    std::vector<std::string> takeProblems() override { return std::exchange(problems_, {}); }

  private:
    static constexpr std::int32_t kFileNotFound = 2;
    static constexpr std::int32_t kInvalidHandle = 6;
    static constexpr std::int32_t kWriteFault = 29;

    static std::string fullPath(RegistryRoot root, std::string_view path) {
        const std::string_view name = rootName(root);
        return name.empty() ? std::string() : std::string(name) + "\\" + std::string(path);
    }

    KeyHandle remember(const std::string& path) {
        handles_[++lastHandle_] = path;
        return lastHandle_;
    }

    // Each problem is told once a session.
    void report(std::string problem) {
        if (reported_.insert(problem).second) {
            problems_.push_back(std::move(problem));
        }
    }

    // From now on the file is neither read nor written.
    void giveUp(const std::string& why) {
        unusable_ = true;
        hive_ = Hive{};
        report("Settings file " + path_ + " " + why +
               "; it is left as it is and no settings are saved this session");
    }

    // Re-reads the file, except inside an update, where the state read when it
    // began holds.
    void refresh() {
        if (updateDepth_ == 0) {
            reload();
        }
    }

    // Only a missing file is a first run. A pipe or device is never waited on.
    void reload() {
        if (unusable_) {
            hive_ = Hive{}; // what a failed save left in memory
            return;
        }
        const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat status {};
        if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            const int error = errno;
            if (fd >= 0) {
                close(fd);
                giveUp("is " + std::string(kindOf(status.st_mode)));
            } else if (error == ENOENT || error == ENOTDIR) {
                hive_ = Hive{};
                damaged_ = false;
                parsedStamp_.reset();
            } else {
                giveUp("cannot be read (" + errorText(error) + ")");
            }
            return;
        }
        if (parsedStamp_ == FileStamp(status)) {
            close(fd);
            return;
        }
        std::string bytes;
        readAll(fd, static_cast<std::size_t>(status.st_size), bytes);
        close(fd);
        parse(bytes);
        parsedStamp_ = FileStamp(status);
    }

    // A file that is not in the format reads as empty, and one with lines that
    // cannot be read keeps the rest; either is marked, so that it is moved aside
    // rather than overwritten.
    void parse(std::string_view bytes) {
        auto parsed = parseHive(bytes);
        damaged_ = !parsed || !parsed->faults.empty();
        hive_ = parsed ? std::move(parsed->hive) : Hive{};
        if (!parsed) {
            report("Settings file " + path_ + " is not a registry file; it is read as empty");
            return;
        }
        for (const HiveLineFault& fault : parsed->faults) {
            report("Settings file " + path_ + " line " + std::to_string(fault.line) +
                   " cannot be read and is skipped: " + fault.text.substr(0, 200));
        }
    }

    // Applies one change: inside an update to the held state, otherwise as an
    // update of its own.
    template <typename Change> bool change(Change apply) {
        if (updateDepth_ > 0) {
            apply();
            dirty_ = true;
            return true;
        }
        lock();
        reload();
        apply();
        const bool saved = save();
        unlock();
        return saved;
    }

    // Takes the lock file beside the target, waiting a while for another
    // program's save. The lock file is removed by its holder only, so a program
    // that locked a file already removed tries again on the new one. A lock that
    // cannot be taken is reported and the save goes on without it.
    void lock() {
        if (unusable_) {
            return;
        }
        const std::string target = linkTarget(path_);
        makeFolders(folderOf(target));
        lockPath_ = target + ".lock";
        for (int waited = 0;;) {
            const int fd = open(lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd < 0) {
                report("Settings lock file " + lockPath_ + " cannot be used (" + errorText(errno) +
                       "); settings are saved without it");
                return;
            }
            while (flock(fd, LOCK_EX | LOCK_NB) != 0 && waited < kLockWaitMilliseconds) {
                usleep(10'000);
                waited += 10;
            }
            struct stat held {
            }, named{};
            if (waited >= kLockWaitMilliseconds) {
                close(fd);
                report("Settings lock file " + lockPath_ +
                       " is held too long by another program; settings are saved without it");
                return;
            }
            if (fstat(fd, &held) == 0 && stat(lockPath_.c_str(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                lockFd_ = fd;
                return;
            }
            close(fd);
        }
    }

    void unlock() {
        if (lockFd_ >= 0) {
            unlink(lockPath_.c_str());
            close(lockFd_); // releases the lock
            lockFd_ = -1;
        }
    }

    bool moveDamagedFileAside(const std::string& target) {
        char stamp[32];
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        const std::string aside = target + ".damaged-" + stamp;
        if (std::rename(target.c_str(), aside.c_str()) != 0) {
            return false;
        }
        report("The damaged settings file is kept as " + aside);
        damaged_ = false;
        return true;
    }

    // Whether the target may be replaced: a missing one or a regular file the
    // user may write. Its status is left in `status` (mode 0600 for a new file).
    bool mayReplace(const std::string& target, struct stat& status) {
        if (lstat(target.c_str(), &status) != 0) {
            status.st_mode = S_IFREG | 0600;
            status.st_uid = geteuid();
            return errno == ENOENT;
        }
        if (!S_ISREG(status.st_mode)) {
            giveUp("is " + std::string(kindOf(status.st_mode)));
            return false;
        }
        if ((status.st_mode & 0222) == 0 ||
            faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            report("Settings file " + target + " is read-only; settings are not saved to it");
            return false;
        }
        return true;
    }

    // Writes through a link to its target and keeps the target's mode and owner.
    bool save() {
        struct stat status {};
        const std::string target = linkTarget(path_);
        if (unusable_ || !mayReplace(target, status) ||
            (damaged_ && !moveDamagedFileAside(target))) {
            parsedStamp_.reset();
            return false;
        }
        const std::string temporary = target + ".tmp-" + std::to_string(getpid());
        unlink(temporary.c_str()); // left by a killed program of the same number
        const int fd =
            open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            parsedStamp_.reset();
            return false;
        }
        if (status.st_uid != geteuid()) {
            [[maybe_unused]] const int owned = fchown(fd, status.st_uid, status.st_gid);
        }
        const bool written = fchmod(fd, status.st_mode & 07777) == 0 &&
                             writeAll(fd, formatHive(hive_)) && fsync(fd) == 0;
        parsedStamp_.reset();
        if (close(fd) != 0 || !written || std::rename(temporary.c_str(), target.c_str()) != 0) {
            unlink(temporary.c_str());
            return false;
        }
        const int folder = open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            fsync(folder);
            close(folder);
        }
        return true;
    }

    std::string path_;
    std::string lockPath_;
    Hive hive_;
    std::optional<FileStamp> parsedStamp_; // the state hive_ was read from
    bool damaged_ = false;
    bool unusable_ = false;
    bool dirty_ = false;
    int updateDepth_ = 0;
    int lockFd_ = -1;
    KeyHandle lastHandle_ = 0;
    std::map<KeyHandle, std::string> handles_;
    std::vector<std::string> problems_;
    std::set<std::string> reported_;
};

} // namespace

std::unique_ptr<Registry> openUserRegistry(std::string_view pHivePath) {
    return std::make_unique<HiveRegistry>(pHivePath.empty() ? defaultHivePath()
                                                            : std::string(pHivePath));
}

bool registryIsHiveFile() {
    return true;
}

} // namespace zaptrove::platform
