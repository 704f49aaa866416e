// SPDX-License-Identifier: MIT
#include "forms/win32/forms_impl.h"
#include "text/text.h"

#include <algorithm>

#include <commdlg.h>
#include <shlobj.h>

namespace zaptrove::platform::forms {

namespace {

// The text up to its first NUL.
std::string untilNul(const std::wstring& pBuffer) {
    const std::wstring text = pBuffer.substr(0, pBuffer.find(L'\0'));
    return utf16ToUtf8(reinterpret_cast<const char16_t*>(text.c_str()));
}

std::optional<std::string> chooseFolder(HWND pOwner, const std::wstring& pTitle) {
    BROWSEINFOW browse{};
    browse.hwndOwner = pOwner;
    browse.lpszTitle = pTitle.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (chosen == nullptr) {
        return std::nullopt;
    }
    std::wstring path(MAX_PATH, L'\0');
    const bool named = SHGetPathFromIDListW(chosen, path.data()) != FALSE;
    CoTaskMemFree(chosen);
    if (!named) {
        return std::nullopt;
    }
    return untilNul(path);
}

std::optional<std::string> chooseFile(HWND pOwner, const std::wstring& pTitle,
                                      const std::wstring& pStart) {
    std::wstring path = pStart;
    path.resize(std::max<std::size_t>(path.size() + 1, 32768), L'\0');
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = pOwner;
    open.lpstrFile = path.data();
    open.nMaxFile = static_cast<DWORD>(path.size());
    open.lpstrTitle = pTitle.c_str();
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (GetOpenFileNameW(&open) == FALSE) {
        return std::nullopt;
    }
    return untilNul(path);
}

} // namespace

std::optional<std::string> choosePath(const Form& pOwner, std::string_view pTitle,
                                      std::string_view pStart, bool pFolder) {
    const HWND owner = pOwner.impl().window;
    return pFolder ? chooseFolder(owner, toWide(pTitle))
                   : chooseFile(owner, toWide(pTitle), toWide(pStart));
}

} // namespace zaptrove::platform::forms
