// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zaptrove::platform {

// The name the instance of a scope goes by: "zaptrove", and for a scope other
// than the default a 64-bit FNV-1a hash of it in hexadecimal.
inline std::string instanceName(std::string_view scope) {
    std::string name = "zaptrove";
    if (scope.empty()) {
        return name;
    }
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : scope) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    }
    name += '-';
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += "0123456789abcdef"[(hash >> shift) & 0xF];
    }
    return name;
}

} // namespace zaptrove::platform
