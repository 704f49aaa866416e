// SPDX-License-Identifier: MIT
#pragma once

#include "registry/registry.h"

#include <cstddef>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The hive file: the registry export format ("Windows Registry Editor Version
// 5.00"), readable and editable by hand. Key paths and value names compare
// ignoring ASCII letter case, as in the registry itself; lookups go through a
// map, so a file of any size is read in one pass.
namespace zaptrove::platform {

using HiveValues = std::list<std::pair<std::string, RegistryValue>>;

class HiveKey {
  public:
    explicit HiveKey(std::string path) : path_(std::move(path)) {}
    HiveKey(HiveKey&&) = default;
    HiveKey& operator=(HiveKey&&) = default;

    // With its root, e.g. HKEY_CURRENT_USER\Software\Zaptrove.
    const std::string& path() const { return path_; }
    // In file order; a value set again keeps its place.
    const HiveValues& values() const { return values_; }

    const RegistryValue* findValue(std::string_view name) const;
    void setValue(std::string_view name, RegistryValue value);
    void removeValue(std::string_view name);

  private:
    // A key's few values are found by a scan; past this many, through byName_.
    static constexpr std::size_t kScannedValues = 8;
    HiveValues::iterator locate(std::string_view name);

    std::string path_;
    HiveValues values_;
    std::unordered_map<std::string, HiveValues::iterator> byName_; // by folded name
};

// How the file's bytes encode its text; what was read is written back.
enum class HiveEncoding { Utf8, Utf8WithBom, Utf16Le };

class Hive {
  public:
    Hive() = default;
    Hive(Hive&&) = default;
    Hive& operator=(Hive&&) = default;

    // In file order.
    const std::list<HiveKey>& keys() const { return keys_; }
    HiveKey* findKey(std::string_view path);
    const HiveKey* findKey(std::string_view path) const;
    HiveKey& addKey(std::string_view path);
    void removeKey(std::string_view path);
    // Room for this many keys, so that reading a large file does not rehash.
    void expectKeys(std::size_t count);

    HiveEncoding encoding = HiveEncoding::Utf8;
    bool crlfLineEnds = false;

  private:
    std::list<HiveKey> keys_;
    std::unordered_map<std::string, std::list<HiveKey>::iterator> byPath_;
};

// A line that could not be read: it counts from 1, its text is as in the file.
struct HiveLineFault {
    std::size_t line;
    std::string text;
};

struct ParsedHive {
    Hive hive; // everything but the faulty lines
    std::vector<HiveLineFault> faults;
};

// The hive a file's bytes describe; empty when they are not in the format at
// all. Empty bytes are an empty hive.
std::optional<ParsedHive> parseHive(std::string_view bytes);

// The file's bytes, in the hive's encoding and line ends.
std::string formatHive(const Hive& hive);

// Key paths and value names are the same when they differ at most in ASCII
// letter case.
bool sameRegistryName(std::string_view a, std::string_view b);

// "HKEY_CURRENT_USER" for its root number; empty for an unknown root.
std::string_view rootName(RegistryRoot root);

} // namespace zaptrove::platform
