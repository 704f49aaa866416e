// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

// The desktop's "open" action for an address.
namespace zaptrove::platform {

class Shell {
  public:
    virtual ~Shell() = default;
    // Hands the address to the desktop's default handler and returns as soon
    // as the desktop has it (its helper started), without waiting for the page
    // to open, so the program may end right after. pOwnerWindow is the native
    // handle of the window that asks. The address is always one argument, never
    // read by a command interpreter; an empty address, or one that a helper
    // program could take for an option, opens nothing.
    virtual void openAddress(std::string_view pAddress, std::uintptr_t pOwnerWindow) = 0;
};

// The real one: ShellExecuteW "open" on Windows, xdg-open elsewhere.
Shell& desktopShell();

} // namespace zaptrove::platform
