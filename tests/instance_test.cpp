// SPDX-License-Identifier: MIT
#include "platform/instance.h"
#include "platform/instance_name.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using zaptrove::platform::claimInstance;

namespace {

// A second process's exit status claiming scope's instance: 0 handed over, 3 would start its own.
int secondStart(std::string_view scope, const std::string& folder = {}) {
    const pid_t child = fork();
    if (child == 0) {
        if (!folder.empty() && chdir(folder.c_str()) != 0)
            std::_Exit(2);
        std::_Exit(claimInstance(scope, [] {}) == nullptr ? 0 : 3);
    }
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A connection to the socket at path, which may not be made yet when nonblocking.
int connectTo(const std::string& path, int flags = 0) {
    sockaddr_un address{AF_UNIX, {}};
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | flags, 0);
    const bool connected =
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    EXPECT_TRUE(connected || flags != 0) << path;
    return fd;
}

bool waitFor(const std::atomic<int>& count, int wanted) {
    for (int i = 0; i < 200 && count < wanted; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return count == wanted;
}

class Instance : public testing::Test {
  protected:
    void SetUp() override {
        chmod(runtime.path().c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    }
    // The lock and socket of a scope without their extensions: the instance is
    // named after the settings file's absolute path.
    std::string baseOf(const std::string& scope) const {
        return runtime /
               zaptrove::platform::instanceName(
                   std::filesystem::weakly_canonical(std::filesystem::absolute(scope)).string());
    }
    zaptrove::test::TempFolder runtime;
    std::atomic<int> shown{0};
    std::function<void()> countShow = [this] { ++shown; };
};

} // namespace

TEST_F(Instance, LeftoversOfACrashedHolderAreTakenOver) {
    // A holder that crashed leaves its socket file and lock file, but no lock.
    const pid_t crashed = fork();
    if (crashed == 0) {
        static_cast<void>(claimInstance("", [] {}).release());
        std::_Exit(0);
    }
    waitpid(crashed, nullptr, 0);
    auto claim = claimInstance("", countShow);
    ASSERT_NE(claim, nullptr);
    EXPECT_EQ(secondStart(""), 0);
    EXPECT_TRUE(waitFor(shown, 1));
}

TEST_F(Instance, AFolderOthersCanReadIsNotUsedButTheProgramStillStarts) {
    for (const mode_t mode : {0755, 0704, 0740}) {
        chmod(runtime.path().c_str(), mode);
        // The fallback in /tmp may be used by another run of this test: only the
        // start, and nothing made in the runtime folder, matter here.
        EXPECT_NE(claimInstance("unsafe-runtime-folder", countShow), nullptr);
        EXPECT_TRUE(std::filesystem::is_empty(runtime.path())) << mode;
    }
}

// Later starts hand over and end, waiting for a holder that listens late; only "show" is taken.
TEST_F(Instance, LaterStartsOfTheSameScopeHandOverAndEnd) {
    const std::string base = baseOf("settings-a");
    const int lock = open((base + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    const pid_t later = fork();
    if (later == 0) {
        close(lock);
        std::_Exit(claimInstance("settings-a", [] {}) == nullptr ? 0 : 3);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    close(lock);
    auto holder = claimInstance("settings-a", countShow);
    int status = -1;
    waitpid(later, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (const std::string_view bytes : {"hello\n", "sho"}) {
        const int fd = connectTo(base + ".socket");
        send(fd, bytes.data(), bytes.size(), 0);
        close(fd);
    }
    EXPECT_EQ(secondStart("settings-a"), 0);
    EXPECT_TRUE(waitFor(shown, 2));
    EXPECT_EQ(secondStart("settings-b"), 3); // another settings file, another instance
    holder.reset();
    EXPECT_EQ(secondStart("settings-a"), 3); // the holder is gone
    EXPECT_EQ(shown, 2);
}

// One name relative to two folders names two files.
TEST_F(Instance, TheScopeIsTheSettingsFileWhateverItsSpelling) {
    zaptrove::test::TempFolder settings;
    const std::string one = settings.makeFolder("one"), two = settings.makeFolder("two");
    auto first = claimInstance(one + "/r.reg", countShow);
    ASSERT_NE(first, nullptr);
    for (const std::string& spelling : {one + "//r.reg", one + "/./r.reg", two + "/../one/r.reg"})
        EXPECT_EQ(secondStart(spelling), 0) << spelling;
    EXPECT_EQ(secondStart("r.reg", one), 0);
    EXPECT_EQ(secondStart("r.reg", two), 3);
}

TEST_F(Instance, ARuntimeFolderTooDeepForTheSocketGivesWayToAnother) {
    const std::string deep = runtime.makeFolder(std::string(120, 'd'));
    chmod(deep.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);
    auto first = claimInstance(runtime / "deep-runtime", countShow);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->problem().empty()) << first->problem();
    EXPECT_EQ(secondStart(runtime / "deep-runtime"), 0);
}

TEST_F(Instance, IdleClientsDelayNoOther) {
    auto first = claimInstance("idle-clients", countShow);
    ASSERT_NE(first, nullptr);
    std::vector<int> idle(30);
    for (int& fd : idle)
        fd = connectTo(baseOf("idle-clients") + ".socket", SOCK_NONBLOCK);
    EXPECT_EQ(secondStart("idle-clients"), 0);
    EXPECT_TRUE(waitFor(shown, 1));
    for (const int fd : idle)
        close(fd);
}
