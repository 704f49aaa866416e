// SPDX-License-Identifier: MIT
#include "platform/separators.h"
#include "search/sources/locations.h"
#include "support/bookmark_lists.h"
#include "support/temp_folder.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

namespace fs = std::filesystem;
using namespace zaptrove;

class Realworld : public ::testing::Test {
  protected:
    void SetUp() override {
        if (root_.empty())
            GTEST_SKIP() << "the real-world sample folder is absent: " ZAPTROVE_REALWORLD_DIR;
    }
    // Everything a search for "" by name or address finds in the sample file.
    std::vector<Bookmark> readAll(LocationReader reader, const std::string& relative) const {
        return test::readWith(reader, root_ + relative);
    }
    const std::string root_ = test::realworldPath("");
};

// A search skipping nearly the whole file finds the last bookmark, in the folder it lives in.
TEST_F(Realworld, EveryBookmarkInEveryFileIsFound) {
    const std::tuple<std::string, LocationReader, std::regex> kinds[] = {
        {"netscape/", fnReadNetscape,
         std::regex("<DT><A HREF=\"(?!place:)")}, // saved queries left out
        {"opera/", fnReadOpera, std::regex("^[ \t]*#URL\r?$", std::regex::multiline)}};
    for (const auto& [folder, reader, entry] : kinds) {
        for (const auto& file : fs::directory_iterator(root_ + folder)) {
            const std::string bytes = test::readFile(file.path().string());
            const auto expected = std::distance(
                std::sregex_iterator(bytes.begin(), bytes.end(), entry), std::sregex_iterator());
            EXPECT_GT(expected, 0) << file.path();
            const std::vector<Bookmark> all =
                readAll(reader, folder + file.path().filename().string());
            EXPECT_EQ(all.size(), static_cast<std::size_t>(expected)) << file.path();
            ASSERT_FALSE(all.empty()) << file.path();
            const std::vector<Bookmark> found =
                test::readWith(reader, file.path().string(), platform::lowerCase(all.back().Name),
                               SearchMode::Name);
            EXPECT_NE(std::ranges::find(found, all.back()), found.end()) << file.path();
        }
    }
    EXPECT_EQ(readAll(fnReadNetscape, "netscape/netscape4-gtkbookmark.htm").size(), 1231u);
    EXPECT_EQ(readAll(fnReadOpera, "opera/opera-u-cjk.adr").size(), 829u);
}

// Names, addresses and folders come through reading as their tools wrote them: Cyrillic,
// Windows-1252, Windows line ends, shortcut files in every shape.
TEST_F(Realworld, NamesAddressesAndFoldersSurviveReading) {
    const std::string top = platform::folderPath(root_ + "url\\"); // as the walk names it
    const std::tuple<LocationReader, std::string, std::string, std::string, std::string> cases[] = {
        {fnReadNetscape, "netscape/safari-fr-folded.htm", "Wikipedia, the free encyclopedia",
         "https://en.wikipedia.org/wiki/Main_Page", "Misc/Wiki"},
        {fnReadNetscape, "netscape/chrome-cyrillic.html", "Лучшие публикации за сутки / Хабр",
         "https://habr.com/", "Bookmarks bar"},
        {fnReadNetscape, "netscape/netscape4-gtkbookmark.htm", "¤ archaic ruins ¤",
         "http://www.bpwl.com/ar/", "Computers (misc)/Emulators/Video Game Emulators"},
        {fnReadOpera, "opera/openmandriva-default.adr", "GNOME", "http://www.gnome.org/",
         "Community"},
        {fnReadFavorites, "url\\", top + "WEB-SLIC.URL",
         "http://go.microsoft.com/fwlink/?LinkId=121315", ""},
        {fnReadFavorites, "url\\", top + "engine-nine-trailing-space.url",
         "http://nine.codeplex.com", ""},
        {fnReadFavorites, "url\\", top + "bare-url-not-ini.url", NOT_FOUND, ""}};
    for (const auto& [reader, file, name, url, folder] : cases) {
        const std::vector<Bookmark> all = readAll(reader, file);
        const auto found = std::ranges::find(all, name, &Bookmark::Name);
        ASSERT_NE(found, all.end()) << name;
        EXPECT_EQ(found->URL, url) << name;
        EXPECT_EQ(found->Folder.text(), folder) << name;
    }
    for (const Bookmark& b : readAll(fnReadOpera, "opera/opera1150-win-crlf.adr"))
        EXPECT_FALSE(b.Name.ends_with('\r') || b.URL.ends_with('\r')) << b.Name;
    EXPECT_EQ(readAll(fnReadFavorites, "url\\").size(), 12u);
}
