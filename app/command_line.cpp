// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include "platform/autostart.h"
#include "settings/version.h"

#include <algorithm>

namespace zaptrove {

namespace {

constexpr const char* USAGE =
    "Usage: zaptrove [--show | --autostart]\n"
    "Finds a bookmark from a few typed letters, in a small window.\n"
    "\n"
    "  --show          bring the running window to the front (or start it)\n"
    "  --autostart     start as at login: into the tray when minimising goes there\n"
    "  -h, --help      show this help and exit\n"
    "  -V, --version   show the version and exit\n"
    "\n"
    "zaptrove-find searches the same bookmarks from the command line.\n";

} // namespace

std::optional<int> fnAnswerCommandLine(const std::vector<std::string>& pArgs, std::ostream& pOut) {
    for (const std::string& arg : pArgs) {
        if (arg == "--help" || arg == "-h") {
            pOut << USAGE;
        } else if (arg == "--version" || arg == "-V") {
            pOut << "zaptrove " << fnVersionText() << '\n';
        } else {
            continue;
        }
        pOut.flush();
        return pOut ? 0 : 1;
    }
    return std::nullopt;
}

bool fnStartedAtLogin(const std::vector<std::string>& pArgs) {
    return std::ranges::find(pArgs, platform::AUTOSTART_OPTION) != pArgs.end();
}

} // namespace zaptrove
