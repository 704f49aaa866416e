// SPDX-License-Identifier: MIT
#include "platform/files.h"
#include "registry/posix/hive_format.h"
#include "registry/registry.h"
#include "support/child_process.h"
#include "support/temp_folder.h"
#include "support/utf16_bytes.h"
#include "text/text.h"

#include <algorithm>
#include <csignal>
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zaptrove::platform;
using zaptrove::test::readFile;
using zaptrove::test::TempFolder;
using zaptrove::test::utf16File;

namespace {

constexpr std::string_view kKey = "Software\\Zaptrove";

void store(Registry& registry, std::string_view name, const RegistryValue& value) {
    const KeyHandle key = registry.createKey(RegistryRoot::CurrentUser, kKey);
    registry.setValue(key, name, value);
    registry.closeKey(key);
}

std::optional<RegistryValue> query(Registry& registry, std::string_view name) {
    const KeyHandle key = registry.openKey(RegistryRoot::CurrentUser, kKey);
    RegistryValue value;
    const bool found = registry.queryValue(key, name, value) == 0;
    registry.closeKey(key);
    return found ? std::optional(value) : std::nullopt;
}

} // namespace

// Every fsync and rename this program makes, in order: a definition in the test
// program comes before the C library's, which it then calls.
static std::vector<std::string> fileCalls;

static std::string nameOf(int fd) {
    return std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd)).filename();
}

