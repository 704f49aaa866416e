// SPDX-License-Identifier: MIT
#pragma once

#include "search/matching/matcher.h"
#include "search/records/bookmark.h"
#include "search/request/search_request.h"
#include "settings/settings.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

// What the fuzz targets share.
namespace zaptrove::fuzz {

// Ends the run, so that libFuzzer keeps the input, when a property does not hold.
inline void require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// A search mode and term chosen by the last bytes of the input, so that its front
// keeps the shape of the seed file it grew from. Mode 3 is one no reader knows.
struct FuzzedQuery {
    std::int16_t function = FUNC_NAME;
    std::string term;

    explicit FuzzedQuery(FuzzedDataProvider& input) {
        static constexpr std::array<const char*, 7> kTerms = {"",  "a",        "http", "news",
                                                              "Ä", "\xC3\x9F", "url="};
        function = input.ConsumeIntegralInRange<std::int16_t>(FUNC_NAME, FUNC_BOTH + 1);
        term = kTerms[input.ConsumeIntegralInRange<std::size_t>(0, kTerms.size() - 1)];
    }

    // The matcher a search run builds for this query.
    Matcher matcher() const { return Matcher(term, fnSearchMode(function)); }
};

// What a bookmark file scanner finds in the fuzzed bytes.
template <typename Scanner>
std::vector<Bookmark> scanFuzzedFile(Scanner scan, const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Matcher matcher = FuzzedQuery(input).matcher();
    const std::string text = input.ConsumeRemainingBytesAsString();
    std::vector<Bookmark> found;
    scan(text, matcher, found);
    return found;
}

} // namespace zaptrove::fuzz
