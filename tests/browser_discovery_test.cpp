// SPDX-License-Identifier: MIT
#include "platform/separators.h"
#include "search/discovery/browser_discovery.h"
#include "search/discovery/local_state.h"
#include "search/discovery/profiles_ini.h"
#include "search/scanning/json_events.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#ifndef _WIN32
#include "support/child_process.h"
#endif

using namespace zaptrove;
using Layout = UserFolders::Layout;
using test::TempFolder;
using Lines = std::vector<std::string>;

namespace {

constexpr std::string_view kIni =
    "[Profile1]\r\nName=fresh\r\nIsRelative=1\r\nPath=b.default\r\n"
    "Default=1\r\n\r\n[Profile0]\r\nName=used\r\nIsRelative=1\r\n"
    "Path=a.default-esr\r\n\r\n[General]\r\nVersion=2\r\n\r\n"
    "[Install3B6073811A6ABF12]\r\nDefault=a.default-esr\r\nLocked=1\r\n";

constexpr std::string_view kLocalState =
    R"({"browser":{"x":[1,2]},"profile":{"info_cache":{"Default":{"name":"Your Chromium"},)"
    R"("Profile 1":{"name":"Person \u00e9"},"Profile 7":{"avatar":"x"},"Profile 8":{"name":""}},)"
    R"("last_used":"Profile 1"}})";

class Discovery : public ::testing::Test {
  protected:
    TempFolder tmp;

    void firefoxRoot(const std::string& root, std::string_view ini) {
        tmp.write(root + "/profiles.ini", ini);
    }
    // One line per profile: install | name | folder below the home | default | problem.
    Lines found(const UserFolders& folders) const {
        Lines lines;
        for (const BrowserProfile& p : fnDiscoverBrowserProfiles(folders)) {
            std::string folder = p.folder.starts_with(tmp.path())
                                     ? p.folder.substr(tmp.path().size() + 1)
                                     : p.folder;
            std::replace(folder.begin(), folder.end(), platform::kSeparator, '/');
            EXPECT_TRUE(p.bookmarksFile.starts_with(p.folder)) << p.bookmarksFile;
            lines.push_back(p.install + " | " + p.name + " | " + folder +
                            (p.isDefault ? " | default" : "") +
                            (p.problem.empty() ? "" : " | " + p.problem));
        }
        return lines;
    }
};

} // namespace

// An install section's default wins over Default=1, unless it names no listed profile.
TEST(ProfilesIni, DefaultOneCountsWhenNoInstallNamesAListedProfile) {
    for (const std::string_view tail : {"", "[InstallX]\nDefault=gone\n"}) {
        const auto alone =
            fnReadProfilesIni("\xEF\xBB\xBF[Profile0]\nPath=/abs/p\nIsRelative=0\nDefault=1\n"
                              "[Profile1]\nName=no path\n" +
                              std::string(tail));
        ASSERT_EQ(alone.size(), 1u);
        EXPECT_EQ(std::tuple(alone[0].IsDefault, alone[0].IsRelative, alone[0].Path),
                  std::tuple(true, false, "/abs/p"));
    }
}

// 50,000 profiles, each named by an install section, are read in a moment.
TEST(ProfilesIni, ManyProfilesAndInstallsCostNoMoreThanTheirNumber) {
    std::string ini;
    for (int k = 0; k < 50'000; ++k) {
        const std::string path = "profile-" + std::to_string(k);
        ini += "[Profile" + std::to_string(k) + "]\nPath=" + path + "\n[Install" +
               std::to_string(k) + "]\nDefault=" + path + "\n";
    }
    const auto start = std::chrono::steady_clock::now();
    const auto profiles = fnReadProfilesIni(ini);
    // Comparing each with every install took seconds even in an optimised build.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_TRUE(profiles.size() == 50'000 && profiles.back().IsDefault);
}