extern "C" int fsync(int fd) {
    fileCalls.push_back("fsync " + nameOf(fd));
    static const auto next = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return next(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    fileCalls.push_back("rename " + std::filesystem::path(from).filename().string());
    static const auto next =
        reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
    return next(from, to);
}

// The new file reaches the disk before it replaces the old one.
TEST(HiveRegistry, EveryValueReadsBackUnchangedFromAReadableFileSafelyReplaced) {
    TempFolder tmp;
    const std::string hive = tmp / "cfg/registry.reg"; // the folder is created on writing
    const std::vector<std::pair<std::string, RegistryValue>> values = {
        {"Path", RegistryValue::ofText("C:\\Favs\\ \"quoted\" Ärger 中文 \xF0\x9F\x94\x96")},
        {"Lines", RegistryValue::ofText(std::string_view("one\r\ntwo\0three", 13))},
        {"Sort", RegistryValue::ofNumber(3)},
        {"Negative", RegistryValue::ofNumber(-2)},
        {"Blob", {RegistryType::Binary, {}, 0, {0x00, 0xFF, 0x10}}},
        {"Multi", {7, {}, 0, {0x61, 0x00, 0x00, 0x00}}},
    };
    fileCalls.clear();
    {
        auto registry = openUserRegistry(hive);
        for (const auto& [name, value] : values)
            store(*registry, name, value);
    }
    const auto renamed = std::ranges::find_if(
        fileCalls, [](const std::string& call) { return call.starts_with("rename "); });
    ASSERT_NE(renamed, fileCalls.end());
    EXPECT_NE(std::find(fileCalls.begin(), renamed, "fsync " + renamed->substr(7)), renamed);
    auto registry = openUserRegistry(hive);
    for (const auto& [name, value] : values)
        EXPECT_EQ(query(*registry, name), value) << name;
    const std::string text = readFile(hive);
    EXPECT_TRUE(text.starts_with("Windows Registry Editor Version 5.00\n\n"
                                 "[HKEY_CURRENT_USER\\Software\\Zaptrove]\n"
                                 "\"Path\"=\"C:\\\\Favs\\\\ \\\"quoted\\\" "));
    EXPECT_NE(text.find("\"Blob\"=hex:00,ff,10\n"), std::string::npos);
    EXPECT_NE(text.find("\"Multi\"=hex(7):61,00,00,00\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(hive + ".lock")); // removed once the save is done
}

TEST(HiveFormat, HandEditedFilesParseAndBadLinesAreSkipped) {
    // Of the two "Sort" lines, the later wins.
    const auto parsed = parseHive(
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n; my bookmarks live in C:\\\n"
        "  [HKEY_CURRENT_USER\\software\\zaptrove]  \r\n\"Sort\" = dword:00000001\n"
        "\"sort\"=dword:00000003\n\"Long\"=hex:01,\\\n   02,03\n\"MSIEAlt\"=\"/x/favs\\\"\n"
        "\"Big\"=dword:123456789\n@=\"default\"\n[]\n\"Orphan\"=dword:1\n");
    ASSERT_TRUE(parsed);
    const HiveKey* key = parsed->hive.findKey("HKEY_CURRENT_USER\\Software\\Zaptrove");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->findValue("SORT")->number, 3u);
    EXPECT_EQ(key->findValue("Long")->data, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(key->findValue("")->text, "default");
    EXPECT_EQ(key->values().size(), 3u);
    std::vector<std::size_t> faultLines;
    for (const HiveLineFault& fault : parsed->faults)
        faultLines.push_back(fault.line);
    EXPECT_EQ(faultLines, (std::vector<std::size_t>{8, 9, 11, 12}));
    EXPECT_EQ(parsed->faults.front().text, "\"MSIEAlt\"=\"/x/favs\\\"");
    EXPECT_TRUE(parseHive("") && parseHive("")->hive.keys().empty());

    EXPECT_FALSE(parseHive("garbage"));
    EXPECT_FALSE(parseHive(std::string_view("\x7f\x45LF\0\x01\x02", 7)));
}

// Saves at once and a save killed midway leave one whole state; each change applies to the file.
TEST(HiveRegistry, ConcurrentAndInterruptedSavesLeaveAWholeFile) {
    TempFolder tmp;
    const auto first = openUserRegistry(tmp / "two.reg"),
               second = openUserRegistry(tmp / "two.reg");
    store(*first, "A", RegistryValue::ofNumber(1));
    store(*second, "B", RegistryValue::ofNumber(2));
    store(*first, "C", RegistryValue::ofNumber(3));
    EXPECT_EQ(query(*second, "B"), RegistryValue::ofNumber(2));
    const std::string hive = tmp / "registry.reg";
    // A child process that saves the same state in six values, rounds times over.
    const auto saver = [&](std::int32_t state, int rounds) {
        const pid_t pid = fork();
        if (pid == 0) {
            auto registry = openUserRegistry(hive);
            for (int round = 0; round < rounds; ++round) {
                const RegistryUpdate update(*registry);
                for (const char* name : {"A", "B", "C", "D", "E", "F"})
                    store(*registry, name, RegistryValue::ofNumber(state));
            }
            _exit(0);
        }
        return pid;
    };
    bool seen = false; // once a read has seen the key, every later read sees it
    const auto checkWhole = [&] {
        const auto parsed = parseHive(readFile(hive));
        ASSERT_TRUE(parsed && parsed->faults.empty());
        const HiveKey* key = parsed->hive.findKey("HKEY_CURRENT_USER\\Software\\Zaptrove");
        ASSERT_TRUE(key != nullptr || !seen);
        seen = key != nullptr;
        if (key != nullptr) {
            ASSERT_EQ(key->values().size(), 6u);
            for (const auto& [name, value] : key->values())
                EXPECT_EQ(value.number, key->values().front().second.number) << name;
        }
    };
    std::vector<pid_t> savers = {saver(1, 150), saver(2, 150)};
    while (!savers.empty()) {
        checkWhole();
        std::erase_if(savers, [](pid_t pid) {
            int status = 0;
            const bool ended = waitpid(pid, &status, WNOHANG) == pid;
            EXPECT_TRUE(!ended || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
            return ended;
        });
    }
    for (int attempt = 0; attempt < 40; ++attempt) {
        const pid_t pid = saver(attempt, 1000000);
        usleep(static_cast<useconds_t>(200 + attempt * 137 % 3000));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        checkWhole();
    }
}

TEST(HiveRegistry, FilesInEveryExportEncodingAreReadAndWrittenBackInTheirOwn) {
    constexpr std::string_view kText = "Windows Registry Editor Version 5.00\r\n\r\n"
                                       "[HKEY_CURRENT_USER\\Software\\Zaptrove]\r\n"
                                       "\"Path\"=\"Z\xC3\xBCrich\"\r\n\r\n";
    // Each form's name, its bytes, and whether it is UTF-16.
    const std::tuple<const char*, std::string, bool> forms[] = {
        {"UTF-16LE", utf16File(kText, ByteOrder::LittleEndian), true},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + std::string(kText), false},
        {"UTF-8", std::string(kText), false}};
    for (const auto& [form, bytes, utf16] : forms) {
        TempFolder tmp;
        const std::string hive = tmp.write("registry.reg", bytes);
        auto registry = openUserRegistry(hive);
        EXPECT_EQ(query(*registry, "Path"), RegistryValue::ofText("Z\xC3\xBCrich")) << form;
        store(*registry, "Sort", RegistryValue::ofNumber(3));
        const std::string written = readFile(hive);
        EXPECT_EQ(written.substr(0, 4), bytes.substr(0, 4)) << form; // the same mark, if any
        const std::string sort = "\"Sort\"=dword:00000003\r\n";
        EXPECT_NE(written.find(utf16 ? utf16File(sort, ByteOrder::LittleEndian).substr(2) : sort),
                  std::string::npos)
            << form;
        EXPECT_EQ(query(*openUserRegistry(hive), "Path"), RegistryValue::ofText("Z\xC3\xBCrich"))
            << form;
    }
}

// An unreadable file reads as a first run, a bad line costs its value; the old file is kept aside.
TEST(HiveRegistry, DamageLosesOnlyWhatCannotBeReadAndTheFileIsKeptAside) {
    const std::string badLine =
        "Windows Registry Editor Version 5.00\n; my bookmarks live in C:\\\n"
        "[HKEY_CURRENT_USER\\Software\\Zaptrove]\n"
        "\"MSIEAlt\"=\"/x/favs\\\"\n\"Sort\"=dword:00000002\n";
    const std::pair<std::string, std::optional<RegistryValue>> cases[] = {
        {"not a registry file\n\x01\x02", std::nullopt}, {badLine, RegistryValue::ofNumber(2)}};
    for (const auto& [original, sort] : cases) {
        TempFolder tmp;
        const std::string hive = tmp.write("registry.reg", original);
        auto registry = openUserRegistry(hive);
        EXPECT_EQ(query(*registry, "Sort"), sort);
        EXPECT_FALSE(query(*registry, "MSIEAlt"));
        EXPECT_EQ(readFile(hive), original);
        store(*registry, "Single", RegistryValue::ofNumber(1));
        store(*registry, "Sort", RegistryValue::ofNumber(3));
        auto reopened = openUserRegistry(hive);
        EXPECT_EQ(query(*reopened, "Single"), RegistryValue::ofNumber(1));
        EXPECT_EQ(query(*reopened, "Sort"), RegistryValue::ofNumber(3));
        std::vector<std::string> copies;
        for (const auto& entry : std::filesystem::directory_iterator(tmp.path()))
            if (entry.path().filename().string().starts_with("registry.reg.damaged-"))
                copies.push_back(readFile(entry.path().string()));
        EXPECT_EQ(copies, std::vector<std::string>{original});
    }
}

// Links, modes and read-only files are kept, and a link planted at the temporary file not followed.
TEST(HiveRegistry, TheFileKeepsItsIdentity) {
    TempFolder tmp;
    const std::string target = tmp.write("dotfiles/registry.reg", ""), link = tmp / "registry.reg";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    const std::string victim = tmp.write("victim", "untouched");
    for (const std::string& name :
         {link + ".tmp", target + ".tmp", target + ".tmp-" + std::to_string(getpid())})
        ASSERT_EQ(symlink(victim.c_str(), name.c_str()), 0);
    chmod(target.c_str(), 0644);
    store(*openUserRegistry(link), "Sort", RegistryValue::ofNumber(3));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(query(*openUserRegistry(target), "Sort"), RegistryValue::ofNumber(3));
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0644));
    EXPECT_EQ(readFile(victim), "untouched");

    chmod(target.c_str(), 0444);
    const std::string stored = readFile(target);
    auto registry = openUserRegistry(link);
    const KeyHandle key = registry->openKey(RegistryRoot::CurrentUser, kKey);
    EXPECT_NE(registry->setValue(key, "Sort", RegistryValue::ofNumber(4)), 0);
    EXPECT_EQ(readFile(target), stored);
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0444));
    // A folder that cannot be made: no key, and reads find nothing.
    auto nowhere = openUserRegistry("/dev/null/zaptrove/registry.reg");
    EXPECT_EQ(nowhere->createKey(RegistryRoot::CurrentUser, kKey), 0);
    EXPECT_FALSE(query(*nowhere, "Sort"));
}

// A relative $XDG_CONFIG_HOME is ignored; without $HOME the password database gives the home.
TEST(HiveRegistry, TheSettingsFileIsBelowTheHomeFolderUnlessAnAbsoluteFolderIsNamed) {
    TempFolder tmp;
    const std::string home = tmp.makeFolder("home");
    EXPECT_TRUE(zaptrove::test::inChild([&] {
        if (chdir(tmp.path().c_str()) != 0)
            return false;
        unsetenv("ZAPTROVE_REGISTRY");
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", "relative", 1);
        store(*openUserRegistry(), "Sort", RegistryValue::ofNumber(3));
        unsetenv("HOME");
        const std::string passwdHome = getpwuid(getuid())->pw_dir;
        const bool unsetHome =
            xdgBaseFolder("XDG_CONFIG_HOME", ".config") == passwdHome + "/.config";
        setenv("XDG_CONFIG_HOME", "/abs", 1);
        return unsetHome && xdgBaseFolder("XDG_CONFIG_HOME", ".config") == "/abs";
    }));
    EXPECT_TRUE(std::filesystem::exists(home + "/.config/zaptrove/registry.reg"));
    EXPECT_FALSE(std::filesystem::exists(tmp / "relative"));
}
