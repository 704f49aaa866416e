// SPDX-License-Identifier: MIT
#include "registry/registry.h"

namespace zaptrove::platform {

RegistryValue RegistryValue::ofText(std::string_view text) {
    RegistryValue value;
    value.type = RegistryType::String;
    value.text = text;
    return value;
}

RegistryValue RegistryValue::ofNumber(std::int32_t number) {
    RegistryValue value;
    value.type = RegistryType::Dword;
    value.number = static_cast<std::uint32_t>(number);
    return value;
}

} // namespace zaptrove::platform