TEST(LocalState, ListsTheInfoCacheProfilesWithTheirNames) {
    // The named ones are checked with discovery below; one without a name takes its folder's.
    const std::vector<LocalStateProfile> profiles = fnReadLocalStateProfiles(kLocalState);
    ASSERT_EQ(profiles.size(), 4u);
    EXPECT_EQ(profiles[2].folder + "=" + profiles[2].name, "Profile 7=Profile 7");
    EXPECT_EQ(profiles[3].folder + "=" + profiles[3].name, "Profile 8=Profile 8"); // an empty name
    for (const char* bad :
         {"", R"({"profile":)", "[1]", R"({"profile":{"info_cache":[]}})",
          R"({"profile":{"info_cache":{"":{},".":{},"..":{},"a/b":{},"C:x":{},"a\u0000b":{}}}})"}) {
        EXPECT_TRUE(fnReadLocalStateProfiles(bad).empty()) << bad;
    }
    EXPECT_TRUE(fnReadLocalStateProfiles(std::string(100000, '[')).empty());
    // A "\" separates on Windows; on Linux it is a byte of the folder's name.
    const auto backslashed = fnReadLocalStateProfiles(R"({"profile":{"info_cache":{"a\\b":{}}}})");
    EXPECT_EQ(backslashed.size() == 1 && backslashed[0].folder == "a\\b",
              platform::kSeparator == '/');
    EXPECT_EQ(backslashed.empty(), platform::kSeparator == '\\');
}

#ifndef _WIN32
// "Local State" streams through: huge values cost no memory of their size (in a child).
TEST(LocalState, MemoryDoesNotGrowWithTheFile) {
    const TempFolder tmp;
    constexpr std::size_t kHuge = 48 << 20;
    const std::string path = tmp / "Local State";
    std::ofstream(test::utf8Path(path), std::ios::binary)
        << R"({"browser": {"x": ")" << std::string(kHuge, 'x')
        << R"("}, "profile": {"info_cache": {"Default": {"name": ")" << std::string(kHuge, 'x')
        << R"("}, "Profile 1": {"name": "Person 1"}}}})";
    EXPECT_TRUE(test::inChildGrowingLessThan(16L * 1024, [&] {
        const std::vector<LocalStateProfile> profiles = fnReadLocalStateFile(path);
        return profiles.size() == 2 && profiles[0].name.size() == kMaxJsonStringBytes &&
               profiles[1].name == "Person 1";
    }));
}
#endif

TEST_F(Discovery, LinuxHomeWithXdgSnapAndFlatpakInstallations) {
    // Firefox in ~/.mozilla (absolute path), in XDG (install default, unused one), stale in snap.
    const std::string absolute = tmp.makeFolder("elsewhere/p.abs");
    tmp.write("elsewhere/p.abs/places.sqlite", "x");
    firefoxRoot(".mozilla/firefox", "[Profile0]\nName=abs\nIsRelative=0\nPath=" + absolute + "\n");
    firefoxRoot("cfg/mozilla/firefox", kIni);
    tmp.write("cfg/mozilla/firefox/a.default-esr/places.sqlite", "x");
    tmp.makeFolder("cfg/mozilla/firefox/b.default");
    firefoxRoot("snap/firefox/common/.mozilla/firefox", "[Profile0]\nName=gone\nPath=gone\n");
    // Chromium: an encrypted-only profile, one listed without a folder; Chrome's Flatpak by folder.
    tmp.write("cfg/chromium/Local State", kLocalState);
    tmp.write("cfg/chromium/Default/Bookmarks", "{}");
    tmp.write("cfg/chromium/Default/Bookmarks.bak", "{}");
    tmp.write("cfg/chromium/Default/AccountBookmarks", "{}"); // the signed-in account's
    tmp.write("cfg/chromium/Profile 1/EncryptedBookmarks2", "v10");
    const std::string chrome = ".var/app/com.google.Chrome/config/google-chrome/";
    tmp.write(chrome + "Profile 2/Bookmarks", "{}");
    tmp.write(chrome + "Default/Bookmarks", "{}");
    tmp.makeFolder(chrome + "System Profile");
    tmp.makeFolder(chrome + "Safe Browsing");
    // Opera keeps its profile in its own folder.
    tmp.write("cfg/opera/Bookmarks", "{}");

    const UserFolders home{Layout::Linux, tmp.path(), tmp / "cfg", {}, {}};
    EXPECT_EQ(
        found(home),
        (Lines{
            "Firefox | abs | elsewhere/p.abs",
            "Firefox | used | cfg/mozilla/firefox/a.default-esr | default",
            "Firefox | fresh | cfg/mozilla/firefox/b.default",
            "Chrome (Flatpak) | Default | " + chrome + "Default",
            "Chrome (Flatpak) | Profile 2 | " + chrome + "Profile 2",
            "Chromium | Your Chromium | cfg/chromium/Default",
            "Chromium | Your Chromium (account) | cfg/chromium/Default",
            "Chromium | Person \xC3\xA9 | cfg/chromium/Profile 1 | only an encrypted bookmarks "
            "file",
            "Opera | Default | cfg/opera",
        }));
}

