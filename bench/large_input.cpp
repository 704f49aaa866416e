// SPDX-License-Identifier: MIT
// zaptrove-large-input: a 1 GB Netscape file and a Favorites tree of 200,000
// shortcuts in one search, checking what is found and the peak memory.
//
//     zaptrove-large-input WORK_FOLDER
//
// Gigabytes and minutes of work, so only `make test-large` runs it. The files
// are made in WORK_FOLDER and removed at the end; the exit status is 1 when a
// result or the memory is not what it should be.

#include "debug_log/debug_log.h"
#include "platform/clock.h"
#include "search/run/search_run.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace zaptrove;
using Lines = std::vector<std::string>;

namespace {

constexpr std::size_t kSize = 1024 * 1024 * 1024, kMiB = 1024 * 1024;
// The file is read through a small buffer, so no search needs more, whatever its size.
constexpr std::size_t kMemoryLimit = 64 * kMiB;

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A few Latin-1 names among ASCII ones: those entries alone are read as
// Windows-1252.
void makeCollections(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    std::ofstream file(folder / "bookmarks.htm", std::ios::binary);
    for (std::size_t i = 0, written = 0; written < kSize; ++i) {
        const std::string n = std::to_string(i);
        const std::string line = "<DT><A HREF=\"http://s" + n + "/\">" +
                                 (i % 10'000'000 == 3 ? "Needle Caf\xe9 " : "Site ") + n + "</A>\n";
        file << line;
        written += line.size();
        if (i < 200'000)
            writeFile(folder / "Fav" / std::to_string(i % 400) /
                          ((i % 70'000 == 5 ? "Needle " : "Site ") + n + ".url"),
                      "[InternetShortcut]\r\nURL=http://s" + n + "/\r\n");
    }
}

std::size_t peakMemory() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::stoul(line.substr(6)) * 1024;
    return 0;
}

bool expect(const Lines& found, const Lines& wanted, const char* what) {
    if (found == wanted)
        return true;
    std::cerr << what << ": found " << found.size() << " lines:\n";
    for (const std::string& line : found)
        std::cerr << "  " << line << '\n';
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: zaptrove-large-input WORK_FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::absolute(argv[1]);
    std::filesystem::remove_all(folder);
    makeCollections(folder);
    Settings settings;
    settings.DoMSIE = settings.DoNetscape = DO_YES;
    settings.MSIEMain = folder.string() + "/Fav\\";
    settings.NetscapeMain = (folder / "bookmarks.htm").string();
    settings.Sort = SORT_NAME;
    const auto search = [&](std::string_view term) {
        return subSearch(fnSearchRequest(term, settings), DebugLog::silent()).Lines;
    };
    // Each search from a fresh peak, which must stay under the limit.
    const auto check = [&](std::string_view term, const Lines& wanted, const char* what) {
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak memory starts again
        const bool found = expect(search(term), wanted, what);
        const std::size_t peak = peakMemory();
        std::printf("%s: peak memory %zu MiB for a %zu MiB file (at most %zu MiB)\n", what,
                    peak / kMiB, kSize / kMiB, kMemoryLimit / kMiB);
        return found && peak < kMemoryLimit;
    };
    bool passed = check("found nowhere", {}, "a word found nowhere");
    passed &=
        check("NEEDLE",
              {"Needle 140005  -  http://s140005/", "Needle 5  -  http://s5/",
               "Needle 70005  -  http://s70005/", "Needle Café 10000003  -  http://s10000003/",
               "Needle Café 20000003  -  http://s20000003/", "Needle Café 3  -  http://s3/"},
              "a name search");
    settings.Function = FUNC_URL; // every shortcut file is opened
    passed &=
        check("/s123456/", {"Site 123456  -  http://s123456/", "Site 123456  -  http://s123456/"},
              "an address search");
    std::filesystem::remove_all(folder);
    std::puts(passed ? "large inputs passed" : "large inputs FAILED");
    return passed ? 0 : 1;
}
