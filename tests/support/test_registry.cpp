// SPDX-License-Identifier: MIT
#include "support/test_registry.h"

#include "settings/registry_values.h"

#include <algorithm>

namespace zaptrove::test {

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
