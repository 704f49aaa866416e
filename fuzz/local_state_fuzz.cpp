// SPDX-License-Identifier: MIT
// The reader of the profile list in a Chromium-family "Local State".
#include "fuzz/fuzz_support.h"
#include "search/discovery/local_state.h"

using namespace zaptrove;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    // A name can be no longer than the text it was read from.
    for (const LocalStateProfile& profile : fnReadLocalStateProfiles(json)) {
        fuzz::require(profile.folder.size() < size && !profile.name.empty() &&
                      profile.name.size() < size);
    }
    return 0;
}
