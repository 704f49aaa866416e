// SPDX-License-Identifier: MIT
#include "settings/registry_values.h"
#include "support/test_registry.h"
#include "text/text.h"

#include <windows.h>

namespace zaptrove::test {

namespace {

// The user's Favorites folder, which discovery tests change.
const wchar_t* const kShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::wstring wide(std::string_view text) {
    const std::u16string units = platform::utf8ToUtf16(text);
    return {units.begin(), units.end()};
}

std::string narrow(std::wstring_view text) {
    return platform::utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

} // namespace

TestRegistry::TestRegistry() : registry_(platform::openUserRegistry()) {
    wchar_t favorites[32768];
    DWORD size = sizeof favorites;
    if (RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"Favorites", RRF_RT_REG_SZ, nullptr,
                     favorites, &size) == ERROR_SUCCESS) {
        savedFavorites_ = narrow(favorites);
    }
    clearTestKeys();
}

TestRegistry::~TestRegistry() {
    clearTestKeys();
    if (savedFavorites_.empty()) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Favorites");
    } else {
        const std::wstring favorites = wide(savedFavorites_);
        RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Favorites", REG_SZ, favorites.c_str(),
                        static_cast<DWORD>((favorites.size() + 1) * sizeof(wchar_t)));
    }
}

void TestRegistry::clearTestKeys() {
    RegDeleteTreeW(HKEY_CURRENT_USER, wide(SettingsKey).c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Netscape");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Clients\\StartMenuInternet\\Chromium");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Clients\\StartMenuInternet\\Google Chrome");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths");
}

std::vector<std::string> TestRegistry::settingsValueNames() const {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(SettingsKey).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return names;
    }
    wchar_t name[16384];
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.push_back(narrow({name, length}));
    }
    RegCloseKey(key);
    return names;
}

std::vector<std::string> TestRegistry::findArguments() const {
    return {};
}

} // namespace zaptrove::test
