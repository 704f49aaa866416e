// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Firefox's list of profiles, "profiles.ini" in its profiles folder.
namespace zaptrove {

struct ProfilesIniEntry {
    std::string Name;
    std::string Path; // as written: relative to the profiles folder unless IsRelative=0
    bool IsRelative = true;
    bool IsDefault = false; // the profile Firefox starts with
};

// Every [Profile...] section with a Path, in file order. The default is the
// profile an [Install...] section names, else the one marked Default=1: a fresh
// account often marks an empty, never-used profile Default=1 while the install
// section names the one in use.
std::vector<ProfilesIniEntry> fnReadProfilesIni(std::string_view pText);

} // namespace zaptrove
