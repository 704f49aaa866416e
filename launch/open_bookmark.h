// SPDX-License-Identifier: MIT
#pragma once

#include "launch/browser_program.h"
#include "search/records/bookmark.h"

#include <cstdint>
#include <string>

namespace zaptrove {

class DebugLog;

namespace platform {
class ProgramStarter;
class Shell;
} // namespace platform

// What opens a bookmark.
struct Openers {
    platform::Shell& shell;
    platform::ProgramStarter& starter;
    ProgramPlaces places;
    std::uintptr_t ownerWindow = 0; // the native window that asks, for the shell
    // The launch record each open is added to, while ordering by use; empty: none.
    std::string launchRecord = {};
};

// Opens a browser bookmark in its own browser and profile when pOwnBrowser is
// set (in a private window when pPrivate is), and every other bookmark with
// the desktop's "open" action. Where the browser's program cannot be found or
// started, the desktop's action opens it and the log says why. A keyword
// bookmark's POST data is not sent: the log says so. False when
// nothing could be opened: the address is empty, or could be taken for an
// option.
bool fnOpenBookmark(const Bookmark& pBookmark, bool pOwnBrowser, bool pPrivate,
                    const Openers& pOpeners, const DebugLog& pLog);

} // namespace zaptrove
