// SPDX-License-Identifier: MIT
#include "platform/console.h"

#include "text/text.h"

#include <windows.h>

#include <shellapi.h>

namespace zaptrove::platform {

std::vector<std::string> commandLineArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
    }
    LocalFree(wide);
    return arguments;
}

Utf8Console::Utf8Console() : savedCodePage_(GetConsoleOutputCP()) {
    // 0 when there is no console, as when the output goes to a pipe.
    if (savedCodePage_ != 0) {
        SetConsoleOutputCP(CP_UTF8);
    }
}

Utf8Console::~Utf8Console() {
    if (savedCodePage_ != 0) {
        SetConsoleOutputCP(savedCodePage_);
    }
}

} // namespace zaptrove::platform
