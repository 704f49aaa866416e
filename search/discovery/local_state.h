// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The profiles a Chromium-family "Local State" file lists.
namespace zaptrove {

struct LocalStateProfile {
    std::string folder; // the profile's folder name ("Default", "Profile 1")
    std::string name;   // the name the browser shows ("Person 1")
};

// The entries of profile.info_cache, in file order, leaving out keys that are
// no plain folder name; the folder name stands in for a missing name. Nothing
// for text that is not such a JSON document. The text streams through: only
// the profile list is kept.
std::vector<LocalStateProfile> fnReadLocalStateProfiles(std::string_view pJson);

// The same for the file at pPath, read in chunks; nothing when it cannot be read.
std::vector<LocalStateProfile> fnReadLocalStateFile(std::string_view pPath);

} // namespace zaptrove
