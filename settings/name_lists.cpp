// SPDX-License-Identifier: MIT
#include "settings/name_lists.h"

namespace zaptrove {

std::vector<std::string> fnSplitNames(std::string_view pText, char pSeparator) {
    constexpr std::string_view kBlanks = " \t\r";
    std::vector<std::string> names;
    while (!pText.empty()) {
        const std::size_t end = pText.find(pSeparator);
        std::string_view name = pText.substr(0, end);
        pText = end == std::string_view::npos ? std::string_view() : pText.substr(end + 1);
        const std::size_t first = name.find_first_not_of(kBlanks);
        if (first != std::string_view::npos) {
            names.emplace_back(name.substr(first, name.find_last_not_of(kBlanks) + 1 - first));
        }
    }
    return names;
}

std::string fnJoinNames(const std::vector<std::string>& pNames, char pSeparator) {
    std::string joined;
    for (const std::string& name : pNames) {
        if (!joined.empty()) {
            joined += pSeparator;
            joined += pSeparator == ';' ? " " : "";
        }
        joined += name;
    }
    return joined;
}

} // namespace zaptrove
