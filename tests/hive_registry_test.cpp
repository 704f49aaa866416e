// SPDX-License-Identifier: MIT
#include "platform/posix/hive_format.h"
#include "platform/registry.h"
#include "support/temp_folder.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zaptrove::platform;
using zaptrove::test::readFile;
using zaptrove::test::TempFolder;

namespace {

constexpr std::string_view kKey = "Software\\Zaptrove";

void store(Registry& registry, std::string_view name, const RegistryValue& value) {
    const KeyHandle key = registry.createKey(HKEY_CURRENT_USER, kKey);
    registry.setValue(key, name, value);
    registry.closeKey(key);
}

std::optional<RegistryValue> query(Registry& registry, std::string_view name) {
    const KeyHandle key = registry.openKey(HKEY_CURRENT_USER, kKey);
    RegistryValue value;
    const bool found = registry.queryValue(key, name, value) == 0;
    registry.closeKey(key);
    return found ? std::optional(value) : std::nullopt;
}

RegistryValue binary(std::vector<std::uint8_t> bytes, std::uint32_t type = REG_BINARY) {
    RegistryValue value;
    value.type = type;
    value.data = std::move(bytes);
    return value;
}

} // namespace

TEST(HiveRegistry, EveryValueReadsBackUnchangedFromAReadableFile) {
    TempFolder tmp;
    const std::string hive = tmp / "cfg/registry.reg"; // the folder is created on writing
    const std::vector<std::pair<std::string, RegistryValue>> values = {
        {"Path", RegistryValue::ofText("C:\\Favs\\ \"quoted\" Ärger 中文 \xF0\x9F\x94\x96")},
        {"Lines", RegistryValue::ofText(std::string_view("one\r\ntwo\0three", 13))},
        {"Sort", RegistryValue::ofNumber(3)},
        {"Negative", RegistryValue::ofNumber(-2)},
        {"Blob", binary({0x00, 0xFF, 0x10})},
        {"Multi", binary({0x61, 0x00, 0x00, 0x00}, 7)},
    };
    {
        auto registry = openUserRegistry(hive);
        for (const auto& [name, value] : values) {
            store(*registry, name, value);
        }
    }
    auto registry = openUserRegistry(hive);
    for (const auto& [name, value] : values) {
        EXPECT_EQ(query(*registry, name), value) << name;
    }
    const std::string text = readFile(hive);
    EXPECT_TRUE(text.starts_with("Windows Registry Editor Version 5.00\n\n"
                                 "[HKEY_CURRENT_USER\\Software\\Zaptrove]\n"
                                 "\"Path\"=\"C:\\\\Favs\\\\ \\\"quoted\\\" "));
    EXPECT_NE(text.find("\"Sort\"=dword:00000003\n"), std::string::npos);
    EXPECT_NE(text.find("\"Blob\"=hex:00,ff,10\n"), std::string::npos);
    EXPECT_NE(text.find("\"Multi\"=hex(7):61,00,00,00\n"), std::string::npos);
}

TEST(HiveFormat, HandEditedFilesParseAndBrokenOnesAreRefused) {
    const auto parsed = parseHive("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
                                  "; a comment\n"
                                  "  [HKEY_CURRENT_USER\\software\\zaptrove]  \r\n"
                                  "\"Sort\" = dword:00000001\n"
                                  "\"sort\"=dword:00000003\n" // the later duplicate wins
                                  "\"Long\"=hex:01,\\\n   02,03\n"
                                  "@=\"default\"\n");
    ASSERT_TRUE(parsed);
    Hive hive = *parsed;
    const HiveKey* key = hive.findKey("HKEY_CURRENT_USER\\Software\\Zaptrove");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(Hive::findValue(*key, "SORT")->number, 3u);
    EXPECT_EQ(Hive::findValue(*key, "Long")->data, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(Hive::findValue(*key, "")->text, "default");
    EXPECT_TRUE(parseHive("") && parseHive("")->keys.empty());

    for (const std::string_view broken :
         {std::string_view("garbage"), std::string_view("\x7f\x45LF\0\x01\x02", 7),
          std::string_view("Windows Registry Editor Version 5.00\n\"Orphan\"=dword:1\n"),
          std::string_view("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\K]\n"
                           "\"Sort\"=dword:123456789\n"),
          std::string_view("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\K]\n"
                           "\"Name\"=\"unterminated\n")}) {
        EXPECT_FALSE(parseHive(broken)) << broken;
    }
}

TEST(HiveRegistry, DamagedFileIsKeptAsideAndNeverOverwritten) {
    TempFolder tmp;
    const std::string hive = tmp.write("registry.reg", "not a registry file\n\x01\x02");
    auto registry = openUserRegistry(hive);
    EXPECT_FALSE(query(*registry, "Present"));                  // reads like a first run
    EXPECT_EQ(readFile(hive), "not a registry file\n\x01\x02"); // reading touches nothing

    store(*registry, "Present", RegistryValue::ofNumber(1));
    EXPECT_EQ(query(*registry, "Present"), RegistryValue::ofNumber(1));
    int damagedCopies = 0;
    for (const auto& entry : std::filesystem::directory_iterator(tmp.path())) {
        if (entry.path().filename().string().starts_with("registry.reg.damaged-")) {
            ++damagedCopies;
            EXPECT_EQ(readFile(entry.path().string()), "not a registry file\n\x01\x02");
        }
    }
    EXPECT_EQ(damagedCopies, 1);
}

TEST(HiveRegistry, UnwritablePlaceFailsQuietly) {
    auto registry = openUserRegistry("/dev/null/zaptrove/registry.reg");
    EXPECT_EQ(registry->createKey(HKEY_CURRENT_USER, kKey), 0);
    EXPECT_FALSE(query(*registry, "Present"));
}

// Two programs saving different states at once, and a program killed while
// saving: the file always parses and holds one whole state.
TEST(HiveRegistry, ConcurrentAndInterruptedSavesLeaveAWholeFile) {
    TempFolder tmp;
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
    const auto checkWhole = [&] {
        auto parsed = parseHive(readFile(hive));
        ASSERT_TRUE(parsed);
        if (const HiveKey* key = parsed->findKey("HKEY_CURRENT_USER\\Software\\Zaptrove")) {
            ASSERT_EQ(key->values.size(), 6u);
            for (const auto& [name, value] : key->values)
                EXPECT_EQ(value.number, key->values.front().second.number) << name;
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
