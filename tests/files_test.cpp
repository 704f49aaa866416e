// SPDX-License-Identifier: MIT
#include "platform/files.h"
#include "platform/folder_order.h"
#include "platform/separators.h"
#include "support/temp_folder.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#ifndef _WIN32
#include "support/child_process.h"

#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <filesystem>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace platform = zaptrove::platform;
using zaptrove::test::TempFolder;

namespace {

// How many of the first file numbers the process holds open (0 where they
// cannot be asked about).
std::size_t openFiles() {
    std::size_t open = 0;
#ifndef _WIN32
    for (int fd = 0; fd < 256; ++fd)
        open += fcntl(fd, F_GETFD) != -1 ? 1 : 0;
#endif
    return open;
}

#ifndef _WIN32
// How many io_uring instances the process holds open.
std::size_t openRings() {
    std::size_t rings = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        rings += std::filesystem::read_symlink(fd.path(), error) == "anon_inode:[io_uring]" ? 1 : 0;
    }
    return rings;
}

// Refuses io_uring to the calling thread, as container runtimes' filters do.
bool refuseRings() {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_io_uring_setup, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}
#endif

} // namespace

// Names come in ASCII letter case ignored order, names outside ASCII last.
TEST(Files, ListFolderSortsByNameAndLeavesOutHiddenAndSystemEntries) {
    TempFolder t, elsewhere;
    for (const char* name : {"\u00dcbersicht.url", "b.url", "Second.url", "A.url", "c/x.url"})
        t.write(name, "");
#ifdef _WIN32
    // Hidden and system are attributes here, set as a user would set them.
    EXPECT_EQ(platform::nativePath("C:/Fav\\a b/x.url"), "C:\\Fav\\a b\\x.url");
    t.write("hidden.url", "");
    t.write("system/x.url", "");
    zaptrove::test::attrib("+h", t / "hidden.url");
    zaptrove::test::attrib("+s", t / "system");
    const std::string expected = "A.url|b.url|c/|Second.url|\u00dcbersicht.url|";
#else
    // Dot files are the hidden ones; links count where they lead, pipes never.
    // A "\" is a byte of a name here, kept as it is.
    EXPECT_EQ(platform::nativePath("C:\\Fav\\a b/x.url"), "C:\\Fav\\a b/x.url");
    t.write("a\\b.url", "");
    t.write(".hidden.url", "");
    t.write(".dot/x.url", "");
    ASSERT_EQ(symlink(elsewhere.path().c_str(), (t / "d link").c_str()), 0);
    ASSERT_EQ(symlink((t / "nowhere").c_str(), (t / "dangling.url").c_str()), 0);
    ASSERT_EQ(mkfifo((t / "pipe.url").c_str(), 0600), 0);
    const std::string expected = "A.url|a\\b.url|b.url|c/|d link/|Second.url|\u00dcbersicht.url|";
#endif
    std::vector<platform::FolderEntry> entries;
    ASSERT_TRUE(platform::listFolder(platform::folderPath(t.path()), entries));
    std::string seen;
    for (const auto& entry : entries)
        seen += entry.name + (entry.isDirectory ? "/|" : "|");
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(platform::listFolder(t / "missing", entries));
    EXPECT_TRUE(entries.empty());
}

// The order compares sixteen lower-cased bytes at first: names alike in them,
// or alike but for letter case, or one the other's start, still come in the
// whole names' order, from any listing order.
TEST(Files, FolderEntriesSortAsTheirWholeNamesCompare) {
    // clang-format off
    const std::vector<std::string> names = {
        "Bamboo library 2.url", "bamboo library 10.url", "BAMBOO LIBRARY 2.url", "bamboo library",
        "bamboo library 2.url", "Bamboo", "bamboo", "b", "B", "\xc3\x9c" "ber", "[x]", "a_b", "aZb",
        "0123456789abcdefA", "0123456789ABCDEFa", "0123456789abcdef", "abcdXfghIjkl", "abcdYfghAjkl"};
    // clang-format on
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end(), zaptrove::platform::precedesIgnoringAsciiCase);
    for (std::size_t turn = 0; turn < names.size(); turn += 5) {
        platform::FolderListing listing;
        for (std::size_t k = 0; k < names.size(); ++k) {
            const std::string& name = names[(k * 7 + turn) % names.size()];
            listing.entries.push_back({listing.names.size(), name.size(), false});
            listing.names.append(name).push_back('\0');
        }
        platform::sortFolderListing(listing);
        std::vector<platform::FolderEntry> entries;
        platform::entriesOf(listing, entries);
        std::vector<std::string> sorted(entries.size());
        std::transform(entries.begin(), entries.end(), sorted.begin(),
                       [](const platform::FolderEntry& entry) { return entry.name; });
        EXPECT_EQ(sorted, expected) << turn;
    }
}

