// SPDX-License-Identifier: MIT
// The Netscape bookmark file scanner over any text.
#include "fuzz/fuzz_support.h"
#include "search/sources/netscape_reader.h"

using namespace zaptrove;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A name ends at the next tag, an address at its closing quote; only a
    // character reference can put a "<" or a quote into them.
    const bool references =
        std::string_view(reinterpret_cast<const char*>(data), size).find('&') != std::string::npos;
    for (const Bookmark& bookmark : fuzz::scanFuzzedFile(subScanNetscape, data, size)) {
        fuzz::require((references || (bookmark.Name.find('<') == std::string::npos &&
                                      bookmark.URL.find('"') == std::string::npos)) &&
                      !bookmark.IsShortcut);
    }
    return 0;
}
