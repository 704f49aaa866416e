#include "platform/shell.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

using namespace std::chrono_literals;
using namespace std::string_view_literals;
using zaptrove::test::readFile;
using zaptrove::test::TempFolder;

namespace {

// Puts a folder first on PATH for the lifetime of the object.
struct PathInFront {
    std::string saved = std::getenv("PATH");
    explicit PathInFront(const std::string& folder) {
        setenv("PATH", (folder + ":" + saved).c_str(), 1);
    }
    ~PathInFront() { setenv("PATH", saved.c_str(), 1); }
};

// True when this process has no child at all, running or waiting to be reaped.
bool noChildLeft() {
    siginfo_t info{};
    return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD;
}

} // namespace

TEST(Shell, RunsXdgOpenWithTheAddressAsItsOnlyArgumentAndReapsIt) {
    TempFolder t;
    const std::string log = t / "calls.log";
    // Logs each call's arguments, one a line, then lingers like a browser would.
    const std::string stub =
        t.write("bin/xdg-open",
                "#!/bin/sh\n{ printf '%s\\n' \"$@\"; echo end; } >>'" + log + "'\nsleep 1\n");
    ASSERT_EQ(chmod(stub.c_str(), 0755), 0);
    const PathInFront path(t / "bin");
    const std::string address =
        "https://example.org/a b?q=\"x\"&r='y' $(touch z);ls `id` \\ Grüße 漢";

    auto& shell = zaptrove::platform::desktopShell();
    shell.openAddress("", 0);
    shell.openAddress("-x", 0);
    shell.openAddress("https://a.example/\0x"sv, 0);
    const auto start = std::chrono::steady_clock::now();
    shell.openAddress(address, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << "waited for xdg-open";

    for (int i = 0; i < 100 && !(readFile(log).ends_with("end\n") && noChildLeft()); ++i)
        std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(noChildLeft()) << "xdg-open was left unreaped";
    EXPECT_EQ(readFile(log), address + "\nend\n");
}
