// SPDX-License-Identifier: MIT
#include "support/test_registry.h"

#include <algorithm>

namespace zaptrove::test {

void TestRegistry::store(std::initializer_list<std::pair<const char*, RegistryData>> values) const {
    subCreateKey(*registry_, platform::RegistryRoot::CurrentUser, SettingsKey);
    for (const auto& [name, value] : values)
        subSetValue(*registry_, platform::RegistryRoot::CurrentUser, SettingsKey, name, value,
                    std::holds_alternative<double>(value) ? platform::RegistryType::Dword
                                                          : platform::RegistryType::String);
}

std::vector<std::string> TestRegistry::settingsValues() const {
    std::vector<std::string> values;
    const platform::KeyHandle key =
        registry_->openKey(platform::RegistryRoot::CurrentUser, SettingsKey);
    for (const std::string& name : settingsValueNames()) {
        platform::RegistryValue value;
        registry_->queryValue(key, name, value);
        values.push_back(name + "=" +
                         (value.type == platform::RegistryType::Dword ? std::to_string(value.number)
                                                                      : value.text));
    }
    registry_->closeKey(key);
    std::sort(values.begin(), values.end());
    return values;
}

} // namespace zaptrove::test