// Folders, devices and pipes are refused at once by path and by the chunked reader, and give no
// bytes within an open folder (on POSIX in a child that SIGALRM ends if a read waits).
TEST(Files, ReadWholeFileReadsRegularFilesOnlyAndNeverWaits) {
    TempFolder t;
    std::string bytes = "old";
    ASSERT_TRUE(platform::readWholeFile(t.write("a.url", std::string("x\0y\r\n", 5)), bytes));
    EXPECT_EQ(bytes, std::string("x\0y\r\n", 5));
    t.makeFolder("sub");
#ifdef _WIN32
    const std::pair<std::string, std::string> notFiles[] = {{t.path(), "sub"}, {"", "NUL"}};
    const auto refusesAll = [&](const auto& check) { return check(); };
#else
    ASSERT_EQ(mkfifo((t / "pipe").c_str(), 0600), 0);
    const std::pair<std::string, std::string> notFiles[] = {
        {t.path(), "sub"}, {t.path(), "pipe"}, {"", "/dev/null"}, {"", "/dev/zero"}};
    const auto refusesAll = [](const std::function<bool()>& check) {
        return zaptrove::test::inChild(check, 3);
    };
#endif
    EXPECT_TRUE(refusesAll([&] {
        bool refused = true;
        for (const auto& [folder, name] : notFiles) {
            const std::string path = folder.empty() ? name : folder + "/" + name;
            refused = refused && !platform::readWholeFile(path, bytes) && bytes.empty() &&
                      !platform::FileReader(path).isOpen();
            if (!folder.empty()) {
                platform::OpenFolder(folder).readWholeFile(name, bytes);
                refused = refused && bytes.empty();
            }
        }
        return refused;
    }));
}

