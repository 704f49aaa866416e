// SPDX-License-Identifier: MIT
// Faults from outside the program: a settings folder it may not write, a full
// disk, files that change or vanish while they are read.
#include "search/discovery/browser_discovery.h"
#include "search/discovery/location_discovery.h"
#include "search/sources/favorites_reader.h"
#include "search/sources/netscape_reader.h"
#include "search/sources/opera_reader.h"
#include "settings/registry_values.h"
#include "settings/settings_store.h"
#include "support/bookmark_lists.h"
#include "support/child_process.h"
#include "support/fake_window.h"
#include "support/file_faults.h"
#include "support/temp_folder.h"
#include "support/test_registry.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <tuple>

namespace fs = std::filesystem;
using namespace zaptrove;
using test::honourPermissions;
using test::inChild;
using test::readFile;
using test::readWith;

TEST(Faults, SavingIntoAReadOnlyFolderOrOntoAFullDiskFailsQuietlyAndLosesNothing) {
    test::TempFolder tmp;
    const std::string folder = tmp.makeFolder("cfg"), hive = tmp / "cfg/registry.reg";
    test::FakeWindow window;
    Settings settings;
    subLoadSettings(*platform::openUserRegistry(hive), settings, window); // stores a first run
    const std::string stored = readFile(hive);
    settings.OperaMain = std::string(4096, 'o'); // the new file is larger
    const std::pair<const char*, std::function<void()>> faults[] = {
        {"read-only folder", [&] { chmod(folder.c_str(), 0555), honourPermissions(); }},
        {"full disk", // a file-size limit: writes past it fail with EFBIG
         [&] {
             signal(SIGXFSZ, SIG_IGN);
             const rlimit limit{stored.size(), stored.size()};
             setrlimit(RLIMIT_FSIZE, &limit);
         }},
    };
    for (const auto& [fault, apply] : faults) {
        EXPECT_TRUE(inChild([&, applyFault = apply] {
            applyFault();
            auto registry = platform::openUserRegistry(hive);
            subSaveSettings(*registry, settings, window);
            Settings reread; // the program goes on with what was stored
            return fnReadStoredSettings(*registry, reread, window) && reread.OperaMain.empty();
        })) << fault;
        chmod(folder.c_str(), 0755);
        EXPECT_EQ(readFile(hive), stored) << fault;
        EXPECT_FALSE(fs::exists(hive + ".tmp")) << fault;
    }
    subSaveSettings(*platform::openUserRegistry(hive), settings, window); // once the fault is gone
    EXPECT_NE(readFile(hive).find(settings.OperaMain), std::string::npos);
}

// Only a missing settings file is a first run: an unreadable one, pipe, device or folder stays.
TEST(Faults, ASettingsFileThatCannotBeReadIsNeverWritten) {
    test::TempFolder tmp;
    const std::string unreadable =
        tmp.write("unreadable.reg", "Windows Registry Editor Version 5.00\n");
    chmod(unreadable.c_str(), 0);
    const std::string pipe = tmp / "pipe.reg", device = tmp / "device.reg";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::vector<std::string> hives = {unreadable, pipe, tmp.makeFolder("folder.reg")};
    if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) { // a null device; root only
        hives.push_back(device);
    }
    for (const std::string& hive : hives) {
        struct stat before {};
        lstat(hive.c_str(), &before);
        EXPECT_TRUE(inChild([&] {
            honourPermissions();
            auto registry = platform::openUserRegistry(hive);
            test::FakeWindow window;
            Settings settings;
            subLoadSettings(*registry, settings, window);
            subSaveSettings(*registry, settings, window);
            const std::vector<std::string> problems = registry->takeProblems(); // told once
            return problems.size() == 1 && problems[0].find(hive) != std::string::npos;
        })) << hive;
        struct stat after {};
        lstat(hive.c_str(), &after);
        EXPECT_EQ(std::tie(after.st_ino, after.st_mode, after.st_size, after.st_rdev),
                  std::tie(before.st_ino, before.st_mode, before.st_size, before.st_rdev))
            << hive;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator()),
              std::ssize(hives));
}

// A lock file of another user, which this one cannot open, does not stop saving the settings.
TEST(Faults, ALockFileOfAnotherUserIsSavedPast) {
    test::TempFolder tmp;
    const std::string hive = tmp / "registry.reg", lock = tmp.write("registry.reg.lock", "");
    // Root gives the lock file away; anyone else takes their own access to it away.
    const bool givenAway = chown(lock.c_str(), 4242, 4242) == 0;
    chmod(lock.c_str(), givenAway ? 0600 : 0);
    Settings settings;
    settings.OperaMain = "/home/me/opera.adr";
    EXPECT_TRUE(inChild([&] {
        honourPermissions();
        test::FakeWindow window;
        auto registry = platform::openUserRegistry(hive);
        Settings firstRun;
        subLoadSettings(*registry, firstRun, window);
        subSaveSettings(*registry, settings, window);
        return registry->takeProblems().at(0).find(hive + ".lock") != std::string::npos;
    }));
    EXPECT_NE(readFile(hive).find(settings.OperaMain), std::string::npos);
}

