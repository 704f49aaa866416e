// SPDX-License-Identifier: MIT
#include "search/discovery/browser_discovery.h"

#include "platform/files.h"
#include "platform/separators.h"
#include "search/discovery/browser_install_places.h"
#include "search/discovery/discovery_read_limit.h"
#include "search/discovery/local_state.h"
#include "search/discovery/profiles_ini.h"
#include "text/text.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <utility>

namespace zaptrove {

namespace {

using Layout = UserFolders::Layout;

constexpr std::string_view kPlaces = "places.sqlite";
constexpr std::string_view kBookmarks = "Bookmarks";
constexpr std::string_view kAccountBookmarks = "AccountBookmarks";
constexpr std::string_view kEncryptedPrefix = "EncryptedBookmarks";

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           platform::equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// A path below base, joined with the running system's separator: names read
// from the disk, profiles.ini and "Local State" keep their bytes, so on Linux a
// "\" stays in a name.
std::string join(std::string_view base, std::string_view relative) {
    std::string names(relative);
    std::replace_if(names.begin(), names.end(), platform::isSeparator, platform::kSeparator);
    return platform::pathIn(base, names);
}

bool isFolder(const std::string& path) {
    return !path.empty() && platform::folderIdentity(path).has_value();
}

std::string baseFolder(const UserFolders& folders, InstallPlace::Base base) {
    switch (base) {
    case InstallPlace::Base::ConfigHome:
        return folders.configHome;
    case InstallPlace::Base::AppData:
        return folders.appData;
    case InstallPlace::Base::LocalAppData:
        return folders.localAppData;
    case InstallPlace::Base::Home:
        break;
    }
    return folders.home;
}

// The existing folders a place's path leads to; a name ending in "*" takes
// every folder it starts, in listing order.
std::vector<std::string> expandPlace(const std::string& base, std::string_view relative) {
    std::vector<std::string> found;
    if (base.empty()) {
        return found;
    }
    const std::size_t star = relative.find('*');
    if (star == std::string_view::npos) {
        std::string path = join(base, relative);
        if (isFolder(path)) {
            found.push_back(std::move(path));
        }
        return found;
    }
    const std::size_t nameStart = relative.rfind('/', star) + 1; // npos + 1 is 0
    const std::string parent = join(base, relative.substr(0, nameStart));
    const std::string_view prefix = relative.substr(nameStart, star - nameStart);
    const std::string_view rest = relative.substr(std::min(star + 2, relative.size()));
    std::vector<platform::FolderEntry> entries;
    platform::listFolder(parent, entries);
    for (const platform::FolderEntry& entry : entries) {
        if (entry.isDirectory && startsWithIgnoringCase(entry.name, prefix)) {
            std::string path = join(join(parent, entry.name), rest);
            if (isFolder(path)) {
                found.push_back(std::move(path));
            }
        }
    }
    return found;
}

BrowserProfile profileOf(Browser browser, std::string install, std::string name,
                         std::string folder) {
    BrowserProfile profile;
    profile.browser = browser;
    profile.install = std::move(install);
    profile.name = std::move(name);
    profile.folder = std::move(folder);
    return profile;
}

// Fills in the bookmarks file of a profile folder, or why there is none; a
// profile found without one is read as it is (its browser may make the file
// while the program runs). True when the file is there.
bool locateBookmarksFile(BrowserProfile& profile) {
    std::vector<platform::FolderEntry> entries;
    platform::listFolder(profile.folder, entries);
    const auto has = [&](auto matches) {
        return std::any_of(entries.begin(), entries.end(), [&](const platform::FolderEntry& e) {
            return !e.isDirectory && matches(e.name);
        });
    };
    const std::string_view file = fnUsesPlaces(profile.browser) ? kPlaces : kBookmarks;
    profile.bookmarksFile = join(profile.folder, file);
    if (has([&](std::string_view name) { return name == file; })) {
        profile.problem.clear();
        return true;
    }
    if (!fnUsesPlaces(profile.browser) &&
        has([](std::string_view name) { return name.starts_with(kEncryptedPrefix); })) {
        profile.problem = "only an encrypted bookmarks file";
    } else if (profile.namedByUser) {
        profile.problem = "no " + std::string(file) + " file";
    }
    return false;
}

// The bookmarks of the account signed in to a Chromium-family profile, which
// the browser keeps beside the profile's own in a file of their own: one more
// source of that profile, when the file is there.
std::optional<BrowserProfile> accountBookmarksOf(const BrowserProfile& profile) {
    if (fnUsesPlaces(profile.browser)) {
        return std::nullopt;
    }
    std::vector<platform::FolderEntry> entries;
    platform::listFolder(profile.folder, entries);
    if (std::none_of(entries.begin(), entries.end(), [](const platform::FolderEntry& e) {
            return !e.isDirectory && e.name == kAccountBookmarks;
        })) {
        return std::nullopt;
    }
    BrowserProfile account = profile;
    account.name += " (account)";
    account.bookmarksFile = join(profile.folder, kAccountBookmarks);
    account.problem.clear();
    return account;
}

void sortByFolder(std::vector<BrowserProfile>& profiles) {
    std::stable_sort(profiles.begin(), profiles.end(),
                     [](const BrowserProfile& a, const BrowserProfile& b) {
                         return platform::precedesIgnoringAsciiCase(a.folder, b.folder);
                     });
}

std::vector<BrowserProfile> firefoxProfiles(const InstallPlace& place, const std::string& root) {
    std::vector<BrowserProfile> profiles;
    std::string ini;
    if (!platform::readWholeFile(join(root, "profiles.ini"), ini, kDiscoveryReadLimit)) {
        return profiles;
    }
    for (const ProfilesIniEntry& entry : fnReadProfilesIni(ini)) {
        BrowserProfile profile = profileOf(place.browser, std::string(place.label),
                                           entry.Name.empty() ? entry.Path : entry.Name,
                                           entry.IsRelative ? join(root, entry.Path) : entry.Path);
        profile.isDefault = entry.IsDefault;
        if (isFolder(profile.folder)) {
            profiles.push_back(std::move(profile));
        }
    }
    return profiles;
}

bool isProfileFolderName(std::string_view name) {
    if (name == "Default") {
        return true;
    }
    constexpr std::string_view kNumbered = "Profile ";
    return name.size() > kNumbered.size() && name.starts_with(kNumbered) &&
           std::all_of(name.begin() + kNumbered.size(), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// The profiles "Local State" names, else the "Default" and "Profile N" folders.
std::vector<std::pair<std::string, std::string>> chromiumProfileFolders(const std::string& root) {
    std::vector<std::pair<std::string, std::string>> folders;
    for (LocalStateProfile& named : fnReadLocalStateFile(join(root, "Local State"))) {
        folders.emplace_back(std::move(named.folder), std::move(named.name));
    }
    if (folders.empty()) {
        std::vector<platform::FolderEntry> entries;
        platform::listFolder(root, entries);
        for (const platform::FolderEntry& entry : entries) {
            if (entry.isDirectory && isProfileFolderName(entry.name)) {
                folders.emplace_back(entry.name, entry.name);
            }
        }
    }
    return folders;
}

std::vector<BrowserProfile> chromiumProfiles(const InstallPlace& place, const std::string& root) {
    std::vector<BrowserProfile> profiles;
    for (auto& [folder, name] : chromiumProfileFolders(root)) {
        BrowserProfile profile =
            profileOf(place.browser, std::string(place.label), std::move(name), join(root, folder));
        if (isFolder(profile.folder)) {
            profiles.push_back(std::move(profile));
        }
    }
    // Some installations (Opera) keep their one profile in the folder itself.
    BrowserProfile own = profileOf(place.browser, std::string(place.label), "Default", root);
    if (locateBookmarksFile(own)) {
        profiles.push_back(std::move(own));
    }
    return profiles;
}

// Remembers folders by identity; a folder that cannot be identified is never first.
class FirstVisits {
  public:
    bool isFirst(const std::string& folder) {
        const std::optional<platform::FolderIdentity> identity = platform::folderIdentity(folder);
        return identity && seen_.emplace(identity->device, identity->node).second;
    }

  private:
    std::set<std::pair<std::uint64_t, std::uint64_t>> seen_;
};

} // namespace

UserFolders fnCurrentUserFolders() {
    using platform::environmentValue;
    UserFolders folders;
#if defined(_WIN32)
    folders.layout = Layout::Windows;
    folders.home = environmentValue("USERPROFILE");
    folders.appData = environmentValue("APPDATA");
    folders.localAppData = environmentValue("LOCALAPPDATA");
#else
    folders.layout = Layout::Linux;
#if defined(__APPLE__)
    folders.layout = Layout::MacOS;
#endif
    folders.home = platform::userHomeFolder();
    folders.configHome = platform::xdgBaseFolder("XDG_CONFIG_HOME", ".config");
#endif
    return folders;
}

std::vector<BrowserProfile> fnProfilesAtPath(Browser pBrowser, const std::string& pPath) {
    BrowserProfile profile = profileOf(pBrowser,
                                       fnUsesPlaces(pBrowser) ? "Firefox, added by hand"
                                                              : "Chromium family, added by hand",
                                       pPath, pPath);
    profile.namedByUser = true;
    std::optional<BrowserProfile> account;
    if (isFolder(pPath) || pPath.empty()) {
        locateBookmarksFile(profile);
        account = accountBookmarksOf(profile);
    } else {
        // A file: the bookmarks themselves, whatever the folder holds beside them.
        profile.bookmarksFile = pPath;
        const std::size_t end = pPath.find_last_of(platform::kSeparators);
        profile.folder = end == std::string::npos ? std::string() : pPath.substr(0, end);
    }
    if (pPath.empty()) {
        profile.problem = "no location given";
    }
    std::vector<BrowserProfile> profiles{std::move(profile)};
    if (account) {
        profiles.push_back(std::move(*account));
    }
    return profiles;
}

std::vector<BrowserProfile> fnDiscoverBrowserProfiles(const UserFolders& pFolders) {
    std::vector<BrowserProfile> all;
    // Two paths can lead to one folder (a link, $XDG_CONFIG_HOME set to a folder
    // already listed, or two profiles.ini naming one profile): it is read once.
    FirstVisits roots;
    FirstVisits profileFolders;
    for (const InstallPlace& place : fnInstallPlaces(pFolders.layout)) {
        for (const std::string& root :
             expandPlace(baseFolder(pFolders, place.base), place.relative)) {
            if (!roots.isFirst(root)) {
                continue;
            }
            std::vector<BrowserProfile> profiles = fnUsesPlaces(place.browser)
                                                       ? firefoxProfiles(place, root)
                                                       : chromiumProfiles(place, root);
            sortByFolder(profiles);
            for (BrowserProfile& profile : profiles) {
                if (!profileFolders.isFirst(profile.folder)) {
                    continue;
                }
                if (profile.bookmarksFile.empty()) {
                    locateBookmarksFile(profile);
                }
                std::optional<BrowserProfile> account = accountBookmarksOf(profile);
                all.push_back(std::move(profile));
                if (account) {
                    all.push_back(std::move(*account));
                }
            }
        }
    }
    return all;
}

} // namespace zaptrove
