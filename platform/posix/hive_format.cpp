// SPDX-License-Identifier: MIT
#include "platform/posix/hive_format.h"

#include "platform/text.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace zaptrove::platform {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";
constexpr std::string_view kBlanks = " \t";

struct RootEntry {
    RegistryRoot root;
    std::string_view name;
};
constexpr std::array kRoots = {
    RootEntry{0x80000000u, "HKEY_CLASSES_ROOT"}, RootEntry{HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    RootEntry{HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}, RootEntry{0x80000003u, "HKEY_USERS"}};

std::string_view trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Reads a quoted text with \\ and \" escapes from the start of `text`; answers
// false when it is not one. `rest` is what follows the closing quote.
bool readQuoted(std::string_view text, std::string& out, std::string_view& rest) {
    if (!text.starts_with('"')) {
        return false;
    }
    out.clear();
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '"') {
            rest = text.substr(i + 1);
            return true;
        }
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
        }
        out.push_back(text[i]);
    }
    return false;
}

bool readHexNumber(std::string_view digits, std::uint32_t& number) {
    if (digits.empty() || digits.size() > 8) {
        return false;
    }
    number = 0;
    for (const char c : digits) {
        const int value = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (value < 0) {
            return false;
        }
        number = number * 16 + static_cast<std::uint32_t>(value);
    }
    return true;
}

bool readHexBytes(std::string_view list, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    list = trim(list);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        std::uint32_t byte = 0;
        const std::string_view item = trim(list.substr(0, comma));
        if (item.size() > 2 || !readHexNumber(item, byte)) {
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(byte));
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return true;
}

// The data part of a value line (after "="); false when it is not well formed.
bool readValueData(std::string_view data, RegistryValue& value) {
    std::string_view rest;
    if (readQuoted(data, value.text, rest)) {
        value.type = REG_SZ;
        return trim(rest).empty();
    }
    if (data.starts_with("dword:")) {
        value.type = REG_DWORD;
        return readHexNumber(trim(data.substr(6)), value.number);
    }
    std::uint32_t type = REG_BINARY;
    std::size_t colon = 0;
    if (data.starts_with("hex:")) {
        colon = 3;
    } else if (data.starts_with("hex(") && (colon = data.find("):")) != std::string_view::npos) {
        if (!readHexNumber(data.substr(4, colon - 4), type)) {
            return false;
        }
        ++colon;
    } else {
        return false;
    }
    value.type = type;
    if (!readHexBytes(data.substr(colon + 1), value.data)) {
        return false;
    }
    if (type == REG_DWORD) {
        // A number written as bytes: four, little-endian.
        if (value.data.size() != 4) {
            return false;
        }
        value.number = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                       static_cast<std::uint32_t>(value.data[3]) << 24;
        value.data.clear();
    } else if (type == REG_SZ) {
        // A text written as bytes: UTF-16LE with a terminating NUL.
        if (value.data.size() % 2 != 0) {
            return false;
        }
        std::u16string units;
        for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
            units.push_back(static_cast<char16_t>(value.data[i] | value.data[i + 1] << 8));
        }
        if (!units.empty() && units.back() == u'\0') {
            units.pop_back();
        }
        value.text = utf16ToUtf8(units);
        value.data.clear();
    }
    return true;
}

// Joins lines that end in "\" with the next one, as exports wrap long hex data.
std::vector<std::string> logicalLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string pending;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        line = trim(line);
        const bool continues = line.ends_with('\\');
        pending += continues ? line.substr(0, line.size() - 1) : line;
        if (!continues) {
            lines.push_back(std::move(pending));
            pending.clear();
        }
    }
    if (!pending.empty()) {
        lines.push_back(std::move(pending));
    }
    return lines;
}

void appendHexBytes(const std::vector<std::uint8_t>& bytes, std::string& out) {
    char hex[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(hex, sizeof hex, i == 0 ? "%02x" : ",%02x", bytes[i]);
        out += hex;
    }
}

void appendQuoted(std::string_view text, std::string& out) {
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
}

