// SPDX-License-Identifier: MIT
#include "platform/program_start.h"

#include "platform/windows_command_line.h"
#include "text/text.h"

#include <string>
#include <windows.h>

namespace zaptrove::platform {

namespace {

std::wstring wide(std::string_view text) {
    const std::u16string units = utf8ToUtf16(text);
    return std::wstring(units.begin(), units.end());
}

// CreateProcessW returns once the process exists; nothing waits for it.
class ProcessStarter final : public ProgramStarter {
  public:
    bool startProgram(const std::vector<std::string>& pArguments) override {
        if (pArguments.empty()) {
            return false;
        }
        std::wstring line = wide(fnWindowsCommandLine(pArguments));
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            return false;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }
};

} // namespace

ProgramStarter& systemProgramStarter() {
    static ProcessStarter starter;
    return starter;
}

bool isProgramFile(std::string_view pPath) {
    const DWORD attributes = GetFileAttributesW(wide(pPath).c_str());
    return !pPath.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace zaptrove::platform
