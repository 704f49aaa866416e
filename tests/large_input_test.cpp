// SPDX-License-Identifier: MIT
// A 1 GB Netscape file and a Favorites tree of 200,000 shortcuts in one search.
// Gigabytes and minutes of work, so only `make test-large` runs it.
#include "debug_log/debug_log.h"
#include "search/search_run.h"
#include "support/fake_clock.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using namespace zaptrove;
using Lines = std::vector<std::string>;

// Latin-1 names make the file the costliest to read: its bytes and their UTF-8.
TEST(LargeInputs, AGigabyteFileAndATreeOf200000ShortcutsAreSearchedInTwiceTheFileSize) {
    test::TempFolder tmp;
    constexpr std::size_t kSize = 1024 * 1024 * 1024, kMB = 1024 * 1024;
    std::ofstream file(tmp / "bookmarks.htm", std::ios::binary);
    for (std::size_t i = 0, written = 0; written < kSize; ++i) {
        const std::string n = std::to_string(i);
        const std::string line = "<DT><A HREF=\"http://s" + n + "/\">" +
                                 (i % 10'000'000 == 3 ? "Needle Caf\xe9 " : "Site ") + n + "</A>\n";
        file << line;
        written += line.size();
        if (i < 200'000)
            tmp.write("Fav/" + std::to_string(i % 400) + "/" +
                          (i % 70'000 == 5 ? "Needle " : "Site ") + n + ".url",
                      "[InternetShortcut]\r\nURL=http://s" + n + "/\r\n");
    }
    file.close();
    Settings settings;
    settings.DoMSIE = settings.DoNetscape = DO_YES;
    settings.MSIEMain = tmp.asFolder() + "Fav\\";
    settings.NetscapeMain = tmp / "bookmarks.htm";
    settings.Sort = SORT_NAME;
    const test::FakeClock clock;
    const auto search = [&](std::string_view term) {
        return subSearch(term, settings, DebugLog(settings, clock)).Lines;
    };
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak memory starts again
    EXPECT_EQ(
        search("NEEDLE"),
        (Lines{"Needle 140005  -  http://s140005/", "Needle 5  -  http://s5/",
               "Needle 70005  -  http://s70005/", "Needle Café 10000003  -  http://s10000003/",
               "Needle Café 20000003  -  http://s20000003/", "Needle Café 3  -  http://s3/"}));
    settings.Function = FUNC_URL; // every shortcut file is opened
    EXPECT_EQ(search("/s123456/"),
              (Lines{"Site 123456  -  http://s123456/", "Site 123456  -  http://s123456/"}));
    const std::string status = test::readFile("/proc/self/status");
    const std::size_t peak = std::stoul(status.substr(status.find("VmHWM:") + 6)) * 1024;
    std::printf("peak memory %zu MB for a %zu MB file\n", peak / kMB, kSize / kMB);
    EXPECT_LE(peak, 2 * kSize + 64 * kMB);
}
