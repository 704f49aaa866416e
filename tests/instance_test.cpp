// SPDX-License-Identifier: MIT
#include "platform/instance.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using zaptrove::platform::claimInstance;

namespace {

// The exit status of a second process that claims the instance of scope: 0
// when it handed over, 3 when it would have started a window of its own.
int secondStart(std::string_view scope) {
    const pid_t child = fork();
    if (child == 0) {
        std::_Exit(claimInstance(scope, [] {}) == nullptr ? 0 : 3);
    }
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    zaptrove::test::TempFolder runtime;
    std::atomic<int> shown{0};
    std::function<void()> countShow = [this] { ++shown; };
};

} // namespace

TEST_F(Instance, LaterStartsOfTheSameScopeHandOverAndEnd) {
    auto first = claimInstance("settings-a", countShow);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(secondStart("settings-a"), 0);
    EXPECT_EQ(secondStart("settings-a"), 0);
    EXPECT_TRUE(waitFor(shown, 2));
    EXPECT_EQ(secondStart("settings-b"), 3); // another settings file, another instance
    first.reset();
    EXPECT_EQ(secondStart("settings-a"), 3); // the holder is gone
    EXPECT_EQ(shown, 2);
}

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

TEST_F(Instance, AFolderOthersCanEnterIsNotUsedButTheProgramStillStarts) {
    chmod(runtime.path().c_str(), 0755);
    // The fallback in /tmp may be used by another run of this test: only the
    // start matters here.
    EXPECT_NE(claimInstance("unsafe-runtime-folder", countShow), nullptr);
}
