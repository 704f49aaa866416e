// SPDX-License-Identifier: MIT
#pragma once

#include "text/hotkey_sequence.h"

#include <functional>
#include <memory>
#include <string>

// A key combination that reaches the program whichever window has the focus:
// a grab on the X root window, the desktop portal's global shortcuts (Wayland),
// or RegisterHotKey (Windows).
namespace zaptrove::platform {

enum class HotkeyState {
    Registered,  // pressing it calls the handler
    Taken,       // another program holds it, or the desktop refused it
    Invalid,     // the keyboard has no such key
    Unavailable, // this desktop offers programs no global hotkeys
};

// Called once per registration on the window thread, with what the desktop
// made of it: how it is bound or why not, in words for the user.
using HotkeyReported = std::function<void(HotkeyState pState, const std::string& pDetail)>;

// A registration; the key is released when it is destroyed.
class Hotkey {
  public:
    virtual ~Hotkey() = default;
};

// Whether this desktop lets a program have a global hotkey.
bool hotkeysOffered();

// Registers pSequence. pPressed runs on the window thread at each press (once
// while the key is held). pReported runs before this returns where the answer
// is immediate, or later where the desktop asks the user; nullptr when the
// key was refused at once.
std::unique_ptr<Hotkey> registerHotkey(const HotkeySequence& pSequence,
                                       std::function<void()> pPressed, HotkeyReported pReported);

} // namespace zaptrove::platform
