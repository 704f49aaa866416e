// SPDX-License-Identifier: MIT
// The resources built into the Windows programs, read back as Windows reads
// them: the version Explorer shows, and the icon in each size it asks for.
#include "platform/files.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

namespace {

// The resource types, as the wide functions take them.
const LPCWSTR kIconImage = MAKEINTRESOURCEW(3);  // RT_ICON
const LPCWSTR kIconGroup = MAKEINTRESOURCEW(14); // RT_GROUP_ICON
const LPCWSTR kManifest = MAKEINTRESOURCEW(24);  // RT_MANIFEST

std::wstring wide(std::string_view pText) {
    const std::u16string units = zaptrove::platform::utf8ToUtf16(pText);
    return {units.begin(), units.end()};
}

// A program of the build folder, one above the tests.
std::wstring programPath(const char* pName) {
    return wide(zaptrove::platform::nativePath(zaptrove::platform::programFolder() + "/../" +
                                               pName + ".exe"));
}

std::string versionText(const std::wstring& pProgram, const wchar_t* pName) {
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(pProgram.c_str(), &ignored));
    if (info.empty() ||
        !GetFileVersionInfoW(pProgram.c_str(), 0, static_cast<DWORD>(info.size()), info.data()))
        return "no version resource";
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + pName;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0)
        return "no value";
    const std::wstring text(static_cast<const wchar_t*>(value));
    return zaptrove::platform::utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// A program loaded for its resources only.
struct Resources {
    explicit Resources(const std::wstring& pProgram)
        : module(LoadLibraryExW(pProgram.c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~Resources() { FreeLibrary(module); }
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;

    std::string_view bytes(LPCWSTR pName, LPCWSTR pType) const {
        HRSRC found = FindResourceW(module, pName, pType);
        if (found == nullptr)
            return {};
        return {static_cast<const char*>(LockResource(LoadResource(module, found))),
                SizeofResource(module, found)};
    }

    HMODULE module;
};

} // namespace

TEST(Resources, EachProgramCarriesTheProjectVersion) {
    for (const char* name : {"zaptrove", "zaptrove-find"}) {
        const std::wstring program = programPath(name);
        EXPECT_EQ(versionText(program, L"ProductVersion"), ZAPTROVE_VERSION) << name;
        EXPECT_EQ(versionText(program, L"OriginalFilename"), std::string(name) + ".exe");
    }
}

TEST(Resources, TheWindowProgramHasItsIconInThreeSizesAndItsManifest) {
    const Resources program(programPath("zaptrove"));
    ASSERT_NE(program.module, nullptr);
    const std::string_view group = program.bytes(MAKEINTRESOURCEW(1), kIconGroup);
    ASSERT_FALSE(group.empty());
    for (const int size : {16, 32, 48}) {
        const int id = LookupIconIdFromDirectoryEx(
            reinterpret_cast<PBYTE>(const_cast<char*>(group.data())), TRUE, size, size, 0);
        std::string_view image = program.bytes(MAKEINTRESOURCEW(id), kIconImage);
        ASSERT_FALSE(image.empty()) << size;
        HICON icon =
            CreateIconFromResourceEx(reinterpret_cast<PBYTE>(const_cast<char*>(image.data())),
                                     static_cast<DWORD>(image.size()), TRUE, 0x00030000, 0, 0, 0);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        BITMAP bitmap{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    const std::string_view manifest = program.bytes(MAKEINTRESOURCEW(1), kManifest);
    for (const char* wanted : {"Microsoft.Windows.Common-Controls", "PerMonitorV2"})
        EXPECT_NE(manifest.find(wanted), std::string_view::npos) << wanted;
}
