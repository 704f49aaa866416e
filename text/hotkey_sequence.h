// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A global hotkey as text, "Ctrl+Alt+Z": modifiers Ctrl, Alt, Shift and Meta
// joined by "+" before one key, named as the key box writes it ("Z", "F12",
// "Space", "PgUp", "+"...).
namespace zaptrove::platform {

struct HotkeySequence {
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    bool meta = false;
    std::string key; // its canonical name: capital letters, "F12", "Space"...
};

// The sequence a text names; nothing for an empty text, an unknown modifier or
// key, a modifier named twice, more than one combination, or a key that types or edits text without
// Ctrl, Alt or Meta (it would take the key from every program). Letter case
// does not matter.
std::optional<HotkeySequence> parseHotkey(std::string_view pText);
// "Ctrl+Alt+Shift+Meta+Key", in that order.
std::string formatHotkey(const HotkeySequence& pSequence);

// The X keysym of the key; 0 when X names none.
std::uint32_t x11Keysym(const HotkeySequence& pSequence);
// The trigger a desktop portal is asked for ("CTRL+ALT+z", "LOGO+space");
// empty when the key has no name there, and the desktop then lets the user choose.
std::string portalTrigger(const HotkeySequence& pSequence);
// The Windows virtual-key code of the key; 0 for a character whose key
// depends on the keyboard layout.
std::uint16_t windowsKey(const HotkeySequence& pSequence);
// The name of the key with this Windows virtual-key code ("Z", "F12", "PgUp");
// empty for a modifier, a key that depends on the layout, or an unknown code.
std::string windowsKeyName(std::uint16_t pKey);

} // namespace zaptrove::platform
