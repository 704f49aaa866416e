// SPDX-License-Identifier: MIT
// The settings hive file reader, and writing back what it read.
#include "fuzz/fuzz_support.h"
#include "registry/posix/hive_format.h"
#include "text/text.h"

#include <algorithm>

using namespace zaptrove;

namespace {

bool sameHive(const platform::Hive& a, const platform::Hive& b) {
    return std::ranges::equal(a.keys(), b.keys(), [](const auto& x, const auto& y) {
        return x.path() == y.path() && x.values() == y.values();
    });
}

// A text with a line break or a NUL is written as UTF-16 bytes, which carry only
// well-formed UTF-8; the format has no way to write other bytes in such a text.
bool writableUnchanged(const platform::Hive& hive) {
    for (const platform::HiveKey& key : hive.keys()) {
        for (const auto& [name, value] : key.values()) {
            if (value.type == platform::RegistryType::String &&
                !platform::isValidUtf8(value.text) &&
                value.text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parsed = platform::parseHive({reinterpret_cast<const char*>(data), size});
    if (parsed) {
        // What was read is written so that it reads back the same, and a second
        // writing changes nothing.
        const std::string text = platform::formatHive(parsed->hive);
        const auto again = platform::parseHive(text);
        fuzz::require(again && again->faults.empty() && platform::formatHive(again->hive) == text &&
                      (sameHive(parsed->hive, again->hive) || !writableUnchanged(parsed->hive)));
    }
    return 0;
}
