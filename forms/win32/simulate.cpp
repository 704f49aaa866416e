// SPDX-License-Identifier: MIT
#include "forms/forms_simulate.h"
#include "forms/win32/forms_impl.h"
#include "text/hotkey_sequence.h"

#include <algorithm>
#include <array>

// Input for tests, sent as messages to the controls so that it takes the path
// typed keys and clicks take: the program's handling first, then the system's
// control.
namespace zaptrove::platform::forms {

namespace {

// The virtual key a keyboard reports with a character.
WPARAM keyFor(wchar_t pCharacter) {
    switch (pCharacter) {
    case KEY_RETURN:
        return VK_RETURN;
    case KEY_ESCAPE:
        return VK_ESCAPE;
    default: {
        const SHORT key = VkKeyScanW(pCharacter);
        return key == -1 ? 0 : LOBYTE(key);
    }
    }
}

// A key goes down, types its character, and comes up, as TranslateMessage
// makes of a typed key.
void sendCharacter(HWND pTarget, wchar_t pCharacter) {
    const WPARAM key = keyFor(pCharacter);
    SendMessageW(pTarget, WM_KEYDOWN, key, 1);
    if (IsWindow(pTarget)) {
        SendMessageW(pTarget, WM_CHAR, pCharacter, 1);
    }
    if (IsWindow(pTarget)) {
        SendMessageW(pTarget, WM_KEYUP, key, 0xC0000001);
    }
}

void sendClick(HWND pTarget, POINT pAt, bool pDouble = false) {
    const LPARAM at = MAKELPARAM(pAt.x, pAt.y);
    SendMessageW(pTarget, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(pTarget, WM_LBUTTONUP, 0, at);
    if (pDouble) {
        SendMessageW(pTarget, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(pTarget, WM_LBUTTONUP, 0, at);
    }
}

// The virtual key of "Ctrl", "Alt", "Shift" or "Meta".
BYTE modifierKey(std::string_view pName) {
    return pName == "Ctrl"    ? VK_CONTROL
           : pName == "Alt"   ? VK_MENU
           : pName == "Shift" ? VK_SHIFT
                              : VK_LWIN;
}

// The mouse messages the notification area sends for a click on an icon.
std::vector<UINT> trayMessagesFor(TrayClick pClick) {
    switch (pClick) {
    case TrayClick::Left:
        return {WM_LBUTTONDOWN, WM_LBUTTONUP};
    case TrayClick::Double:
        return {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    case TrayClick::Right:
        return {WM_RBUTTONDOWN, WM_RBUTTONUP};
    case TrayClick::Middle:
        return {WM_MBUTTONDOWN, WM_MBUTTONUP};
    }
    return {};
}

} // namespace

std::string clipboardText() {
    const OpenClipboard clipboard;
    const HANDLE memory = clipboard.isOpen() ? GetClipboardData(CF_UNICODETEXT) : nullptr;
    if (memory == nullptr) {
        return {};
    }
    const auto* text = static_cast<const wchar_t*>(GlobalLock(memory));
    std::string result = text != nullptr ? toUtf8(text) : std::string();
    GlobalUnlock(memory);
    return result;
}

bool hasFocus(const Control& pControl) {
    return GetFocus() == pControl.impl().window;
}

bool showsFocusRing(const Control& pControl) {
    const HWND window = pControl.impl().window;
    return GetFocus() == window &&
           (SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

void simulateTyping(Control& pControl, std::string_view pText) {
    for (const wchar_t character : toWide(pText)) {
        sendCharacter(pControl.impl().window, character);
    }
}

void simulateKey(Control& pControl, std::int16_t pKeyAscii) {
    sendCharacter(pControl.impl().window, static_cast<wchar_t>(pKeyAscii));
}

void simulateKeyDown(Control& pControl, std::int16_t pKeyCode) {
    const WPARAM key = pKeyCode == KEY_DOWN ? VK_DOWN : static_cast<WPARAM>(pKeyCode);
    SendMessageW(pControl.impl().window, WM_KEYDOWN, key, 1);
    SendMessageW(pControl.impl().window, WM_KEYUP, key, 0xC0000001);
}

// The modifiers are held in the thread's keyboard state while the key goes
// down and up; Alt without Ctrl makes them system keys, as it does when typed.
// A key that types a character with no Ctrl or Alt held sends it too.
void simulateKeyCombination(Control& pControl, std::string_view pCombination) {
    std::array<BYTE, 256> held{};
    GetKeyboardState(held.data());
    const std::array<BYTE, 256> before = held;
    for (std::size_t plus = pCombination.find('+', 1); plus != std::string_view::npos;
         plus = pCombination.find('+', 1)) {
        held[modifierKey(pCombination.substr(0, plus))] |= 0x80;
        pCombination.remove_prefix(plus + 1);
    }
    // With Ctrl any key is a hotkey, whose code is then known.
    const auto sequence = parseHotkey("Ctrl+" + std::string(pCombination));
    const WPARAM key = sequence ? windowsKey(*sequence) : 0;
    const bool system = (held[VK_MENU] & 0x80) != 0 && (held[VK_CONTROL] & 0x80) == 0;
    SetKeyboardState(held.data());
    SendMessageW(pControl.impl().window, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1);
    // The character the key types with Shift alone held (Shift+Enter's "\r"),
    // as the message loop's translation would send it.
    wchar_t typed[4] = {};
    if ((held[VK_MENU] & 0x80) == 0 && (held[VK_CONTROL] & 0x80) == 0 &&
        IsWindow(pControl.impl().window) &&
        ToUnicode(static_cast<UINT>(key), MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC),
                  held.data(), typed, 4, 0) == 1) {
        SendMessageW(pControl.impl().window, WM_CHAR, typed[0], 1);
    }
    if (IsWindow(pControl.impl().window)) {
        SendMessageW(pControl.impl().window, system ? WM_SYSKEYUP : WM_KEYUP, key, 0xC0000001);
    }
    SetKeyboardState(const_cast<BYTE*>(before.data()));
}

void simulateDoubleClick(ListBox& pList, int pRow, bool pShift) {
    RECT row{};
    SendMessageW(pList.impl().window, LB_GETITEMRECT, static_cast<WPARAM>(pRow),
                 reinterpret_cast<LPARAM>(&row));
    std::array<BYTE, 256> held{};
    GetKeyboardState(held.data());
    const std::array<BYTE, 256> before = held;
    if (pShift) {
        held[VK_SHIFT] |= 0x80;
    }
    SetKeyboardState(held.data());
    sendClick(pList.impl().window, POINT{(row.left + row.right) / 2, (row.top + row.bottom) / 2},
              true);
    SetKeyboardState(const_cast<BYTE*>(before.data()));
}

// The list's tooltip text once the mouse moved there; the tooltip control
// shows it after its pause.
std::string simulateHover(ListBox& pList, int pRow) {
    const HWND list = pList.impl().window;
    RECT client{};
    GetClientRect(list, &client);
    RECT row{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(std::max(pRow, 0)),
                 reinterpret_cast<LPARAM>(&row));
    const int y = pRow >= 0 ? (row.top + row.bottom) / 2 : client.bottom - 2;
    SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(2, y));
    return pList.toolTip();
}

void simulateClick(CommandButton& pButton) {
    RECT client{};
    GetClientRect(pButton.impl().window, &client);
    sendClick(pButton.impl().window, POINT{client.right / 2, client.bottom / 2});
}

// On the box or circle, at the left end of the control.
void simulateClick(Checkable& pControl) {
    RECT client{};
    GetClientRect(pControl.impl().window, &client);
    sendClick(pControl.impl().window,
              POINT{GetSystemMetrics(SM_CXMENUCHECK) / 2, client.bottom / 2});
}

// The messages stop once the icon is gone, as the notification area's would.
void simulateTrayActivation(TrayIcon& pIcon, TrayClick pClick) {
    for (const UINT message : trayMessagesFor(pClick)) {
        if (!pIcon.isShown()) {
            return;
        }
        SendMessageW(pIcon.impl().owner.impl().window, WM_TRAY_CALLBACK, 1, message);
    }
}

// The entry runs as the menu runs it once chosen; the menu itself, which waits
// for the user, is not opened.
bool simulateTrayMenuChoice(TrayIcon& pIcon, std::string_view pCaption) {
    for (const TrayMenuItem& item : pIcon.impl().menu) {
        if (item.caption == pCaption) {
            const EventHandler choose = item.onChoose;
            fire(choose);
            return true;
        }
    }
    return false;
}

// A control lying in the caption's rows, or across the border, crowds it.
std::vector<std::string> crowdedFrames(const Form& pForm) {
    std::vector<std::string> crowded;
    for (const Control::Impl* frame : pForm.impl().controls) {
        if (frame->groupBox == nullptr) {
            continue;
        }
        const RECT caption = frameCaptionArea(*frame);
        RECT inside{};
        GetClientRect(frame->window, &inside);
        InflateRect(&inside, -1, -1);
        inside.top = (caption.bottom - caption.top) / 2 + 1;
        for (const Control::Impl* control : pForm.impl().controls) {
            if (GetParent(control->window) != frame->window ||
                (GetWindowLongW(control->window, GWL_STYLE) & WS_VISIBLE) == 0) {
                continue;
            }
            RECT area{};
            GetWindowRect(control->window, &area);
            MapWindowPoints(nullptr, frame->window, reinterpret_cast<POINT*>(&area), 2);
            RECT overlap{};
            if (IntersectRect(&overlap, &area, &caption) || area.left < inside.left ||
                area.top < inside.top || area.right > inside.right || area.bottom > inside.bottom) {
                crowded.push_back(windowText(frame->groupBox));
                break;
            }
        }
    }
    return crowded;
}

// The close box asks the window to close through its system menu command.
void simulateClose(Form& pForm) {
    SendMessageW(pForm.impl().window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::vector<std::string> cutCaptions(const Form& pForm) {
    std::vector<std::string> cut;
    for (const Control::Impl* control : pForm.impl().controls) {
        const HWND shown = control->groupBox != nullptr ? control->groupBox : control->window;
        if (!captionFits(*control,
                         reinterpret_cast<HFONT>(SendMessageW(shown, WM_GETFONT, 0, 0)))) {
            cut.push_back(windowText(shown));
        }
    }
    return cut;
}

} // namespace zaptrove::platform::forms
