// SPDX-License-Identifier: MIT
#pragma once

#include "debug_log/debug_log.h"
#include "search/matching/matcher.h"
#include "search/records/bookmark.h"
#include "settings/settings.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include <string>
#include <string_view>
#include <vector>
#ifndef _WIN32
#include "support/child_process.h"
#endif

namespace zaptrove {

// A search mode in a test's message, by its number.
inline std::ostream& operator<<(std::ostream& out, SearchMode mode) {
    return out << static_cast<int>(mode);
}

// A bookmark in a test's message: name, address and folder path.
inline void PrintTo(const Bookmark& bookmark, std::ostream* out) {
    *out << bookmark.Name << "|" << bookmark.URL << "|" << bookmark.Folder.text();
}

} // namespace zaptrove

namespace zaptrove::test {

using List = std::vector<std::string>;

// Bookmarks as "name|address".
inline List listOf(const std::vector<Bookmark>& found) {
    List out;
    for (const Bookmark& b : found)
        out.push_back(b.Name + "|" + b.URL);
    return out;
}

// Bookmarks as "folder path|name".
inline List foldersOf(const std::vector<Bookmark>& found) {
    List out;
    for (const Bookmark& b : found)
        out.push_back(b.Folder.text() + "|" + b.Name);
    return out;
}

// Each bookmark a file scanner finds in the text, as "folder path|name".
template <typename Scanner>
List foldersWith(Scanner scanner, std::string_view text, std::string_view term = "") {
    const Matcher matcher(term, SearchMode::Both);
    std::vector<Bookmark> found;
    scanner(text, matcher, found);
    return foldersOf(found);
}

// Every bookmark a file or folder reader finds at path, with logging off.
template <typename Reader>
std::vector<Bookmark> readWith(Reader reader, const std::string& path, std::string_view term = "",
                               SearchMode mode = SearchMode::Both) {
    const Matcher matcher(term, mode);
    std::vector<Bookmark> found;
    reader(path, matcher, found, DebugLog::silent());
    return found;
}

#ifndef _WIN32
// Whether a file reader finds at path, matching "news" by name or address, the
// bookmarks expected ("name|address" with each text's length and last bytes in
// place of the text past its first 12 bytes, then why the file was read only
// in part), in a child whose peak memory grows by less than growthKiB.
template <typename Reader>
bool readsLongTexts(Reader reader, const std::string& path, const List& expected, long growthKiB) {
    const auto shortened = [](const std::string& text) {
        return text.size() <= 16 ? text
                                 : text.substr(0, 12) + "+" + std::to_string(text.size()) + "+" +
                                       text.substr(text.size() - 4);
    };
    const auto found = [&](const std::string& read) {
        const Matcher matcher("news", SearchMode::Both);
        std::vector<Bookmark> records;
        const SourceReading reading = reader(read, matcher, records, DebugLog::silent());
        List out;
        for (const Bookmark& bookmark : records)
            out.push_back(shortened(bookmark.Name) + "|" + shortened(bookmark.URL));
        out.push_back(reading.Problem);
        return out;
    };
    return inChildGrowingLessThan(growthKiB, [&] { return found(path) == expected; });
}
#endif

// Each bookmark a file scanner finds in the text, as "name|address".
template <typename Scanner>
List scanWith(Scanner scanner, std::string_view text, std::string_view term = "",
              SearchMode mode = SearchMode::Both, MatchRules rules = {}) {
    const Matcher matcher(term, mode, rules);
    std::vector<Bookmark> found;
    scanner(text, matcher, found);
    EXPECT_TRUE(std::ranges::none_of(found, &Bookmark::IsShortcut));
    return listOf(found);
}

// A scan for a term keeps exactly what a scan for everything keeps that matches it (words in
// any order, accents ignored too): skipping text changes nothing. Trailing blanks fill blocks.
template <typename Scanner>
void expectSkippingKeepsEveryMatch(Scanner scanner, std::string_view shortText) {
    const std::string text = std::string(shortText) + std::string(100, ' ');
    constexpr MatchRules kRules[] = {{}, {.anyWordOrder = true}, {.ignoreAccents = true}};
    for (const char* term : {"b", "x", "k", "\u00e4", "url", "a", "x b"}) {
        for (const SearchMode mode : {SearchMode::Name, SearchMode::Url, SearchMode::Both}) {
            for (const MatchRules& rules : kRules) {
                Matcher everything("", SearchMode::Both);
                Matcher matcher(term, mode, rules);
                std::vector<Bookmark> all;
                std::vector<Bookmark> found;
                scanner(text, everything, all);
                scanner(text, matcher, found);
                MatchScratch scratch;
                std::erase_if(all, [&](const Bookmark& b) {
                    return !matcher.matches(b.Name, b.URL, scratch);
                });
                EXPECT_EQ(found, all) << term << " by " << mode << " in " << text;
            }
        }
    }
}

} // namespace zaptrove::test
