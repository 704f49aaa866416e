// SPDX-License-Identifier: MIT
#include "platform/shell.h"

#include "platform/posix/detached_start.h"
#include "platform/shell_address.h"

#include <string>

namespace zaptrove::platform {

namespace {

// "xdg-open ADDRESS", the address one argument. The caller waits only until it
// has started: a program that quits or minimises right after asking has handed
// the address over by then.
class XdgShell final : public Shell {
  public:
    void openAddress(std::string_view pAddress, std::uintptr_t) override {
        if (isOpenableAddress(pAddress)) {
            startDetached({"xdg-open", std::string(pAddress)});
        }
    }
};

} // namespace

Shell& desktopShell() {
    static XdgShell shell;
    return shell;
}

} // namespace zaptrove::platform
