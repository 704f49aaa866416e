// SPDX-License-Identifier: MIT
#pragma once

#include "platform/registry.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The hive file: the registry export format ("Windows Registry Editor Version
// 5.00"), in UTF-8, readable and editable by hand.
namespace zaptrove::platform {

struct HiveKey {
    std::string path; // with its root, e.g. HKEY_CURRENT_USER\Software\Zaptrove
    std::vector<std::pair<std::string, RegistryValue>> values; // in file order
};

struct Hive {
    std::vector<HiveKey> keys; // in file order

    // Key paths and value names compare ignoring ASCII letter case, as in the
    // registry itself.
    HiveKey* findKey(std::string_view path);
    HiveKey& addKey(std::string_view path);
    void removeKey(std::string_view path);
    static const RegistryValue* findValue(const HiveKey& key, std::string_view name);
    static void setValue(HiveKey& key, std::string_view name, const RegistryValue& value);
    static void removeValue(HiveKey& key, std::string_view name);
};

// The hive a file's text describes; empty when the text is not in the format.
// An empty text is an empty hive.
std::optional<Hive> parseHive(std::string_view text);

std::string formatHive(const Hive& hive);

// Key paths and value names are the same when they differ at most in ASCII
// letter case.
bool sameRegistryName(std::string_view a, std::string_view b);

// "HKEY_CURRENT_USER" for its root number; empty for an unknown root.
std::string_view rootName(RegistryRoot root);

} // namespace zaptrove::platform