// An open folder answers as the path functions do; its reads reuse one string, keeping nothing old.
TEST(Files, OpenFolderListsAndReadsAsThePathFunctionsDo) {
    TempFolder t;
    const std::string large(10'000, 'L');
    t.write("b/large.url", large);
    t.write("b/small.url", "S\r\n");
    t.makeFolder("b/sub");
    const platform::OpenFolder folder(t / "b");
    EXPECT_EQ(folder.identity(), platform::folderIdentity(t / "b"));
    platform::FolderListing listing;
    std::vector<platform::FolderEntry> listed, expected;
    EXPECT_TRUE(folder.list(listing));
    platform::entriesOf(listing, listed);
    EXPECT_TRUE(platform::listFolder(t / "b", expected));
    ASSERT_EQ(listed.size(), 3u);
    for (std::size_t i = 0; i < listed.size(); ++i)
        EXPECT_EQ(listed[i].name + (listed[i].isDirectory ? "/" : ""),
                  expected[i].name + (expected[i].isDirectory ? "/" : ""));
    std::string bytes;
    EXPECT_TRUE(folder.readWholeFile("large.url", bytes) && bytes == large);
    EXPECT_TRUE(folder.readWholeFile("small.url", bytes) && bytes == "S\r\n");
    EXPECT_FALSE(folder.readWholeFile("missing.url", bytes) || !bytes.empty());
    const platform::OpenFolder missing(t / "missing");
    EXPECT_FALSE(missing.identity() || missing.list(listing) || !listing.entries.empty());
#ifndef _WIN32
    // A device that took a shortcut's place after the listing is not read on.
    ASSERT_EQ(symlink("/dev/zero", (t / "b/zero.url").c_str()), 0);
    EXPECT_FALSE(folder.readWholeFile("zero.url", bytes));
#endif
}

// A thread with a file table of its own reads through its own open folder
// (opened below another it opened) and, by path, through one opened elsewhere
// or below it; it closes what it read even when the numbers allowed run
// short, and the process's files stay open, also when a folder it opened goes
// after it.
TEST(Files, AThreadWithItsOwnFileTableReadsEveryFileAndLeavesTheOthersOpen) {
    TempFolder t;
    constexpr int kFiles = 150; // more than a run of files held open
    for (int i = 0; i < kFiles; ++i) {
        t.write("b/" + std::to_string(i) + ".url", std::to_string(i * 7));
        t.write("c/" + std::to_string(i) + ".url", std::to_string(i * 11));
    }
    const platform::OpenFolder walked(t / "c");
    const auto readsAll = [&] {
        bool all = true;
        std::optional<platform::OpenFolder> outlives;
        std::thread reader([&] {
            platform::useOwnFileTable();
            // The lowest number, which one of the process's files holds too.
            outlives.emplace(walked, "");
            const platform::OpenFolder own(platform::OpenFolder(t.path()), "b");
            std::string bytes;
            for (int pass = 0; pass < 3; ++pass)
                for (int i = 0; i < kFiles; ++i)
                    all = all &&
                          (pass == 0   ? own
                           : pass == 1 ? walked
                                       : *outlives)
                              .readWholeFile(std::to_string(i) + ".url", bytes) &&
                          bytes == std::to_string(i * (pass == 0 ? 7 : 11));
        });
        reader.join();
        const std::size_t open = openFiles();
        outlives.reset();
        std::string bytes;
        return all && openFiles() == open && walked.readWholeFile("3.url", bytes) && bytes == "33";
    };
    EXPECT_TRUE(readsAll());
#ifndef _WIN32
    EXPECT_TRUE(zaptrove::test::inChild([&] {
        const rlimit few{40, 40};
        return setrlimit(RLIMIT_NOFILE, &few) == 0 && readsAll();
    }));
#endif
}

#ifndef _WIN32
// Runs of files read at once through the system's ring give what reading them one by one gives,
// and so do they in a thread the ring is refused to; a pipe or device that took a shortcut's
// place is not waited on.
TEST(Files, OpenFolderReadsRunsOfFilesAsOneByOneWithTheRingOrWithout) {
    TempFolder t;
    std::string names;
    for (const char* name : {"sub.url", "pipe.url", "missing.url", "exact.url", "zero.url"})
        names.append(name).push_back('\0');
    t.makeFolder("b/sub.url");
    ASSERT_EQ(mkfifo((t / "b/pipe.url").c_str(), 0600), 0);
    t.write("b/exact.url", std::string(4096, 'x')); // one read fills the ring's room
    ASSERT_EQ(symlink("/dev/zero", (t / "b/zero.url").c_str()), 0);
    for (std::size_t i = 0; i < 150; ++i) { // more than a run, up to 6 KB
        t.write("b/" + std::to_string(i) + ".url",
                std::string(i * 40, static_cast<char>('a' + i % 26)));
        names.append(std::to_string(i) + ".url").push_back('\0');
    }
    const platform::OpenFolder folder(t / "b");
    const auto readsAsOneByOne = [&] {
        std::string bytes, alone;
        std::size_t same = 0;
        folder.readWholeFiles(
            names, bytes, platform::kNoReadLimit, [&](std::string_view name, bool read) {
                const bool readAlone = folder.readWholeFile(std::string(name), alone);
                same += read == readAlone && bytes == alone ? 1 : 0;
            });
        return same == 155;
    };
    // The ring where this system allows one: an empty request is refused for what it is.
    const bool ringAllowed =
        syscall(__NR_io_uring_setup, 0, nullptr) == -1 && errno != ENOSYS && errno != EPERM;
    EXPECT_TRUE(zaptrove::test::inChild(
        [&] { return readsAsOneByOne() && openRings() == (ringAllowed ? 1 : 0); }, 5));
    EXPECT_TRUE(zaptrove::test::inChild(
        [&] {
            bool read = false;
            std::thread([&] {
                read = refuseRings() && readsAsOneByOne() && openRings() == 0;
            }).join();
            return read;
        },
        5));
}
#endif
