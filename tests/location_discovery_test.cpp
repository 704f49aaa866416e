// SPDX-License-Identifier: MIT
#include "search/discovery/location_discovery.h"
#include "settings/registry_values.h"
#include "support/temp_folder.h"
#include "support/test_registry.h"

#include <gtest/gtest.h>

using namespace zaptrove;
using platform::RegistryRoot;
using test::TempFolder;

namespace {

constexpr std::string_view kUsers = "Software\\Netscape\\Netscape Navigator\\Users";

class Discovery : public ::testing::Test {
  protected:
    TempFolder tmp;
    test::TestRegistry registry;

    void setText(platform::RegistryRoot root, const std::string& path, std::string_view name,
                 const std::string& text) {
        subCreateKey(*registry, root, path);
        subSetValue(*registry, root, path, name, text, platform::RegistryType::String);
    }

    // A Netscape profile with the given "prefs.js" registered as the current user's.
    void installProfile(const std::string& dirRoot, const std::string& prefs) {
        tmp.write("profile/prefs.js", prefs);
        setText(RegistryRoot::LocalMachine, std::string(kUsers), "CurrentUser", "default");
        setText(RegistryRoot::LocalMachine, std::string(kUsers) + "\\default", "DirRoot", dirRoot);
    }
};

} // namespace

TEST(StripEscapes, DoubledEscapesBecomeOne) {
    EXPECT_EQ(fnStripEscapes("a\\\\b", "\\"), "a\\b");
    EXPECT_EQ(fnStripEscapes("\\\\\\\\srv\\\\x", "\\"), "\\\\srv\\x");
    EXPECT_EQ(fnStripEscapes("", "\\"), "");
    EXPECT_EQ(fnStripEscapes("a\\b", "\\"), "ab");
    EXPECT_EQ(fnStripEscapes("\\a", "\\"), "\\a"); // the first character is always kept
}

TEST_F(Discovery, FavoritesFolderComesFromShellFolders) {
#ifdef _WIN32
    // What Windows (here Wine's prefix) set up for the user.
    EXPECT_EQ(fnFindFavoritesFolder(*registry),
              std::string(getenv("USERPROFILE")) + "\\Favorites\\");
#else
    // A hive file knows a Favorites folder as Windows does: the home folder's.
    EXPECT_EQ(fnFindFavoritesFolder(*registry), std::string(getenv("HOME")) + "/Favorites\\");
#endif
    setText(RegistryRoot::CurrentUser,
            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Favorites",
            std::string(300, 'F')); // longer than any fixed buffer
    EXPECT_EQ(fnFindFavoritesFolder(*registry), std::string(300, 'F') + "\\");
}

// The current profile's "prefs.js" names the bookmark file, or the profile holds it; else none.
TEST_F(Discovery, NetscapeFileComesFromTheCurrentProfile) {
    EXPECT_EQ(fnFindNetscapeFile(*registry), NOT_FOUND);
    setText(RegistryRoot::LocalMachine, std::string(kUsers), "CurrentUser", "default");
    EXPECT_EQ(fnFindNetscapeFile(*registry), NOT_FOUND); // no DirRoot
    setText(RegistryRoot::LocalMachine, std::string(kUsers) + "\\default", "DirRoot",
            tmp / "nowhere");
    EXPECT_EQ(fnFindNetscapeFile(*registry), NOT_FOUND);
    for (const std::string& dirRoot : {tmp / "profile", tmp / "profile\\"}) {
        installProfile(dirRoot, "user_pref(\"browser.cache.disk\", 7);\n");
        EXPECT_EQ(fnFindNetscapeFile(*registry), tmp / "profile/bookmark.htm") << dirRoot;
    }

    // The first location key counts, its escapes stripped.
    const std::string line =
        "user_pref(\"browser.bookmark_location\", \"C:\\\\Program Files\\\\Netscape\\\\Users\\\\"
        "default\\\\bookmark.htm\");\n";
    installProfile(tmp / "profile",
                   line + "user_pref(\"browser.bookmark_location\", \"D:\\\\other.htm\");\n");
    const std::string named = "C:\\Program Files\\Netscape\\Users\\default\\bookmark.htm";
    EXPECT_EQ(fnFindNetscapeFile(*registry), named);

    EXPECT_EQ(fnBookmarkFileFromPrefs("P\\", std::string(40000, ' ') + line), named);
    EXPECT_EQ(fnBookmarkFileFromPrefs("P\\", "user_pref(\"browser.bookmark_location\", \"x"),
              NOT_FOUND);
    EXPECT_EQ(fnBookmarkFileFromPrefs("P\\", "\x01\x02\xff binary"), "P\\bookmark.htm");
}
