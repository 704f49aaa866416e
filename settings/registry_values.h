// SPDX-License-Identifier: MIT
#pragma once

#include "registry/registry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// The small procedures through which settings reach the registry.
namespace zaptrove {

// The key below HKEY_CURRENT_USER that holds the settings.
inline constexpr std::string_view SettingsKey = "Software\\Zaptrove";

// A value to write: a number or a text.
using RegistryData = std::variant<double, std::string>;

// Creates the key (and closes it at once).
void subCreateKey(platform::Registry& pRegistry, platform::RegistryRoot pRoot,
                  std::string_view pPath);

// Opens the key, writes one value with fnWriteValue, closes the key.
void subSetValue(platform::Registry& pRegistry, platform::RegistryRoot pRoot,
                 std::string_view pPath, std::string_view pName, const RegistryData& pValue,
                 std::uint32_t pType);

// Writes a value of type REG_SZ (the value as text) or REG_DWORD (the value as a
// 32-bit integer, rounded half to even); any other type writes nothing and
// answers 0. Answers the registry's result.
std::int32_t fnWriteValue(platform::Registry& pRegistry, platform::KeyHandle pKey,
                          std::string_view pName, std::uint32_t pType, const RegistryData& pValue);

// Reads one value; 0 on success, anything else means missing, and then the
// output keeps what it held. A value of another type than the output's, and a
// number that does not fit a 16-bit output, count as missing (-1).
std::int32_t fnReadValue(platform::Registry& pRegistry, platform::KeyHandle pKey,
                         std::string_view pName, std::int16_t& pValue);
std::int32_t fnReadValue(platform::Registry& pRegistry, platform::KeyHandle pKey,
                         std::string_view pName, std::int32_t& pValue);
std::int32_t fnReadValue(platform::Registry& pRegistry, platform::KeyHandle pKey,
                         std::string_view pName, std::string& pValue);

} // namespace zaptrove
