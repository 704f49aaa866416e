// SPDX-License-Identifier: MIT
// The address reader of ".url" shortcut files over any text.
#include "fuzz/fuzz_support.h"
#include "search/sources/favorites_reader.h"

using namespace zaptrove;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string url = fnUrlFromText(text);
    // Either nothing was found or the address is one line taken from the text.
    fuzz::require(url == NOT_FOUND ||
                  (url.find('\n') == std::string::npos && text.find(url) != text.npos));
    return 0;
}
