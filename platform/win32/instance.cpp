// SPDX-License-Identifier: MIT
#include "platform/instance.h"

#include "platform/instance_name.h"
#include "text/text.h"

#include <string>
#include <windows.h>

namespace zaptrove::platform {

namespace {

std::wstring wide(const std::string& text) {
    const std::u16string units = utf8ToUtf16(text);
    return std::wstring(units.begin(), units.end());
}

constexpr wchar_t kWindowClass[] = L"ZaptroveInstance";

// Held while the session's mutex is; a hidden top-level window of the
// thread that claimed it hears the message later starts broadcast.
class WindowClaim final : public InstanceClaim {
  public:
    WindowClaim(HANDLE mutex, UINT showMessage, std::function<void()> show)
        : mutex_(mutex), showMessage_(showMessage), show_(std::move(show)) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &WindowClaim::windowProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassW(&windowClass); // fails harmlessly when already registered
        window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
        if (window_ != nullptr) {
            SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        }
    }

    ~WindowClaim() override {
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }

  private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
        auto* claim = reinterpret_cast<WindowClaim*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (claim != nullptr && message == claim->showMessage_) {
            claim->show_();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HANDLE mutex_;
    UINT showMessage_;
    std::function<void()> show_;
    HWND window_ = nullptr;
};

} // namespace

std::unique_ptr<InstanceClaim> claimInstance(std::string_view pScope, std::function<void()> pShow) {
    const std::string name = instanceName(pScope);
    // "Local\" names the mutex within this user's logon session.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, wide("Local\\" + name).c_str());
    const UINT showMessage = RegisterWindowMessageW(wide(name + "-show").c_str());
    if (mutex == nullptr || showMessage == 0) {
        if (mutex != nullptr) {
            CloseHandle(mutex);
        }
        return std::make_unique<InstanceClaim>();
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        // This start holds the foreground; it lets the holder take it over.
        AllowSetForegroundWindow(ASFW_ANY);
        PostMessageW(HWND_BROADCAST, showMessage, 0, 0);
        return nullptr;
    }
    return std::make_unique<WindowClaim>(mutex, showMessage, std::move(pShow));
}

} // namespace zaptrove::platform
