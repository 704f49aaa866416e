// SPDX-License-Identifier: MIT
// The Chromium-family bookmarks file reader over any text.
#include "fuzz/fuzz_support.h"
#include "search/sources/chromium_reader.h"

#include <vector>

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
    // Nodes without a candidate for the term may be taken whole: the count
    // and the byte named for damage are those of a reading token by token.
    std::vector<Bookmark> all;
    const SourceReading byTokens =
        fnScanChromiumBookmarks(text, Matcher("", SearchMode::Both), all);
    fuzz::require(byTokens.BookmarkCount == reading.BookmarkCount &&
                  byTokens.Problem == reading.Problem);

    // With folder names searched, the reader keeps exactly the bookmarks that
    // match with their whole folder path, though it learns a folder's name
    // only after its bookmarks.
    const Matcher inFolders(query.term, matcher.mode(),
                            {.anyWordOrder = true, .folderWords = true});
    if (inFolders.searchesFolders()) {
        std::vector<Bookmark> kept;
        fnScanChromiumBookmarks(text, inFolders, kept);
        std::vector<Bookmark> every;
        fnScanChromiumBookmarks(text, Matcher("", SearchMode::Both), every);
        MatchScratch scratch;
        std::vector<bool> held;
        std::erase_if(every, [&](const Bookmark& bookmark) {
            inFolders.wordsIn(bookmark.Folder.text(), held, scratch);
            return !inFolders.matchesWithFolders(bookmark.Name, bookmark.URL, held, scratch);
        });
        fuzz::require(kept == every);
    }
    return 0;
}
