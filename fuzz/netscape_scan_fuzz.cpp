// SPDX-License-Identifier: MIT
// The Netscape bookmark file scanner over any text.
#include "fuzz/fuzz_support.h"
#include "search/netscape_reader.h"

using namespace zaptrove;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const Bookmark& bookmark : fuzz::scanFuzzedFile(subScanNetscape, data, size)) {
        // A name ends at the next tag, an address at its closing quote.
        fuzz::require(bookmark.Name.find('<') == std::string::npos &&
                      bookmark.URL.find('"') == std::string::npos && !bookmark.IsShortcut);
    }
    return 0;
}
