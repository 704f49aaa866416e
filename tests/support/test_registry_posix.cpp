// SPDX-License-Identifier: MIT
#include "platform/posix/hive_format.h"
#include "settings/registry_values.h"
#include "support/test_registry.h"

namespace zaptrove::test {

namespace {

std::string hivePath(const TempFolder& folder) {
    return folder / "registry.reg";
}

} // namespace

TestRegistry::TestRegistry() : registry_(platform::openUserRegistry(hivePath(folder_))) {}

TestRegistry::~TestRegistry() = default;

std::vector<std::string> TestRegistry::settingsValueNames() const {
    std::vector<std::string> names;
    auto parsed = platform::parseHive(readFile(hivePath(folder_)));
    const platform::HiveKey* key =
        parsed ? parsed->hive.findKey("HKEY_CURRENT_USER\\" + std::string(SettingsKey)) : nullptr;
    for (const auto& [name, value] : key ? key->values() : platform::HiveValues{}) {
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> TestRegistry::findArguments() const {
    return {"--registry", hivePath(folder_)};
}

} // namespace zaptrove::test
