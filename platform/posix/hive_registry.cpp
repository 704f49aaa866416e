// SPDX-License-Identifier: MIT
#include "platform/files.h"
#include "platform/posix/hive_format.h"
#include "platform/registry.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>

namespace zaptrove::platform {

namespace {

constexpr std::string_view kShellFolders =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string defaultHivePath() {
    std::string path = environmentValue("ZAPTROVE_REGISTRY");
    if (!path.empty()) {
        return path;
    }
    std::string config = environmentValue("XDG_CONFIG_HOME");
    if (config.empty()) {
        config = environmentValue("HOME") + "/.config";
    }
    return config + "/zaptrove/registry.reg";
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
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

// The registry kept in a hive file. Every change is a read-modify-write of the
// whole file under an exclusive lock, written to a temporary file, flushed and
// renamed over the old one, so readers always see a complete file.
class HiveRegistry final : public Registry {
  public:
    explicit HiveRegistry(std::string path) : path_(nativePath(path)) {}
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
            if (const RegistryValue* found = Hive::findValue(*stored, name)) {
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
        return change([&] { Hive::setValue(hive_.addKey(path), name, value); }) ? 0 : kWriteFault;
    }

    void deleteValue(KeyHandle key, std::string_view name) override {
        const auto handle = handles_.find(key);
        if (handle != handles_.end()) {
            const std::string& path = handle->second;
            change([&] {
                if (HiveKey* stored = hive_.findKey(path)) {
                    Hive::removeValue(*stored, name);
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

    // Re-reads the file, except inside an update, where the state read when it
    // began holds.
    void refresh() {
        if (updateDepth_ == 0) {
            reload();
        }
    }

    // One that cannot be parsed reads as empty and is marked, so that it is moved
    // aside rather than overwritten.
    void reload() {
        std::string bytes;
        damaged_ = false;
        hive_ = Hive{};
        if (readWholeFile(path_, bytes)) {
            if (auto parsed = parseHive(bytes)) {
                hive_ = std::move(*parsed);
            } else {
                damaged_ = true;
            }
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

    void lock() {
        makeFolders(folderOf(path_));
        lockFd_ = open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        while (lockFd_ >= 0 && flock(lockFd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }

    void unlock() {
        if (lockFd_ >= 0) {
            close(lockFd_); // releases the lock
            lockFd_ = -1;
        }
    }

    bool moveDamagedFileAside() {
        char stamp[32];
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        if (std::rename(path_.c_str(), (path_ + ".damaged-" + stamp).c_str()) != 0) {
            return false;
        }
        damaged_ = false;
        return true;
    }

    bool save() {
        if (lockFd_ < 0 || (damaged_ && !moveDamagedFileAside())) {
            return false;
        }
        const std::string temporary = path_ + ".tmp";
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) {
            return false;
        }
        const bool written = writeAll(fd, formatHive(hive_)) && fsync(fd) == 0;
        if (close(fd) != 0 || !written || std::rename(temporary.c_str(), path_.c_str()) != 0) {
            unlink(temporary.c_str());
            return false;
        }
        const int folder = open(folderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            fsync(folder);
            close(folder);
        }
        return true;
    }

    std::string path_;
    Hive hive_;
    bool damaged_ = false;
    bool dirty_ = false;
    int updateDepth_ = 0;
    int lockFd_ = -1;
    KeyHandle lastHandle_ = 0;
    std::map<KeyHandle, std::string> handles_;
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