void appendValueData(const RegistryValue& value, std::string& out) {
    if (value.type == REG_SZ &&
        value.text.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos) {
        appendQuoted(value.text, out);
    } else if (value.type == REG_SZ) {
        // A text with line breaks or NULs cannot stand on one quoted line.
        std::vector<std::uint8_t> bytes;
        for (const char16_t unit : utf8ToUtf16(value.text) + u'\0') {
            bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        out += "hex(1):";
        appendHexBytes(bytes, out);
    } else if (value.type == REG_DWORD) {
        char number[20];
        std::snprintf(number, sizeof number, "dword:%08x", value.number);
        out += number;
    } else {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix,
                      value.type == REG_BINARY ? "hex:" : "hex(%x):", value.type);
        out += prefix;
        appendHexBytes(value.data, out);
    }
}

} // namespace

bool sameRegistryName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

HiveKey* Hive::findKey(std::string_view path) {
    const auto found = std::find_if(keys.begin(), keys.end(), [&](const HiveKey& key) {
        return sameRegistryName(key.path, path);
    });
    return found == keys.end() ? nullptr : &*found;
}

HiveKey& Hive::addKey(std::string_view path) {
    if (HiveKey* key = findKey(path)) {
        return *key;
    }
    keys.push_back({std::string(path), {}});
    return keys.back();
}

void Hive::removeKey(std::string_view path) {
    std::erase_if(keys, [&](const HiveKey& key) { return sameRegistryName(key.path, path); });
}

const RegistryValue* Hive::findValue(const HiveKey& key, std::string_view name) {
    for (const auto& [valueName, value] : key.values) {
        if (sameRegistryName(valueName, name)) {
            return &value;
        }
    }
    return nullptr;
}

void Hive::setValue(HiveKey& key, std::string_view name, const RegistryValue& value) {
    for (auto& [valueName, stored] : key.values) {
        if (sameRegistryName(valueName, name)) {
            stored = value;
            return;
        }
    }
    key.values.emplace_back(std::string(name), value);
}

void Hive::removeValue(HiveKey& key, std::string_view name) {
    std::erase_if(key.values,
                  [&](const auto& entry) { return sameRegistryName(entry.first, name); });
}

std::optional<Hive> parseHive(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    Hive hive;
    bool headerSeen = false;
    HiveKey* key = nullptr;
    bool keyDeleted = false;
    for (const std::string& line : logicalLines(text)) {
        if (line.empty() || line.starts_with(';')) {
            continue;
        }
        if (!headerSeen) {
            if (line != kHeader && line != kOldHeader) {
                return std::nullopt;
            }
            headerSeen = true;
        } else if (line.starts_with('[') && line.ends_with(']')) {
            const std::string_view path = trim(std::string_view(line).substr(1, line.size() - 2));
            keyDeleted = path.starts_with('-');
            if (keyDeleted) {
                hive.removeKey(path.substr(1));
                key = nullptr;
            } else if (path.empty()) {
                return std::nullopt;
            } else {
                key = &hive.addKey(path);
            }
        } else {
            std::string name;
            std::string_view rest;
            if (line.starts_with('@')) {
                rest = std::string_view(line).substr(1);
            } else if (!readQuoted(line, name, rest)) {
                return std::nullopt;
            }
            rest = trim(rest);
            if ((key == nullptr && !keyDeleted) || !rest.starts_with('=')) {
                return std::nullopt;
            }
            const std::string_view data = trim(rest.substr(1));
            RegistryValue value;
            if (data == "-") {
                if (key != nullptr) {
                    Hive::removeValue(*key, name);
                }
            } else if (!readValueData(data, value)) {
                return std::nullopt;
            } else if (key != nullptr) {
                Hive::setValue(*key, name, value);
            }
        }
    }
    return hive;
}

std::string formatHive(const Hive& hive) {
    std::string out(kHeader);
    out += "\n";
    for (const HiveKey& key : hive.keys) {
        out += "\n[" + key.path + "]\n";
        for (const auto& [name, value] : key.values) {
            if (name.empty()) {
                out += '@';
            } else {
                appendQuoted(name, out);
            }
            out += '=';
            appendValueData(value, out);
            out += '\n';
        }
    }
    return out;
}

std::string_view rootName(RegistryRoot root) {
    for (const RootEntry& entry : kRoots) {
        if (entry.root == root) {
            return entry.name;
        }
    }
    return {};
}

} // namespace zaptrove::platform
