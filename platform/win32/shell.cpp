// SPDX-License-Identifier: MIT
#include "platform/shell.h"

#include "platform/shell_address.h"
#include "text/text.h"

#include <string>
#include <windows.h>

#include <shellapi.h>

namespace zaptrove::platform {

namespace {

class WindowsShell final : public Shell {
  public:
    void openAddress(std::string_view pAddress, std::uintptr_t pOwnerWindow) override {
        if (!isOpenableAddress(pAddress)) {
            return;
        }
        const std::u16string units = utf8ToUtf16(pAddress);
        const std::wstring address(units.begin(), units.end());
        ShellExecuteW(reinterpret_cast<HWND>(pOwnerWindow), L"open", address.c_str(), nullptr,
                      nullptr, SW_SHOWNORMAL);
    }
};

} // namespace

Shell& desktopShell() {
    static WindowsShell shell;
    return shell;
}

} // namespace zaptrove::platform
