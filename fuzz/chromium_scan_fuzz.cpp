// SPDX-License-Identifier: MIT
// The Chromium-family bookmarks file reader over any text.
#include "fuzz/fuzz_support.h"
#include "search/sources/chromium_reader.h"

using namespace zaptrove;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const fuzz::FuzzedQuery query(input);
    Matcher matcher = query.matcher();
    const std::string text = input.ConsumeRemainingBytesAsString();
    std::vector<Bookmark> found;
    const SourceReading reading = fnScanChromiumBookmarks(text, matcher, found);
    // Every bookmark kept was counted; a search for nothing keeps every one.
    fuzz::require(found.size() <= reading.BookmarkCount);
    fuzz::require(!query.term.empty() || query.function > FUNC_BOTH ||
                  found.size() == reading.BookmarkCount);
    for (const Bookmark& bookmark : found) {
        fuzz::require(!bookmark.IsShortcut);
    }
    return 0;
}
