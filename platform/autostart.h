// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// Whether the program starts when the user logs in. On POSIX an XDG autostart
// entry, $XDG_CONFIG_HOME/autostart/org.zaptrove.Zaptrove.desktop (the folder
// defaults to ~/.config/autostart); on Windows the "Zaptrove" value under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run. Either starts
// the running program's file with AUTOSTART_OPTION.
namespace zaptrove::platform {

inline constexpr std::string_view AUTOSTART_OPTION = "--autostart";

class Autostart {
  public:
    virtual ~Autostart() = default;
    virtual bool isOn() const = 0;
    // Adds or removes the entry; answers why it could not, or "" when done.
    virtual std::string setOn(bool pOn) = 0;
};

// The current user's entry.
Autostart& userAutostart();

} // namespace zaptrove::platform
