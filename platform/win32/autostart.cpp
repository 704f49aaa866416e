// SPDX-License-Identifier: MIT
#include "platform/autostart.h"

#include "text/text.h"

#include <windows.h>

#include <string>

namespace zaptrove::platform {

namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kValueName = L"Zaptrove";

// The running program's file in quotes, then the option.
std::wstring commandLine() {
    std::wstring program(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, program.data(),
                                        static_cast<DWORD>(program.size()))) == program.size()) {
        program.resize(program.size() * 2);
    }
    program.resize(length);
    const std::string option(AUTOSTART_OPTION);
    return L"\"" + program + L"\" " + std::wstring(option.begin(), option.end());
}

std::string describe(LSTATUS pStatus) {
    return pStatus == ERROR_SUCCESS || pStatus == ERROR_FILE_NOT_FOUND
               ? ""
               : "the registry refused it (error " + std::to_string(pStatus) + ")";
}

class RunValueAutostart final : public Autostart {
  public:
    bool isOn() const override {
        return RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, nullptr,
                            nullptr) == ERROR_SUCCESS;
    }

    std::string setOn(bool pOn) override {
        if (!pOn) {
            return describe(RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kValueName));
        }
        const std::wstring command = commandLine();
        return describe(
            RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kValueName, REG_SZ, command.c_str(),
                            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))));
    }
};

} // namespace

Autostart& userAutostart() {
    static RunValueAutostart autostart;
    return autostart;
}

} // namespace zaptrove::platform
