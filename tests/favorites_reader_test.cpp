// SPDX-License-Identifier: MIT
#include "search/sources/favorites_reader.h"
#include "support/bookmark_lists.h"
#include "support/temp_folder.h"
#include "support/utf16_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;
using namespace zaptrove;
using namespace std::string_literals;
using test::List;

namespace {

const char* const kShortcut = "[InternetShortcut]\r\nURL=http://example.org/page\r\n";
const std::string kUrl = "|http://example.org/page";

// Each favorite found as "name|address".
List find(const std::string& folder, const std::string& term = "",
          SearchMode mode = SearchMode::Both) {
    const std::vector<Bookmark> found = test::readWith(fnReadFavorites, folder, term, mode);
    EXPECT_TRUE(std::ranges::all_of(found, &Bookmark::IsShortcut));
    return test::listOf(found);
}

} // namespace

TEST(FavoritesReader, WalksBreadthFirstTakingVisibleShortcutsOnlyWithTheirFolders) {
    test::TempFolder tmp;
    for (const char* file : {"zz.url", "A/a.url", "A/Deep/d.URL", "Sub/b.url", "aa.Url",
                             "x.url/in.url", "notes.txt", "url", ".h.url", ".hid/h.url"}) {
        tmp.write(file, kShortcut);
    }
#ifdef _WIN32
    // A leading dot hides nothing on Windows: the attribute does.
    test::attrib("+h", tmp / ".h.url");
    test::attrib("+h", tmp / ".hid");
#endif
    const std::string t = tmp.asFolder();
    // A folder named like a favorite is taken as one, and not entered.
    EXPECT_EQ(find(t), (List{tmp / "aa.Url" + kUrl, tmp / "x.url|<not found>",
                             tmp / "zz.url" + kUrl, tmp / "A/a.url" + kUrl,
                             tmp / "Sub/b.url" + kUrl, tmp / "A/Deep/d.URL" + kUrl}));
    // Each knows its folder below the Favorites folder, by name and by address alike.
    for (const SearchMode mode : {SearchMode::Name, SearchMode::Url}) {
        List folders;
        for (const Bookmark& b :
             test::readWith(fnReadFavorites, t, mode == SearchMode::Name ? "" : "example", mode))
            folders.push_back(b.Folder.text());
        EXPECT_EQ(folders, (mode == SearchMode::Name ? List{"", "", "", "A", "Sub", "A/Deep"}
                                                     : List{"", "", "A", "Sub", "A/Deep"}));
    }
}

TEST(FavoritesReader, MatchesByStemOrAddressPerMode) {
    test::TempFolder tmp;
    tmp.write("Foo.URL", kShortcut);
    tmp.write("garbage.url", std::string("\0\xff\xfe junk", 8)); // never opened by a name search
    tmp.write("Ärger Grüße 漢字 😀.url", "[InternetShortcut]\r\nURL=http://gruesse/\r\n");
    const std::string foo = tmp / "Foo.URL", junk = tmp / "garbage.url",
                      greeting = tmp / "Ärger Grüße 漢字 😀.url";
    // clang-format off
    const std::tuple<std::string, SearchMode, List> cases[] = {
        {"foo", SearchMode::Name, {foo + "|"}},     {"garbage", SearchMode::Name, {junk + "|"}},
        {"url", SearchMode::Name, {}},              {"example", SearchMode::Name, {}},
        {"example", SearchMode::Url, {foo + kUrl}}, {"/page", SearchMode::Both, {foo + kUrl}},
        {"garbage", SearchMode::Both, {junk + "|<not found>"}},
        {"ärger grüße 漢字 😀", SearchMode::Both, {greeting + "|http://gruesse/"}}, // lower-cased
        {"", SearchMode::Nothing, {}}};
    // clang-format on
    for (const auto& [term, mode, expected] : cases)
        EXPECT_EQ(find(tmp.asFolder(), term, mode), expected) << term << " mode " << mode;
}

TEST(FavoritesReader, UrlFromText) {
    const std::pair<std::string, std::string> cases[] = {
        {"[InternetShortcut]\r\nURL=http://a/\r\nIDList=\r\n", "http://a/"},
        {"[InternetShortcut]\nURL=http://a/\nIDList=\n", "http://a/"},
        {"URL=http://first-line/\n", NOT_FOUND},
        {"[X]\nBASEURL=http://base/\n", NOT_FOUND},
        {"[X]\nBASEURL=http://base/\nURL=http://real/\n", "http://real/"},
        {"[X]\r\nURL=http://last line", "http://last line"},
        {"[X]\r\nURL=\r\nIDList=\r\n", ""},
        {"", NOT_FOUND},
    };
    for (const auto& [text, url] : cases)
        EXPECT_EQ(fnUrlFromText(text), url) << text;
}

// UTF-16 with its mark, as Windows writes some; else the address line picks UTF-8 or Windows-1252.
TEST(FavoritesReader, ShortcutsInEveryEncodingGiveTheirAddress) {
    const std::string address = "http://z\u00fcrich.example/\U0001F600";
    const std::string text = "[InternetShortcut]\r\nURL=" + address + "\r\n";
    test::TempFolder tmp;
    const std::pair<std::string, std::string> cases[] = {
        {tmp.write("le.url", test::utf16File(text, platform::ByteOrder::LittleEndian)), address},
        {tmp.write("be.url", test::utf16File(text, platform::ByteOrder::BigEndian)), address},
        {tmp.write("odd.url", test::utf16File(text, platform::ByteOrder::BigEndian) + "\n"),
         address},
        {tmp.write("mixed.url", "[X]\r\nTitle=Gr\xFC\xDFx\r\nURL=" + address + "\r\n"), address},
        {tmp.write("legacy.url", "[X]\r\nTitle=Gr\xC3\xBC\r\nURL=http://z\xFCrich/\r\n"),
         "http://z\u00fcrich/"},
    };
    for (const auto& [path, url] : cases)
        EXPECT_EQ(fnUrlFromFile(path), url) << path;
    EXPECT_EQ(find(tmp.asFolder(), "z\u00fcrich", SearchMode::Url).size(), std::size(cases));
}

TEST(FavoritesReader, LinkLoopsDeepTreesAndOddPathsNeitherHangNorCrash) {
    test::TempFolder tmp;
    const std::string t = tmp.asFolder(), file = tmp.write("top.url", kShortcut);
    tmp.write("A/a.url", kShortcut);
#ifndef _WIN32
    // One link back to the top: without the guard the walk goes round until the
    // system's limit on links in a path (40) and finds every favorite again.
    fs::create_directory_symlink(tmp.path(), tmp / "A/up");
    fs::create_symlink(tmp / "nowhere.url", tmp / "dangling.url");
    fs::create_directory_symlink(tmp / "nowhere", tmp / "deadDir");
#endif
    EXPECT_EQ(find(t), (List{file + kUrl, tmp / "A/a.url" + kUrl}));

    for (const std::string& path : {file, file + "\\", ""s, "\\"s, NOT_FOUND + ""s, t + "none\\"})
        EXPECT_EQ(find(path), List{}) << path;
    std::string deep; // 100 levels on Windows, whose paths end at 260 characters; 500 elsewhere
    while (deep.size() < (fs::path::preferred_separator == '\\' ? 200u : 1000u))
        deep += "d/";
    tmp.write(deep + "bottom.url", kShortcut);
    EXPECT_EQ(find(t, "bottom").size(), 1u);
}
