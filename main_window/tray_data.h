// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace zaptrove {

// The notification-area record the main window hands to the tray icon for every
// icon call. Of what the shell's record holds, only the tip is read here.
struct TrayData {
    // "Zaptrove", a NUL, then blanks up to 64 characters; shown up to the NUL.
    std::string szTip = std::string("Zaptrove") + '\0' + std::string(55, ' ');

    // The tip as the shell shows it.
    std::string tipShown() const { return szTip.substr(0, szTip.find('\0')); }
};

// What a tray icon call asks for, numbered as the shell numbers it.
enum class TrayMessage { Add = 0, Delete = 2 };

} // namespace zaptrove
