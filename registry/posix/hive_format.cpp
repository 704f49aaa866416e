// SPDX-License-Identifier: MIT
#include "registry/posix/hive_format.h"

#include "text/text.h"

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
constexpr std::array kRoots = {RootEntry{RegistryRoot::ClassesRoot, "HKEY_CLASSES_ROOT"},
                               RootEntry{RegistryRoot::CurrentUser, "HKEY_CURRENT_USER"},
                               RootEntry{RegistryRoot::LocalMachine, "HKEY_LOCAL_MACHINE"},
                               RootEntry{RegistryRoot::Users, "HKEY_USERS"}};

std::string_view trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A key path or value name with ASCII letters lower-cased: the form it is found by.
std::string foldedName(std::string_view name) {
    std::string folded(name);
    std::ranges::transform(folded, folded.begin(), asciiLower);
    return folded;
}

// Reads a quoted text with \\ and \" escapes from the start of `text`; answers
// false when it is not one. `rest` is what follows the closing quote.
bool readQuoted(std::string_view text, std::string& out, std::string_view& rest) {
    if (!text.starts_with('"')) {
        return false;
    }
    out.clear();
    for (std::size_t i = 1; i < text.size();) {
        const std::size_t stop = std::min(text.find_first_of("\"\\", i), text.size());
        out.append(text, i, stop - i);
        if (stop == text.size()) {
            break;
        }
        if (text[stop] == '"') {
            rest = text.substr(stop + 1);
            return true;
        }
        // An escaped character, or a final backslash as it stands.
        out.push_back(text[std::min(stop + 1, text.size() - 1)]);
        i = stop + 2;
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
        value.type = RegistryType::String;
        return trim(rest).empty();
    }
    if (data.starts_with("dword:")) {
        value.type = RegistryType::Dword;
        return readHexNumber(trim(data.substr(6)), value.number);
    }
    std::uint32_t type = RegistryType::Binary;
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
    if (type == RegistryType::Dword) {
        // A number written as bytes: four, little-endian.
        if (value.data.size() != 4) {
            return false;
        }
        value.number = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                       static_cast<std::uint32_t>(value.data[3]) << 24;
        value.data.clear();
    } else if (type == RegistryType::String) {
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

// Splits a value line into its name ("@" is the empty one) and its data after
// "="; false when it is not a value line.
bool splitValueLine(std::string_view line, std::string& name, std::string_view& data) {
    std::string_view rest;
    name.clear();
    if (line.starts_with('@')) {
        rest = line.substr(1);
    } else if (!readQuoted(line, name, rest)) {
        return false;
    }
    rest = trim(rest);
    data = trim(rest.substr(std::min<std::size_t>(1, rest.size())));
    return rest.starts_with('=');
}

// Whether a line (or what is joined of it so far) is a value written as hex
// bytes, the only kind exports wrap onto the next line with a final "\\".
bool isHexValue(std::string_view line) {
    std::string name;
    std::string_view data;
    return splitValueLine(line, name, data) && data.starts_with("hex");
}

struct Line {
    std::size_t number;
    std::string_view text;
};

// Calls visit with each of the text's lines, trimmed, until it answers false; a
// hex value wrapped with a final "\\" is joined into one line, numbered by its
// first. False when visit stopped it.
template <typename Visit> bool forEachLine(std::string_view text, Visit visit) {
    std::string joined;
    std::size_t number = 0, first = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        line = trim(line);
        ++number;
        if (joined.empty() && !(line.ends_with('\\') && isHexValue(line))) {
            if (!visit(Line{number, line})) {
                return false;
            }
            continue;
        }
        if (joined.empty()) {
            first = number;
        }
        joined += line;
        if (joined.ends_with('\\') && isHexValue(joined)) {
            joined.pop_back();
            continue;
        }
        if (!visit(Line{first, joined})) {
            return false;
        }
        joined.clear();
    }
    return joined.empty() || visit(Line{first, joined});
}

// The file's bytes as UTF-8 text (in `converted` when they were not), and the
// encoding they were in. A UTF-16 text that does not convert back to the same
// bytes is marked, so the file is kept.
std::string_view decodedText(std::string_view bytes, Hive& hive, std::string& converted,
                             bool& lossy) {
    lossy = false;
    if (bytes.starts_with("\xFF\xFE")) {
        hive.encoding = HiveEncoding::Utf16Le;
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        converted = utf16ToUtf8(units);
        lossy = bytes.size() % 2 != 0 || utf8ToUtf16(converted) != units;
        return converted;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        hive.encoding = HiveEncoding::Utf8WithBom;
        bytes.remove_prefix(3);
    }
    return bytes;
}

// Applies one value line to the key it belongs to (none after a deleted key);
// false when the line cannot be read.
bool readValueLine(std::string_view line, HiveKey* key, bool keyDeleted) {
    std::string name;
    std::string_view data;
    if ((key == nullptr && !keyDeleted) || !splitValueLine(line, name, data)) {
        return false;
    }
    RegistryValue value;
    if (data == "-") {
        if (key != nullptr) {
            key->removeValue(name);
        }
        return true;
    }
    if (!readValueData(data, value)) {
        return false;
    }
    if (key != nullptr) {
        key->setValue(name, std::move(value));
    }
    return true;
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
    if (value.type == RegistryType::String &&
        value.text.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos) {
        appendQuoted(value.text, out);
    } else if (value.type == RegistryType::String) {
        // A text with line breaks or NULs cannot stand on one quoted line.
        std::vector<std::uint8_t> bytes;
        for (const char16_t unit : utf8ToUtf16(value.text) + u'\0') {
            bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        out += "hex(1):";
        appendHexBytes(bytes, out);
    } else if (value.type == RegistryType::Dword) {
        char number[20];
        std::snprintf(number, sizeof number, "dword:%08x", value.number);
        out += number;
    } else {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix,
                      value.type == RegistryType::Binary ? "hex:" : "hex(%x):", value.type);
        out += prefix;
        appendHexBytes(value.data, out);
    }
}

} // namespace