// Files changed by a child while read again and again: every read ends, within what they held.
// The bookmark file is told old, so that its mapped pages are scanned while they are cut.
TEST(Faults, FilesThatShrinkGrowOrVanishWhileReadNeverHangOrCrash) {
    test::TempFolder tmp;
    std::string both; // a Netscape and an Opera file at once
    for (int i = 0; i < 1000; ++i) {
        const std::string n = std::to_string(i);
        both +=
            "#URL\nNAME=n" + n + "\nURL=u" + n + "\n<DT><A HREF=\"u" + n + "\">n" + n + "</A>\n";
    }
    const test::FileAged aged(tmp.write("b.htm", both));
    const std::pair<std::function<void()>, std::function<std::size_t()>> races[] = {
        {[&] { // written from empty (it grows while read), then cut to a third
             truncate(tmp.write("b.htm", both).c_str(), static_cast<off_t>(both.size() / 3));
         },
         [&] {
             return readWith(fnReadNetscape, tmp / "b.htm").size() +
                    readWith(fnReadOpera, tmp / "b.htm").size();
         }},
        {[&] {
             fs::remove_all(tmp / "Fav");
             for (int i = 0; i < 200; ++i)
                 tmp.write("Fav/" + std::to_string(i % 20) + "/" + std::to_string(i) + ".url",
                           "[InternetShortcut]\nURL=u\n");
         },
         [&] { return readWith(fnReadFavorites, tmp.asFolder("Fav")).size(); }},
    };
    for (const auto& [change, read] : races) {
        const pid_t changer = fork();
        if (changer == 0)
            for (;;)
                change();
        EXPECT_TRUE(inChild([&, readAll = read] {
            for (int round = 0; round < 100; ++round)
                if (readAll() > 2000)
                    return false;
            return true;
        }));
        kill(changer, SIGKILL);
        waitpid(changer, nullptr, 0);
    }
}

// Reading every shortcut file of a tree leaves the access times of this
// user's files alone, and still reads the files of another user, whose times
// only their owner may leave alone.
TEST(Faults, AWalkByAddressKeepsAccessTimesAndReadsOtherUsersFiles) {
    test::TempFolder t;
    const std::string mine = t.write("Fav/a.url", "[InternetShortcut]\nURL=http://mine\n");
    const std::string theirs = t.write("Fav/b.url", "[InternetShortcut]\nURL=http://theirs\n");
    ASSERT_EQ(chown(theirs.c_str(), 4242, 4242), 0);
    const timespec longAgo[2] = {{1, 0}, {0, UTIME_OMIT}}; // before the file was written
    ASSERT_EQ(utimensat(AT_FDCWD, mine.c_str(), longAgo, 0), 0);
    EXPECT_TRUE(inChild([&] {
        honourPermissions();
        const auto found = readWith(fnReadFavorites, t.asFolder("Fav"), "http", SearchMode::Url);
        return found.size() == 2 && found[0].URL == "http://mine" &&
               found[1].URL == "http://theirs";
    }));
    struct stat info {};
    ASSERT_EQ(stat(mine.c_str(), &info), 0);
    EXPECT_EQ(info.st_atime, 1);
}

// A shortcut is read up to its first MiB, discovery files up to a limit: sparse ones of 200 GB
// and 64 GiB give what they start with, the rest unread.
TEST(Faults, HugeSparseShortcutsAndDiscoveryFilesAreReadOnlyAtTheirStart) {
    test::TempFolder t;
    const std::string shortcut =
        t.write("Fav/Huge.url", "[InternetShortcut]\r\nURL=http://huge\r\n");
    fs::resize_file(shortcut, std::uintmax_t{200} << 30);
    const auto huge = [](const std::string& path) {
        fs::resize_file(path, std::uintmax_t{64} << 30);
    };
    huge(t.write("cfg/mozilla/firefox/profiles.ini", "[Profile0]\nName=p\nPath=p\n"));
    t.write("cfg/mozilla/firefox/p/places.sqlite", "");
    huge(t.write("cfg/chromium/Local State",
                 R"({"profile":{"info_cache":{"Default":{"name":"Named"}}}})"));
    t.write("cfg/chromium/Default/Bookmarks", "{}");
    huge(t.write("netscape/prefs.js", "user_pref(\"browser.bookmark_location\", \"/b.htm\");\n"));
    test::TestRegistry registry;
    const std::string users = "Software\\Netscape\\Netscape Navigator\\Users";
    for (const auto& [key, name, text] :
         {std::tuple<std::string, std::string, std::string>{users, "CurrentUser", "default"},
          {users + "\\default", "DirRoot", t / "netscape"}}) {
        subCreateKey(*registry, platform::RegistryRoot::LocalMachine, key);
        subSetValue(*registry, platform::RegistryRoot::LocalMachine, key, name, text,
                    platform::RegistryType::String);
    }
    EXPECT_TRUE(inChild([&] {
        const auto found = readWith(fnReadFavorites, t.asFolder("Fav"), "huge", SearchMode::Url);
        const UserFolders home{UserFolders::Layout::Linux, t.path(), t / "cfg", {}, {}};
        return found.size() == 1 && found[0].URL == "http://huge" &&
               fnUrlFromFile(shortcut) == "http://huge" &&
               fnDiscoverBrowserProfiles(home).size() == 2 &&
               fnFindNetscapeFile(*registry) == "/b.htm";
    }));
}
