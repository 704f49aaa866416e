// SPDX-License-Identifier: MIT
// The Opera bookmark file scanner over any text.
#include "fuzz/fuzz_support.h"
#include "search/sources/opera_reader.h"

using namespace zaptrove;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const Bookmark& bookmark : fuzz::scanFuzzedFile(subScanOpera, data, size)) {
        // Names and addresses are single lines.
        fuzz::require(bookmark.Name.find('\n') == std::string::npos &&
                      bookmark.URL.find('\n') == std::string::npos && !bookmark.IsShortcut);
    }
    return 0;
}