bool sameRegistryName(std::string_view a, std::string_view b) {
    return equalsIgnoringAsciiCase(a, b);
}

HiveValues::iterator HiveKey::locate(std::string_view name) {
    if (byName_.empty()) {
        return std::find_if(values_.begin(), values_.end(),
                            [&](const auto& entry) { return sameRegistryName(entry.first, name); });
    }
    const auto found = byName_.find(foldedName(name));
    return found == byName_.end() ? values_.end() : found->second;
}

const RegistryValue* HiveKey::findValue(std::string_view name) const {
    const auto found = const_cast<HiveKey*>(this)->locate(name);
    return found == values_.end() ? nullptr : &found->second;
}

void HiveKey::setValue(std::string_view name, RegistryValue value) {
    const auto found = locate(name);
    if (found != values_.end()) {
        found->second = std::move(value);
        return;
    }
    values_.emplace_back(std::string(name), std::move(value));
    if (!byName_.empty()) {
        byName_.emplace(foldedName(name), std::prev(values_.end()));
    } else if (values_.size() > kScannedValues) {
        for (auto entry = values_.begin(); entry != values_.end(); ++entry) {
            byName_.emplace(foldedName(entry->first), entry);
        }
    }
}

void HiveKey::removeValue(std::string_view name) {
    const auto found = locate(name);
    if (found != values_.end()) {
        byName_.erase(foldedName(name));
        values_.erase(found);
    }
}

HiveKey* Hive::findKey(std::string_view path) {
    const auto found = byPath_.find(foldedName(path));
    return found == byPath_.end() ? nullptr : &*found->second;
}

const HiveKey* Hive::findKey(std::string_view path) const {
    return const_cast<Hive*>(this)->findKey(path);
}

void Hive::expectKeys(std::size_t count) {
    byPath_.reserve(count);
}

HiveKey& Hive::addKey(std::string_view path) {
    const auto [found, added] = byPath_.try_emplace(foldedName(path));
    if (added) {
        found->second = keys_.emplace(keys_.end(), std::string(path));
    }
    return *found->second;
}

void Hive::removeKey(std::string_view path) {
    const auto found = byPath_.find(foldedName(path));
    if (found != byPath_.end()) {
        keys_.erase(found->second);
        byPath_.erase(found);
    }
}

std::optional<ParsedHive> parseHive(std::string_view bytes) {
    ParsedHive parsed;
    Hive& hive = parsed.hive;
    bool lossy = false;
    std::string converted;
    const std::string_view text = decodedText(bytes, hive, converted, lossy);
    const std::size_t firstBreak = text.find('\n');
    hive.crlfLineEnds =
        firstBreak != std::string::npos && firstBreak > 0 && text[firstBreak - 1] == '\r';
    bool headerSeen = false;
    HiveKey* key = nullptr;
    bool keyDeleted = false;
    hive.expectKeys(static_cast<std::size_t>(std::ranges::count(text, '[')));
    const bool inFormat = forEachLine(text, [&](const Line& line) {
        const std::string_view content = line.text;
        if (content.empty() || content.starts_with(';')) {
            return true;
        }
        if (!headerSeen) {
            headerSeen = content == kHeader || content == kOldHeader;
            return headerSeen;
        }
        if (content.starts_with('[') && content.ends_with(']')) {
            const std::string_view path = trim(content.substr(1, content.size() - 2));
            keyDeleted = path.starts_with('-');
            key = nullptr;
            if (keyDeleted) {
                hive.removeKey(path.substr(1));
            } else if (path.empty()) {
                parsed.faults.push_back({line.number, std::string(content)});
            } else {
                key = &hive.addKey(path);
            }
        } else if (!readValueLine(content, key, keyDeleted)) {
            parsed.faults.push_back({line.number, std::string(content)});
        }
        return true;
    });
    if (!inFormat) {
        return std::nullopt;
    }
    if (lossy) {
        parsed.faults.push_back({0, "(characters that are not UTF-16)"});
    }
    return parsed;
}

std::string formatHive(const Hive& hive) {
    const std::string_view lineEnd = hive.crlfLineEnds ? "\r\n" : "\n";
    std::string out(kHeader);
    out += lineEnd;
    for (const HiveKey& key : hive.keys()) {
        out += lineEnd;
        out += '[';
        out += key.path();
        out += ']';
        out += lineEnd;
        for (const auto& [name, value] : key.values()) {
            if (name.empty()) {
                out += '@';
            } else {
                appendQuoted(name, out);
            }
            out += '=';
            appendValueData(value, out);
            out += lineEnd;
        }
    }
    switch (hive.encoding) {
    case HiveEncoding::Utf8:
        return out;
    case HiveEncoding::Utf8WithBom:
        return "\xEF\xBB\xBF" + out;
    case HiveEncoding::Utf16Le:
        break;
    }
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : utf8ToUtf16(out)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
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
