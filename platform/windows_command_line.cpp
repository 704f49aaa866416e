// SPDX-License-Identifier: MIT
#include "platform/windows_command_line.h"

namespace zaptrove::platform {

namespace {

void appendQuoted(std::string& line, const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
        line += argument;
        return;
    }
    line += '"';
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only before a quote: there each one is doubled.
        line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, '\\');
    line += '"';
}

} // namespace

std::string fnWindowsCommandLine(const std::vector<std::string>& pArguments) {
    std::string line;
    for (std::size_t i = 0; i < pArguments.size(); ++i) {
        if (i == 0) {
            line += '"' + pArguments[0] + '"';
        } else {
            line += ' ';
            appendQuoted(line, pArguments[i]);
        }
    }
    return line;
}

} // namespace zaptrove::platform
