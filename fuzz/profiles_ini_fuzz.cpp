// SPDX-License-Identifier: MIT
// The reader of Firefox's profiles.ini.
#include "fuzz/fuzz_support.h"
#include "search/discovery/profiles_ini.h"

#include <algorithm>

using namespace zaptrove;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<ProfilesIniEntry> profiles = fnReadProfilesIni(text);
    // Every profile has a path taken from the text; there are fewer profiles than lines.
    fuzz::require(profiles.size() <=
                  static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    for (const ProfilesIniEntry& profile : profiles) {
        fuzz::require(!profile.Path.empty() && profile.Path.size() < size);
    }
    return 0;
}
