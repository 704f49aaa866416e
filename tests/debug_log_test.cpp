// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "debug_log/str_form.h"
#include "platform/files.h"
#include "platform/separators.h"
#include "support/fake_clock.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include "support/child_process.h"

#include <grp.h>
#include <sys/stat.h>
#endif

using namespace zaptrove;
using test::readFile;

TEST(DebugLog, WritesOneMarkedTimeStampedCrLfLinePerCall) {
    test::TempFolder t;
    test::FakeClock clock;
    Settings settings;
    const DebugLog log(settings.DebugMode, clock, t / "z.log");
    settings.DebugMode = DEBUG_ON; // looked at for every line
    log.subDebug(LOG_INFO, "Searching by NAME");
    std::ofstream otherWriter(t / "z.log", std::ios::app); // holds the log open meanwhile
    log.subDebugTimer(LOG_BEGIN, "Start Directory Reading: ");
    std::string expected = "$ [05/12/03 - 14:07:31] Searching by NAME\r\n"
                           "+ [05/12/03 - 14:07:31] Start Directory Reading:  50851.23\r\n";
    clock.time = {2009, 1, 2, 3, 4, 5};
    for (const int type : {-1, 9, 10, 11, 12, 0, 1, 13})
        log.subDebug(static_cast<std::int16_t>(type), "");
    for (const char* mark : {"* ", "! ", "$ ", "+ ", "- ", "? ", "? ", "? "})
        expected += std::string(mark) + "[02/01/09 - 03:04:05] \r\n";
    EXPECT_EQ(readFile(t / "z.log"), expected);
    // With no path given the log goes beside the program.
    const std::string beside = platform::folderPath(platform::programFolder()) + "ztvdebug.log";
    std::filesystem::remove(beside);
    DebugLog(settings.DebugMode, clock).subDebug(LOG_INFO, "beside the program");
    EXPECT_EQ(readFile(beside), "$ [02/01/09 - 03:04:05] beside the program\r\n");
    std::filesystem::remove(beside);
}

TEST(DebugLog, WritesNothingWhenOffOrWhenThePathIsUnusable) {
    test::TempFolder t;
    test::FakeClock clock;
    Settings settings;
    const std::string kept = t.write("kept.log", "old\r\n"), folder = t.makeFolder("dir.log");
    const auto logTo = [&](const std::string& path) {
        DebugLog(settings.DebugMode, clock, path).subDebug(LOG_INFO, "x");
        DebugLog(settings.DebugMode, clock, path).subDebugTimer(LOG_END, "Undupped: ");
    };
    for (const int mode : {4, 0, 7, 9}) {
        settings.DebugMode = static_cast<std::int16_t>(mode);
        logTo(t / "new.log");
        logTo(kept);
    }
    EXPECT_FALSE(std::filesystem::exists(t / "new.log"));
    EXPECT_EQ(readFile(kept), "old\r\n");
    EXPECT_FALSE(DebugLog::silent().isOn());

    settings.DebugMode = DEBUG_ON;
    std::vector<std::string> unusable = {folder, t / "missing/z.log"};
#ifdef _WIN32
    for (const std::string& path : unusable)
        logTo(path);
#else
    const std::string locked = t.makeFolder("locked"), pipe = t / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    chmod(locked.c_str(), 0555);
    unusable.insert(unusable.end(), {locked + "/z.log", "/dev/full", pipe});
    EXPECT_TRUE(test::inChild([&] {
        test::honourPermissions();
        dup2(fileno(std::freopen((t / "output").c_str(), "w", stdout)), STDERR_FILENO);
        for (const std::string& path : unusable)
            logTo(path);
        return true;
    }));
    EXPECT_TRUE(std::filesystem::is_empty(locked));
    EXPECT_EQ(readFile(t / "output"), "");
#endif
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_FALSE(std::filesystem::exists(t / "missing"));
}

#ifndef _WIN32
// A program in a folder it cannot write logs to the state folder (as "nobody" when run as root).
TEST(DebugLog, GoesToTheStateFolderWhenTheProgramsFolderIsReadOnly) {
    namespace fs = std::filesystem;
    test::TempFolder t;
    const std::string program = t / "bin/log_one_line", state = t.makeFolder("state");
    fs::create_directories(t / "bin");
    fs::copy_file(ZAPTROVE_LOG_ONE_LINE, program);
    fs::permissions(t.path(), fs::perms::owner_all | fs::perms::others_exec);
    fs::permissions(t / "bin", fs::perms::owner_read | fs::perms::owner_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(state, fs::perms::all);
    EXPECT_TRUE(test::inChild([&] {
        setenv("XDG_STATE_HOME", state.c_str(), 1);
        const bool dropped = geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(65534) == 0 &&
                                                setuid(65534) == 0);
        return dropped && execl(program.c_str(), program.c_str(), nullptr) == 0;
    }));
    fs::permissions(t / "bin", fs::perms::owner_all); // so that it can be removed
    EXPECT_EQ(readFile(state + "/zaptrove/ztvdebug.log"),
              "$ [05/12/03 - 14:07:31] from a read-only folder\r\n");
    EXPECT_FALSE(fs::exists(t / "bin/ztvdebug.log"));
}
#endif

TEST(StrForm, NumbersHaveALeadingBlankUnlessNegativeAndBigSinglesAnExponent) {
    EXPECT_EQ(fnStr(5) + "|" + fnStr(0) + "|" + fnStr(-3) + "|" + fnStr(40000), " 5| 0|-3| 40000");
    std::string singles;
    for (const float value : {50851.23f, 12.5f, 0.0f, -0.0f, -2.25f, 86399.999f, 86399.5f,
                              1234567.8f, 123456789.0f, -98765432.0f, 1.5e-7f})
        singles += fnStrSingle(value) + "|";
    EXPECT_EQ(singles, " 50851.23| 12.5| 0| 0|-2.25| 86400| 86399.5| 1234568| 1.234568E+08|"
                       "-9.876543E+07| 1.5E-07|");
}
