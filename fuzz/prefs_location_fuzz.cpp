// SPDX-License-Identifier: MIT
// The reader of the bookmark file location in a Netscape "prefs.js".
#include "fuzz/fuzz_support.h"
#include "search/discovery/location_discovery.h"

using namespace zaptrove;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::string_view kProfile = "C:\\Profile\\";
    const std::string_view prefs(reinterpret_cast<const char*>(data), size);
    const std::string file = fnBookmarkFileFromPrefs(kProfile, prefs);
    // The file is the profile's default one, none, or a part of the text.
    fuzz::require(file == std::string(kProfile) + "bookmark.htm" || file == NOT_FOUND ||
                  file.size() < prefs.size());
    return 0;
}
