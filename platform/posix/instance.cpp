// SPDX-License-Identifier: MIT
#include "platform/instance.h"

#include "platform/files.h"
#include "platform/instance_name.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace zaptrove::platform {

namespace {

constexpr std::string_view kShowRequest = "show\n";

// A folder only this user can enter, for the lock file and the socket:
// $XDG_RUNTIME_DIR, else /tmp/zaptrove-UID. Empty when neither is safe to use.
std::string privateFolder() {
    const auto isPrivateFolder = [](const std::string& path) {
        struct stat info {};
        return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
               info.st_uid == geteuid() && (info.st_mode & 077) == 0;
    };
    std::string runtime = environmentValue("XDG_RUNTIME_DIR");
    if (runtime.starts_with('/') && isPrivateFolder(runtime)) {
        return runtime;
    }
    const std::string fallback = "/tmp/zaptrove-" + std::to_string(geteuid());
    mkdir(fallback.c_str(), 0700);
    return isPrivateFolder(fallback) ? fallback : std::string();
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
    ListeningClaim(int lockFd, int listenFd, std::string socketPath, std::function<void()> show)
        : lockFd_(lockFd), listenFd_(listenFd), socketPath_(std::move(socketPath)),
          listener_([this, show = std::move(show)] { listen(show); }) {}

    ~ListeningClaim() override {
        shutdown(listenFd_, SHUT_RDWR); // wakes accept()
        listener_.join();
        close(listenFd_);
        unlink(socketPath_.c_str());
        close(lockFd_);
    }

  private:
    void listen(const std::function<void()>& show) const {
        for (;;) {
            const int client = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) {
                if (errno == EINTR || errno == ECONNABORTED) {
                    continue;
                }
                return; // shut down
            }
            // A client that sends nothing is dropped after a second.
            const timeval timeout{1, 0};
            setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
            char request[16] = {};
            const ssize_t length = recv(client, request, sizeof request, 0);
            close(client);
            if (length > 0 && std::string_view(request, length).starts_with(kShowRequest)) {
                show();
            }
        }
    }

    int lockFd_;
    int listenFd_;
    std::string socketPath_;
    std::thread listener_;
};

} // namespace

std::unique_ptr<InstanceClaim> claimInstance(std::string_view pScope, std::function<void()> pShow) {
    const std::string folder = privateFolder();
    if (folder.empty()) {
        return std::make_unique<InstanceClaim>();
    }
    const std::string base = folder + "/" + instanceName(pScope);
    const std::string socketPath = base + ".socket";
    sockaddr_un address;
    const int lockFd = open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0 || !socketAddress(socketPath, address)) {
        if (lockFd >= 0) {
            close(lockFd);
        }
        return std::make_unique<InstanceClaim>();
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
        return std::make_unique<InstanceClaim>();
    }
    unlink(socketPath.c_str()); // left by a holder that crashed
    const int listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd < 0 ||
        bind(listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd, 8) != 0) {
        if (listenFd >= 0) {
            close(listenFd);
        }
        close(lockFd);
        return std::make_unique<InstanceClaim>();
    }
    return std::make_unique<ListeningClaim>(lockFd, listenFd, socketPath, std::move(pShow));
}

} // namespace zaptrove::platform
