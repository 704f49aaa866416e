#pragma once

#include "search/bookmark.h"
#include "search/matcher.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace zaptrove::test {

using List = std::vector<std::string>;

// Each bookmark a file scanner finds in the text, as "name|address".
template <typename Scanner>
List scanWith(Scanner scanner, std::string_view text, std::string term = "",
              std::int16_t mode = FUNC_BOTH) {
    Matcher matcher(std::move(term), mode);
    std::vector<Bookmark> found;
    scanner(text, matcher, found);
    List out;
    for (const Bookmark& b : found) {
        EXPECT_FALSE(b.IsShortcut);
        out.push_back(b.Name + "|" + b.URL);
    }
    return out;
}

} // namespace zaptrove::test
