// SPDX-License-Identifier: MIT
#pragma once

#include "platform/hotkey.h"

// The two ways to a global hotkey under Qt, which platform/qt/hotkey.cpp chooses between.
namespace zaptrove::platform {

// A passive grab on the root window of Qt's X connection (hotkey_x11.cpp).
std::unique_ptr<Hotkey> registerX11Hotkey(const HotkeySequence& pSequence,
                                          std::function<void()> pPressed,
                                          const HotkeyReported& pReported);

// The desktop portal's GlobalShortcuts interface on the session bus (hotkey_portal.cpp).
bool portalOffersShortcuts();
std::unique_ptr<Hotkey> registerPortalHotkey(const HotkeySequence& pSequence,
                                             std::function<void()> pPressed,
                                             HotkeyReported pReported);

} // namespace zaptrove::platform
