// SPDX-License-Identifier: MIT
#include "launch/desktop_entry.h"

#include <optional>

namespace zaptrove {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// The value of a key of the main group.
std::optional<std::string_view> mainGroupValue(std::string_view entry, std::string_view key) {
    bool inMain = false;
    while (!entry.empty()) {
        const std::size_t end = entry.find('\n');
        const std::string_view line = trimmed(entry.substr(0, end));
        entry.remove_prefix(end == std::string_view::npos ? entry.size() : end + 1);
        if (line.starts_with('[')) {
            inMain = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inMain && equals != std::string_view::npos && trimmed(line.substr(0, equals)) == key) {
            return trimmed(line.substr(equals + 1));
        }
    }
    return std::nullopt;
}

// The string escapes of the entry format (\s, \n, \t, \r, \\), which apply
// before the quoting of Exec.
std::string unescaped(std::string_view value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        switch (const char next = value[++i]) {
        case 's':
            text += ' ';
            break;
        case 'n':
            text += '\n';
            break;
        case 't':
            text += '\t';
            break;
        case 'r':
            text += '\r';
            break;
        case '\\':
            text += '\\';
            break;
        default:
            text += '\\';
            text += next;
            break;
        }
    }
    return text;
}

// Splits at spaces outside double quotes; inside them a backslash keeps the
// next character. Field codes go, "%%" stands for "%".
std::vector<std::string> splitCommand(const std::string& command) {
    std::vector<std::string> arguments;
    std::string argument;
    bool started = false;
    bool quoted = false;
    bool fieldCode = false;
    const auto finish = [&] {
        if (started && !(fieldCode && argument.empty()) && argument != "@@" && argument != "@@u") {
            arguments.push_back(argument);
        }
        argument.clear();
        started = fieldCode = false;
    };
    for (std::size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else {
                argument += c == '\\' && i + 1 < command.size() ? command[++i] : c;
            }
        } else if (c == ' ' || c == '\t') {
            finish();
        } else if (c == '"') {
            quoted = started = true;
        } else if (c == '%' && i + 1 < command.size()) {
            started = true;
            if (command[++i] == '%') {
                argument += '%';
            } else {
                fieldCode = true;
            }
        } else {
            argument += c;
            started = true;
        }
    }
    finish();
    return arguments;
}

} // namespace

std::vector<std::string> fnDesktopEntryCommand(std::string_view pEntry) {
    if (mainGroupValue(pEntry, "Hidden") == "true") {
        return {};
    }
    const std::optional<std::string_view> exec = mainGroupValue(pEntry, "Exec");
    return exec ? splitCommand(unescaped(*exec)) : std::vector<std::string>{};
}

} // namespace zaptrove
