// SPDX-License-Identifier: MIT
#include "platform/hotkey.h"

#include <string>
#include <windows.h>

namespace zaptrove::platform {

namespace {

constexpr wchar_t kWindowClass[] = L"ZaptroveHotkey";
constexpr int kHotkeyId = 1;
#ifndef MOD_NOREPEAT
constexpr UINT MOD_NOREPEAT = 0x4000;
#endif

// The virtual key and the modifiers it needs; a character whose key depends on
// the layout is looked up in the present one (0 when it has none).
std::pair<UINT, UINT> keyAndModifiers(const HotkeySequence& sequence) {
    UINT modifiers = (sequence.ctrl ? MOD_CONTROL : 0) | (sequence.alt ? MOD_ALT : 0) |
                     (sequence.shift ? MOD_SHIFT : 0) | (sequence.meta ? MOD_WIN : 0);
    UINT key = windowsKey(sequence);
    if (key == 0 && sequence.key.size() == 1) {
        const SHORT scan = VkKeyScanW(static_cast<WCHAR>(sequence.key[0]));
        if (scan != -1) {
            key = LOBYTE(scan);
            modifiers |= (HIBYTE(scan) & 1) != 0 ? MOD_SHIFT : 0;
        }
    }
    return {key, modifiers};
}

// A message-only window of the registering thread, which WM_HOTKEY reaches
// through that thread's message loop.
class WindowsHotkey final : public Hotkey {
  public:
    explicit WindowsHotkey(std::function<void()> pressed) : pressed_(std::move(pressed)) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &WindowsHotkey::windowProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassW(&windowClass); // fails harmlessly when already registered
        window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
        if (window_ != nullptr) {
            SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        }
    }

    ~WindowsHotkey() override {
        if (window_ != nullptr) {
            UnregisterHotKey(window_, kHotkeyId);
            DestroyWindow(window_);
        }
    }

    // 0 when registered, else the system's error code.
    DWORD registerKey(UINT modifiers, UINT key) const {
        if (window_ == nullptr) {
            return GetLastError();
        }
        return RegisterHotKey(window_, kHotkeyId, modifiers | MOD_NOREPEAT, key) ? 0
                                                                                 : GetLastError();
    }

  private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
        auto* hotkey = reinterpret_cast<WindowsHotkey*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (hotkey != nullptr && message == WM_HOTKEY && wParam == kHotkeyId) {
            hotkey->pressed_();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    std::function<void()> pressed_;
    HWND window_ = nullptr;
};

} // namespace

bool hotkeysOffered() {
    return true;
}

std::unique_ptr<Hotkey> registerHotkey(const HotkeySequence& pSequence,
                                       std::function<void()> pPressed, HotkeyReported pReported) {
    const auto [key, modifiers] = keyAndModifiers(pSequence);
    if (key == 0) {
        pReported(HotkeyState::Invalid, "the keyboard has no such key");
        return nullptr;
    }
    auto hotkey = std::make_unique<WindowsHotkey>(std::move(pPressed));
    const DWORD error = hotkey->registerKey(modifiers, key);
    if (error == ERROR_HOTKEY_ALREADY_REGISTERED) {
        pReported(HotkeyState::Taken, "another program holds it");
        return nullptr;
    }
    if (error != 0) {
        pReported(HotkeyState::Unavailable, "Windows error " + std::to_string(error));
        return nullptr;
    }
    pReported(HotkeyState::Registered, "");
    return hotkey;
}

} // namespace zaptrove::platform
