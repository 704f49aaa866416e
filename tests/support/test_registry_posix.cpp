// SPDX-License-Identifier: MIT
#include "registry/posix/hive_format.h"
#include "settings/registry_values.h"
#include "support/test_registry.h"

namespace zaptrove::test {

// The hive file's name in the registry's own folder.
constexpr std::string_view kHiveName = "registry.reg";

TestRegistry::TestRegistry() : registry_(platform::openUserRegistry(folder_ / kHiveName)) {}

TestRegistry::~TestRegistry() = default;

std::vector<std::string> TestRegistry::settingsValueNames() const {
    std::vector<std::string> names;
    auto parsed = platform::parseHive(readFile(folder_ / kHiveName));
    const platform::HiveKey* key =
        parsed ? parsed->hive.findKey("HKEY_CURRENT_USER\\" + std::string(SettingsKey)) : nullptr;
    for (const auto& [name, value] : key ? key->values() : platform::HiveValues{})
        names.push_back(name);
    return names;
}

std::vector<std::string> TestRegistry::findArguments() const {
    return {"--registry", folder_ / kHiveName};
}

} // namespace zaptrove::test
