// SPDX-License-Identifier: MIT
// The Chromium-family History reader over any file, for a few rows, two of
// them with one address.
#include "fuzz/fuzz_support.h"
#include "search/sources/chromium_history.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace zaptrove;
namespace fs = std::filesystem;

namespace {

// The file each input is written to, removed at the end of the fuzzing run.
struct ScratchFile {
    std::string path =
        (fs::temp_directory_path() / ("zaptrove-fuzz-History-" + std::to_string(getpid())))
            .string();
    ~ScratchFile() {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch;
    const std::string& history = scratch.path;
    std::ofstream(history, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::vector<Bookmark> rows(4);
    rows[0].URL = rows[1].URL = "https://a/";
    rows[2].URL = "https://b/";
    rows[3].URL = "";
    std::vector<HashedRow> hashed;
    for (Bookmark& row : rows) {
        hashed.push_back({&row, fnAddressHash(row.URL)});
    }
    const std::string problem = fnReadChromiumVisits(history, hashed, 1'800'000'000);
    // No use is negative; a History not read gives none; one address, one use.
    for (const Bookmark& row : rows) {
        fuzz::require(row.Frecency >= 0 && (problem.empty() || row.Frecency == 0));
    }
    fuzz::require(rows[0].Frecency == rows[1].Frecency);
    return 0;
}