#ifndef _WIN32
// On Linux a "\" belongs to a profile folder's name, not the old "/" mapping's folder.
TEST_F(Discovery, ABackslashInALinuxProfileFolderNameIsKept) {
    firefoxRoot(".mozilla/firefox", "[Profile0]\nName=mine\nIsRelative=1\nPath=ab12.my\\prof\n"
                                    "[Profile1]\nName=elsewhere\nIsRelative=0\nPath=" +
                                        tmp / "x\\prof" + "\n");
    for (const char* folder : {".mozilla/firefox/ab12.my", "x"}) {
        tmp.write(folder + std::string("\\prof/places.sqlite"), "");
        tmp.write(folder + std::string("/prof/places.sqlite"), "");
    }
    EXPECT_EQ(found(UserFolders{Layout::Linux, tmp.path(), {}, {}, {}}),
              (Lines{"Firefox | mine | .mozilla/firefox/ab12.my\\prof",
                     "Firefox | elsewhere | x\\prof"}));
}
#endif

TEST_F(Discovery, APlaceReachedTwiceIsListedOnce) {
    firefoxRoot(".var/app/org.mozilla.firefox/config/mozilla/firefox", kIni);
    tmp.write(".var/app/org.mozilla.firefox/config/mozilla/firefox/a.default-esr/places.sqlite",
              "");
    // Another profiles.ini names one profile folder twice, relative and absolute.
    const std::string twice = tmp.makeFolder(".mozilla/firefox/p");
    firefoxRoot(".mozilla/firefox", "[Profile0]\nPath=p\n[Profile1]\nIsRelative=0\nPath=" + twice);
    const UserFolders home{
        Layout::Linux, tmp.path(), tmp / ".var/app/org.mozilla.firefox/config", {}, {}};
    EXPECT_EQ(found(home).size(), 2u);
    EXPECT_TRUE(found(UserFolders{Layout::Linux, {}, {}, {}, {}}).empty());
}

TEST_F(Discovery, WindowsProfileFoldersIncludingTheStoreInstall) {
    firefoxRoot("Roaming/Mozilla/Firefox", "[Profile0]\nName=default-release\nIsRelative=1\n"
                                           "Path=Profiles/x.default-release\nDefault=1\n");
    tmp.write("Roaming/Mozilla/Firefox/Profiles/x.default-release/places.sqlite", "");
    const std::string store = "Local/Packages/Mozilla.Firefox_n80bbvh6b1yt2/LocalCache/Roaming/"
                              "Mozilla/Firefox";
    firefoxRoot(store, "[Profile0]\nName=store\nPath=Profiles/s.default\n");
    tmp.write(store + "/Profiles/s.default/places.sqlite", "");
    tmp.write("Local/Microsoft/Edge/User Data/Default/Bookmarks", "{}");
    tmp.write("Local/Microsoft/Edge/User Data/Guest Profile/Bookmarks", "{}");
    tmp.write("Local/Google/Chrome SxS/User Data/Profile 3/Bookmarks", "{}");
    tmp.write("Roaming/Opera Software/Opera Stable/Default/Bookmarks", "{}");

    const UserFolders home{Layout::Windows, tmp / "home", {}, tmp / "Roaming", tmp / "Local"};
    EXPECT_EQ(found(home),
              (Lines{
                  "Firefox | default-release | Roaming/Mozilla/Firefox/Profiles/x.default-release "
                  "| default",
                  "Firefox (Store) | store | " + store + "/Profiles/s.default",
                  "Chrome Canary | Profile 3 | Local/Google/Chrome SxS/User Data/Profile 3",
                  "Edge | Default | Local/Microsoft/Edge/User Data/Default",
                  "Opera | Default | Roaming/Opera Software/Opera Stable/Default",
              }));
}

TEST_F(Discovery, MacOSApplicationSupport) {
    const std::string support = "Library/Application Support/";
    firefoxRoot(support + "Firefox", "[Profile0]\nName=m\nPath=Profiles/m.default\n");
    tmp.write(support + "Firefox/Profiles/m.default/places.sqlite", "");
    tmp.write(support + "BraveSoftware/Brave-Browser/Default/Bookmarks", "{}");
    tmp.write(support + "Vivaldi/Default/Bookmarks", "{}");
    EXPECT_EQ(found(UserFolders{Layout::MacOS, tmp.path(), {}, {}, {}}),
              (Lines{
                  "Firefox | m | " + support + "Firefox/Profiles/m.default",
                  "Brave | Default | " + support + "BraveSoftware/Brave-Browser/Default",
                  "Vivaldi | Default | " + support + "Vivaldi/Default",
              }));
}
