// SPDX-License-Identifier: MIT
#include "platform/shell.h"
#include "registry/registry.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#ifndef _WIN32
#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

using namespace std::chrono_literals;
using namespace std::string_view_literals;
using zaptrove::test::readFile;
using zaptrove::test::TempFolder;

#ifdef _WIN32

// The address goes to the handler of its scheme: here the test's own, which writes it to a file.
TEST(Shell, OpensTheAddressWithTheHandlerRegisteredForItsScheme) {
    namespace platform = zaptrove::platform;
    TempFolder t;
    const std::string log = t / "calls.log";
    const auto registry = platform::openUserRegistry();
    const platform::KeyHandle scheme =
        registry->createKey(platform::RegistryRoot::ClassesRoot, "zaptrovetest");
    registry->setValue(scheme, "URL Protocol", platform::RegistryValue::ofText(""));
    const platform::KeyHandle command = registry->createKey(platform::RegistryRoot::ClassesRoot,
                                                            "zaptrovetest\\shell\\open\\command");
    registry->setValue(command, "",
                       platform::RegistryValue::ofText("cmd.exe /c echo \"%1\">>\"" + log + "\""));
    registry->closeKey(command);
    registry->closeKey(scheme);

    auto& shell = platform::desktopShell();
    for (const std::string_view refused : {""sv, "-x"sv, "zaptrovetest:cut\0x"sv})
        shell.openAddress(refused, 0);
    shell.openAddress("zaptrovetest:a b/c?q=1&r=2", 0);
    for (int i = 0; i < 200 && readFile(log).empty(); ++i)
        std::this_thread::sleep_for(50ms);
    std::this_thread::sleep_for(500ms); // time for a second call that should not come
    EXPECT_EQ(readFile(log), "\"zaptrovetest:a b/c?q=1&r=2\"\r\n");

    for (const char* key : {"zaptrovetest\\shell\\open\\command", "zaptrovetest\\shell\\open",
                            "zaptrovetest\\shell", "zaptrovetest"})
        registry->deleteKey(platform::RegistryRoot::ClassesRoot, key);
}

#else

namespace {

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
    const zaptrove::test::ScopedEnvironment path{{"PATH", t / "bin" + ":" + std::getenv("PATH")}};
    const std::string address =
        "https://example.org/a b?q=\"x\"&r='y' $(touch z);ls `id` \\ Grüße 漢";

    auto& shell = zaptrove::platform::desktopShell();
    for (const std::string_view refused : {""sv, "-x"sv, "https://a.example/\0x"sv})
        shell.openAddress(refused, 0);
    const auto start = std::chrono::steady_clock::now();
    shell.openAddress(address, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << "waited for xdg-open";

    for (int i = 0; i < 100 && !(readFile(log).ends_with("end\n") && noChildLeft()); ++i)
        std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(noChildLeft()) << "xdg-open was left unreaped";
    EXPECT_EQ(readFile(log), address + "\nend\n");
}

// A program quitting right after asking (Launch = quit) still gets the address to the desktop;
// the real xdg-open records it both ways (BROWSER and a scheme handler of the test's own).
TEST(Shell, TheAddressReachesTheDesktopEvenWhenTheProgramEndsAtOnce) {
    TempFolder t;
    const std::string log = t / "opened.log";
    const std::string recorder =
        t.write("bin/recorder", "#!/bin/sh\nprintf '%s\\n' \"$1\" >>'" + log + "'\n");
    ASSERT_EQ(chmod(recorder.c_str(), 0755), 0);
    t.write("data/applications/zaptrove-recorder.desktop",
            "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + recorder +
                " %u\nMimeType=x-scheme-handler/https;\n");
    t.write("config/mimeapps.list",
            "[Default Applications]\nx-scheme-handler/https=zaptrove-recorder.desktop\n");
    constexpr int kLaunches = 12;
    for (int k = 0; k < kLaunches; ++k) {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "DESKTOP_SESSION",
                                     "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
                unsetenv(name);
            setenv("XDG_CURRENT_DESKTOP", "X-Generic", 1);
            setenv("XDG_CONFIG_HOME", (t / "config").c_str(), 1);
            setenv("XDG_DATA_HOME", (t / "data").c_str(), 1);
            setenv("XDG_DATA_DIRS", (t / "data").c_str(), 1);
            setenv("BROWSER", recorder.c_str(), 1);
            zaptrove::platform::desktopShell().openAddress(
                "https://example.org/" + std::to_string(k), 0);
            std::_Exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
    }
    const auto lines = [&] {
        const std::string text = readFile(log);
        return std::count(text.begin(), text.end(), '\n');
    };
    for (int i = 0; i < 200 && lines() < kLaunches; ++i)
        std::this_thread::sleep_for(50ms);
    std::this_thread::sleep_for(200ms); // time for a second call that should not come
    EXPECT_EQ(lines(), kLaunches) << readFile(log);
}

#endif
