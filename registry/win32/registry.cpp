// SPDX-License-Identifier: MIT
#include "registry/registry.h"

#include "text/text.h"

#include <cstring>
#include <windows.h>

namespace zaptrove::platform {

namespace {

std::wstring wide(std::string_view text) {
    const std::u16string units = utf8ToUtf16(text);
    return std::wstring(units.begin(), units.end());
}

HKEY toKey(KeyHandle key) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(key));
}

KeyHandle toHandle(HKEY key) {
    return static_cast<KeyHandle>(reinterpret_cast<std::intptr_t>(key));
}

HKEY toRoot(RegistryRoot root) {
    return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(static_cast<std::int32_t>(root)));
}

// The real registry through the wide-character functions, so every text reads
// back unchanged.
class WindowsRegistry final : public Registry {
  public:
    // Keys a user may only read (the browsers' keys under HKEY_LOCAL_MACHINE for
    // anyone but an administrator) open for reading.
    KeyHandle openKey(RegistryRoot root, std::string_view path) override {
        const std::wstring keyPath = wide(path);
        HKEY key = nullptr;
        LONG result = RegOpenKeyExW(toRoot(root), keyPath.c_str(), 0, KEY_READ | KEY_WRITE, &key);
        if (result == ERROR_ACCESS_DENIED) {
            result = RegOpenKeyExW(toRoot(root), keyPath.c_str(), 0, KEY_READ, &key);
        }
        return result == ERROR_SUCCESS ? toHandle(key) : 0;
    }

    KeyHandle createKey(RegistryRoot root, std::string_view path) override {
        HKEY key = nullptr;
        return RegCreateKeyExW(toRoot(root), wide(path).c_str(), 0, nullptr, 0,
                               KEY_READ | KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS
                   ? toHandle(key)
                   : 0;
    }

    std::int32_t queryValue(KeyHandle key, std::string_view name, RegistryValue& value) override {
        const std::wstring valueName = wide(name);
        DWORD type = 0;
        DWORD size = 0;
        LONG result =
            RegQueryValueExW(toKey(key), valueName.c_str(), nullptr, &type, nullptr, &size);
        if (result != ERROR_SUCCESS) {
            return result;
        }
        std::vector<BYTE> bytes(size + sizeof(wchar_t));
        result =
            RegQueryValueExW(toKey(key), valueName.c_str(), nullptr, &type, bytes.data(), &size);
        if (result != ERROR_SUCCESS) {
            return result;
        }
        value = RegistryValue{};
        value.type = type;
        if (type == REG_SZ) {
            std::u16string units(size / 2, u'\0');
            std::memcpy(units.data(), bytes.data(), units.size() * 2);
            while (!units.empty() && units.back() == u'\0') {
                units.pop_back();
            }
            value.text = utf16ToUtf8(units);
        } else if (type == REG_DWORD && size == 4) {
            std::memcpy(&value.number, bytes.data(), 4);
        } else {
            value.data.assign(bytes.begin(), bytes.begin() + size);
        }
        return 0;
    }

    std::int32_t setValue(KeyHandle key, std::string_view name,
                          const RegistryValue& value) override {
        const std::wstring valueName = wide(name);
        if (value.type == RegistryType::String) {
            const std::wstring text = wide(value.text);
            return RegSetValueExW(toKey(key), valueName.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        }
        if (value.type == RegistryType::Dword) {
            return RegSetValueExW(toKey(key), valueName.c_str(), 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&value.number), 4);
        }
        return RegSetValueExW(toKey(key), valueName.c_str(), 0, value.type, value.data.data(),
                              static_cast<DWORD>(value.data.size()));
    }

    void deleteValue(KeyHandle key, std::string_view name) override {
        RegDeleteValueW(toKey(key), wide(name).c_str());
    }

    void deleteKey(RegistryRoot root, std::string_view path) override {
        RegDeleteKeyW(toRoot(root), wide(path).c_str());
    }

    void closeKey(KeyHandle key) override {
        if (key != 0) {
            RegCloseKey(toKey(key));
        }
    }
};

} // namespace

std::unique_ptr<Registry> openUserRegistry(std::string_view) {
    return std::make_unique<WindowsRegistry>();
}

bool registryIsHiveFile() {
    return false;
}

} // namespace zaptrove::platform
