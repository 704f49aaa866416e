// SPDX-License-Identifier: MIT
#include "settings/registry_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace zaptrove {

namespace {

constexpr std::int32_t kWrongType = -1;

std::int32_t roundHalfToEven(double value) {
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::clamp(std::nearbyint(value), low, high));
}

std::string asText(const RegistryData& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.15g", std::get<double>(value));
    return digits;
}

double asNumber(const RegistryData& value) {
    if (const auto* number = std::get_if<double>(&value)) {
        return *number;
    }
    char* end = nullptr;
    const std::string& text = std::get<std::string>(value);
    const double parsed = std::strtod(text.c_str(), &end);
    return end == text.c_str() ? 0 : parsed;
}

// Queries a value that must be of the given type: 0 on success, the registry's
// result when it is missing, kWrongType when it has another type.
std::int32_t queryOfType(platform::Registry& registry, platform::KeyHandle key,
                         std::string_view name, std::uint32_t type,
                         platform::RegistryValue& value) {
    const std::int32_t result = registry.queryValue(key, name, value);
    if (result != 0) {
        return result;
    }
    return value.type == type ? 0 : kWrongType;
}

} // namespace

void subCreateKey(platform::Registry& pRegistry, platform::RegistryRoot pRoot,
                  std::string_view pPath) {
    pRegistry.closeKey(pRegistry.createKey(pRoot, pPath));
}

void subSetValue(platform::Registry& pRegistry, platform::RegistryRoot pRoot,
                 std::string_view pPath, std::string_view pName, const RegistryData& pValue,
                 std::uint32_t pType) {
    const platform::KeyHandle key = pRegistry.openKey(pRoot, pPath);
    fnWriteValue(pRegistry, key, pName, pType, pValue);
    pRegistry.closeKey(key);
}

std::int32_t fnWriteValue(platform::Registry& pRegistry, platform::KeyHandle pKey,
                          std::string_view pName, std::uint32_t pType, const RegistryData& pValue) {
    switch (pType) {
    case platform::RegistryType::String:
        return pRegistry.setValue(pKey, pName, platform::RegistryValue::ofText(asText(pValue)));
    case platform::RegistryType::Dword:
        return pRegistry.setValue(
            pKey, pName, platform::RegistryValue::ofNumber(roundHalfToEven(asNumber(pValue))));
    default:
        return 0;
    }
}

std::int32_t fnReadValue(platform::Registry& pRegistry, platform::KeyHandle pKey,
                         std::string_view pName, std::int32_t& pValue) {
    platform::RegistryValue value;
    const std::int32_t result =
        queryOfType(pRegistry, pKey, pName, platform::RegistryType::Dword, value);
    if (result == 0) {
        pValue = static_cast<std::int32_t>(value.number);
    }
    return result;
}

std::int32_t fnReadValue(platform::Registry& pRegistry, platform::KeyHandle pKey,
                         std::string_view pName, std::int16_t& pValue) {
    std::int32_t wide = 0;
    const std::int32_t result = fnReadValue(pRegistry, pKey, pName, wide);
    if (result != 0) {
        return result;
    }
    if (wide < std::numeric_limits<std::int16_t>::min() ||
        wide > std::numeric_limits<std::int16_t>::max()) {
        return kWrongType;
    }
    pValue = static_cast<std::int16_t>(wide);
    return 0;
}

std::int32_t fnReadValue(platform::Registry& pRegistry, platform::KeyHandle pKey,
                         std::string_view pName, std::string& pValue) {
    platform::RegistryValue value;
    const std::int32_t result =
        queryOfType(pRegistry, pKey, pName, platform::RegistryType::String, value);
    if (result == 0) {
        pValue = std::move(value.text);
    }
    return result;
}

} // namespace zaptrove
