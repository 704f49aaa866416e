// SPDX-License-Identifier: MIT
#include "platform/instance.h"

#include "platform/files.h"
#include "platform/instance_name.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zaptrove::platform {

namespace {

constexpr std::string_view kShowRequest = "show\n";

// The folders that may hold the lock file and the socket, in the order they
// are tried: $XDG_RUNTIME_DIR, /tmp/zaptrove-UID (which another user may have
// made first), and the per-user state folder.
std::vector<std::string> candidateFolders() {
    std::vector<std::string> folders;
    const std::string runtime = environmentValue("XDG_RUNTIME_DIR");
    if (runtime.starts_with('/')) {
        folders.push_back(runtime);
    }
    folders.push_back("/tmp/zaptrove-" + std::to_string(geteuid()));
    if (const std::string state = userStateFolder(); !state.empty()) {
        folders.push_back(state);
    }
    return folders;
}

// Whether path is a folder only this user can enter; made so when missing
// from a folder that exists.
bool isPrivateFolder(const std::string& path) {
    mkdir(path.c_str(), 0700);
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & 077) == 0;
}

// The settings file a scope names, whatever the spelling of its path: its
// absolute path with links and "." and ".." resolved as far as it exists.
std::string fileIdentity(std::string_view scope) {
    if (scope.empty()) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path identity = std::filesystem::weakly_canonical(
        std::filesystem::absolute(nativePath(scope), error), error);
    return error ? std::string(scope) : identity.string();
}

bool socketAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Asks the holder listening at path to show itself; false when nobody listens.
bool askToShow(const sockaddr_un& address) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool sent =
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        send(fd, kShowRequest.data(), kShowRequest.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(kShowRequest.size());
    close(fd);
    return sent;
}

// Held while the lock file is locked; the lock goes with the process, so a
// crashed holder leaves only a socket file that the next start takes over.
class ListeningClaim final : public InstanceClaim {
  public:
    ListeningClaim(int lockFd, int listenFd, int stopFds[2], std::string socketPath,
                   std::function<void()> show)
        : lockFd_(lockFd), listenFd_(listenFd), stopReadFd_(stopFds[0]), stopWriteFd_(stopFds[1]),
          socketPath_(std::move(socketPath)),
          listener_([this, show = std::move(show)] { listen(show); }) {}

    ~ListeningClaim() override {
        close(stopWriteFd_); // wakes the listener
        listener_.join();
        close(stopReadFd_);
        close(listenFd_);
        unlink(socketPath_.c_str());
        close(lockFd_);
    }

  private:
    struct Client {
        int fd;
        std::chrono::steady_clock::time_point since;
        std::string request;
    };

    // Serves every client at once, so that one that connects and sends nothing
    // delays no other; such a one is dropped after a second, and the oldest
    // when too many wait.
    void listen(const std::function<void()>& show) const {
        std::vector<Client> clients;
        std::vector<pollfd> watched;
        for (;;) {
            watched.assign({{stopReadFd_, POLLIN, 0}, {listenFd_, POLLIN, 0}});
            for (const Client& client : clients) {
                watched.push_back({client.fd, POLLIN, 0});
            }
            if (poll(watched.data(), watched.size(), kPollMilliseconds) < 0 && errno != EINTR) {
                break;
            }
            if (watched[0].revents != 0) {
                break;
            }
            for (std::size_t k = clients.size(); k-- > 0;) {
                if (watched[k + 2].revents != 0 && served(clients[k], show)) {
                    close(clients[k].fd);
                    clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(k));
                }
            }
            const auto now = std::chrono::steady_clock::now();
            std::erase_if(clients, [&](const Client& client) {
                const bool late = now - client.since > kClientPatience;
                if (late) {
                    close(client.fd);
                }
                return late;
            });
            if ((watched[1].revents & POLLIN) != 0) {
                const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (fd >= 0) {
                    if (clients.size() == kMostClients) {
                        close(clients.front().fd);
                        clients.erase(clients.begin());
                    }
                    clients.push_back({fd, now, {}});
                }
            }
        }
        for (const Client& client : clients) {
            close(client.fd);
        }
    }

    // Reads what the client sent; true when it is done with: its request is
    // whole (and shown when it asks for that), or it closed or failed.
    static bool served(Client& client, const std::function<void()>& show) {
        char bytes[16];
        const ssize_t length = recv(client.fd, bytes, sizeof bytes, 0);
        if (length < 0) {
            return errno != EAGAIN && errno != EINTR;
        }
        client.request.append(bytes, static_cast<std::size_t>(length));
        if (client.request.size() < kShowRequest.size() && length > 0) {
            return false;
        }
        if (client.request.starts_with(kShowRequest)) {
            show();
        }
        return true;
    }

    static constexpr int kPollMilliseconds = 250;
    static constexpr std::chrono::seconds kClientPatience{1};
    static constexpr std::size_t kMostClients = 64;

    int lockFd_;
    int listenFd_;
    int stopReadFd_;
    int stopWriteFd_;
    std::string socketPath_;
    std::thread listener_;
};

// Claims the instance in folder; nothing when the folder cannot hold it (its
// socket path too long, the lock file not to be made), so the next is tried.
std::optional<std::unique_ptr<InstanceClaim>>
claimIn(const std::string& folder, const std::string& name, std::function<void()>& show) {
    const std::string base = folder + "/" + name;
    const std::string socketPath = base + ".socket";
    sockaddr_un address;
    if (!socketAddress(socketPath, address)) {
        return std::nullopt;
    }
    const int lockFd = open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) {
        return std::nullopt;
    }
    if (flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        close(lockFd);
        // The holder may still be starting: it listens within moments.
        for (int attempt = 0; attempt < 50; ++attempt) {
            if (askToShow(address)) {
                return nullptr;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return std::make_unique<InstanceClaim>("No single instance: the program holding " + base +
                                               ".lock does not answer");
    }
    unlink(socketPath.c_str()); // left by a holder that crashed
    const int listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int stopFds[2] = {-1, -1};
    if (listenFd < 0 ||
        bind(listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd, 16) != 0 || pipe2(stopFds, O_CLOEXEC) != 0) {
        const std::string why = std::strerror(errno);
        if (listenFd >= 0) {
            close(listenFd);
        }
        close(lockFd);
        return std::make_unique<InstanceClaim>("No single instance: its socket " + socketPath +
                                               " cannot be made (" + why + ")");
    }
    return std::make_unique<ListeningClaim>(lockFd, listenFd, stopFds, socketPath, std::move(show));
}

} // namespace

std::unique_ptr<InstanceClaim> claimInstance(std::string_view pScope, std::function<void()> pShow) {
    const std::string name = instanceName(fileIdentity(pScope));
    for (const std::string& folder : candidateFolders()) {
        if (isPrivateFolder(folder)) {
            if (auto claim = claimIn(folder, name, pShow)) {
                return std::move(*claim);
            }
        }
    }
    return std::make_unique<InstanceClaim>(
        "No single instance: no private folder takes its lock file and socket");
}

} // namespace zaptrove::platform
