// SPDX-License-Identifier: MIT
#include "forms/win32/forms_impl.h"
#include "text/hotkey_sequence.h"

#include <algorithm>
#include <optional>

// The keys a form handles itself, as a dialog does: Tab through the controls
// in tab order, Escape to the cancel button, Alt and a letter to the control
// it underlines, Enter on a push button; and the key events of text and list
// boxes.
namespace zaptrove::platform::forms {

namespace {

bool canTakeFocus(const Control::Impl& pControl, bool pTabStopOnly) {
    const HWND window = pControl.window;
    return window != nullptr && IsWindowVisible(window) && IsWindowEnabled(window) &&
           (!pTabStopOnly || (GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP) != 0);
}

// Focus given by the keyboard selects a text box's whole text.
void focusFromKeyboard(const Control::Impl& pControl) {
    SetFocus(pControl.window);
    if (pControl.kind == Kind::TextBox) {
        SendMessageW(pControl.window, EM_SETSEL, 0, -1);
    }
}

// The letter after a single "&" in a caption; 0 when there is none.
wchar_t accessKeyOf(const std::wstring& pCaption) {
    for (std::size_t i = 0; i + 1 < pCaption.size(); ++i) {
        if (pCaption[i] == L'&') {
            if (pCaption[i + 1] != L'&') {
                return pCaption[i + 1];
            }
            ++i;
        }
    }
    return 0;
}

bool isHeld(int pKey) {
    return GetKeyState(pKey) < 0;
}

// The text a hotkey box shows for a key pressed with the modifiers held: empty
// for Backspace or Delete alone, nothing for a modifier or what is no hotkey.
std::optional<std::string> combinationOf(WPARAM pKey) {
    HotkeySequence pressed{isHeld(VK_CONTROL), isHeld(VK_MENU), isHeld(VK_SHIFT),
                           isHeld(VK_LWIN) || isHeld(VK_RWIN),
                           windowsKeyName(static_cast<std::uint16_t>(pKey))};
    if ((pKey == VK_BACK || pKey == VK_DELETE) && !pressed.ctrl && !pressed.alt && !pressed.shift &&
        !pressed.meta) {
        return std::string();
    }
    if (pressed.key.empty() || !parseHotkey(formatHotkey(pressed))) {
        return std::nullopt;
    }
    return formatHotkey(pressed);
}

wchar_t upper(wchar_t pLetter) {
    return static_cast<wchar_t>(reinterpret_cast<std::uintptr_t>(
        CharUpperW(reinterpret_cast<LPWSTR>(static_cast<std::uintptr_t>(pLetter)))));
}

} // namespace

namespace {

bool clickIfAny(const Control::Impl* pButton) {
    if (pButton == nullptr) {
        return false;
    }
    fire(*pButton->onClick);
    return true;
}

} // namespace

bool Form::Impl::pressCancel() const {
    return clickIfAny(cancelButton);
}

bool Form::Impl::pressDefault() const {
    return clickIfAny(defaultButton);
}

void Form::Impl::moveFocus(const Control::Impl* pFrom, bool pBackwards) const {
    const auto count = static_cast<std::ptrdiff_t>(tabOrder.size());
    if (count == 0) {
        return;
    }
    const auto from = std::find(tabOrder.begin(), tabOrder.end(), pFrom);
    std::ptrdiff_t index =
        from == tabOrder.end() ? (pBackwards ? count : -1) : from - tabOrder.begin();
    for (std::ptrdiff_t step = 0; step < count; ++step) {
        index = ((pBackwards ? index - 1 : index + 1) % count + count) % count;
        if (canTakeFocus(*tabOrder[static_cast<std::size_t>(index)], true)) {
            focusFromKeyboard(*tabOrder[static_cast<std::size_t>(index)]);
            return;
        }
    }
}

void Form::Impl::restoreFocus() {
    if (lastFocus != nullptr && IsChild(window, lastFocus) && IsWindowVisible(lastFocus) &&
        IsWindowEnabled(lastFocus)) {
        SetFocus(lastFocus);
        return;
    }
    for (const bool tabStopOnly : {true, false}) {
        for (const Control::Impl* control : tabOrder) {
            if (canTakeFocus(*control, tabStopOnly)) {
                SetFocus(control->window);
                return;
            }
        }
    }
}

bool Form::Impl::pressAccessKey(wchar_t pLetter) const {
    for (Control::Impl* control : tabOrder) {
        if (control->kind == Kind::TextBox || control->kind == Kind::ListBox ||
            !canTakeFocus(*control, false)) {
            continue;
        }
        const std::wstring caption = toWide(windowText(control->window));
        if (const wchar_t key = accessKeyOf(caption); key != 0 && upper(key) == upper(pLetter)) {
            SetFocus(control->window);
            control->click();
            return true;
        }
    }
    return false;
}

bool Control::Impl::handle(UINT pMessage, WPARAM pWParam, LPARAM pLParam, LRESULT& pResult) {
    pResult = 0;
    switch (pMessage) {
    case WM_KEYDOWN:
        if (pWParam == VK_ESCAPE) {
            return form.pressCancel();
        }
        if (pWParam == VK_TAB) {
            form.moveFocus(this, GetKeyState(VK_SHIFT) < 0);
            return true;
        }
        if (kind == Kind::HotkeyBox) {
            takeCombination(pWParam);
            return true;
        }
        if (pWParam == VK_RETURN && kind == Kind::Button) {
            click();
            return true;
        }
        // A box with a key-press handler takes Enter as a character.
        if (pWParam == VK_RETURN && (onKeyPress == nullptr || !*onKeyPress) &&
            form.pressDefault()) {
            return true;
        }
        if (pWParam == VK_DOWN && onKeyDown != nullptr && *onKeyDown) {
            std::int16_t keyCode = KEY_DOWN;
            (*onKeyDown)(keyCode);
            return keyCode == 0;
        }
        return false;
    case WM_SYSKEYDOWN:
        if (kind == Kind::HotkeyBox) {
            takeCombination(pWParam);
            return true;
        }
        return false;
    case WM_CHAR: {
        // Escape and Tab acted as keys; the controls would only beep at them,
        // as a hotkey box would at every key.
        if (kind == Kind::HotkeyBox || pWParam == VK_ESCAPE || pWParam == L'\t' ||
            (kind == Kind::Button && pWParam == L'\r')) {
            return true;
        }
        if (onKeyPress == nullptr || !*onKeyPress) {
            return pWParam == L'\r' ||
                   (kind == Kind::ListBox && selectRowStartingWith(*this, pWParam));
        }
        auto keyAscii = static_cast<std::int16_t>(pWParam);
        (*onKeyPress)(keyAscii);
        // The handler may have swallowed the key, changed it, or closed the form.
        if (keyAscii == 0 || keyAscii == L'\r' || window == nullptr) {
            return true;
        }
        const auto typed = static_cast<WPARAM>(static_cast<std::uint16_t>(keyAscii));
        if (kind == Kind::ListBox && selectRowStartingWith(*this, typed)) {
            return true;
        }
        pResult = CallWindowProcW(systemProcedure, window, pMessage, typed, pLParam);
        return true;
    }
    case WM_SYSCHAR:
        // In a hotkey box Alt and a letter were a combination.
        return kind == Kind::HotkeyBox || form.pressAccessKey(static_cast<wchar_t>(pWParam));
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The focused push button shows as the one Enter presses, and the
        // default button while no other has the focus.
        if (kind == Kind::Button) {
            const bool pressedByEnter = pMessage == WM_SETFOCUS || form.defaultButton == this;
            SendMessageW(window, BM_SETSTYLE, pressedByEnter ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                         TRUE);
        }
        return false;
    default:
        return false;
    }
}

void Control::Impl::takeCombination(WPARAM pKey) {
    if (const auto combination = combinationOf(pKey)) {
        SetWindowTextW(window, toWide(*combination).c_str());
        fire(*onChange);
    }
}

} // namespace zaptrove::platform::forms
