// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace zaptrove {

// The notification-area record the main window hands to the shell for every
// icon call; filled once at start-up.
struct TrayData {
    std::uint32_t cbSize = 88;
    std::uintptr_t hWnd = 0;
    std::uint32_t uID = 1;
    std::uint32_t uFlags = 7;                // message, icon and tip
    std::uint32_t uCallbackMessage = 0x0200; // mouse events arrive as mouse moves
    std::uintptr_t hIcon = 0;
    // "Zaptrove", a NUL, then blanks up to 64 characters; shown up to the NUL.
    std::string szTip = std::string("Zaptrove") + '\0' + std::string(55, ' ');

    // The tip as the shell shows it.
    std::string tipShown() const { return szTip.substr(0, szTip.find('\0')); }
};

// Shell_NotifyIcon messages.
inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_DELETE = 2;

} // namespace zaptrove
