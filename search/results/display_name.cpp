// SPDX-License-Identifier: MIT
#include "search/results/display_name.h"

namespace zaptrove {

std::string_view fnDisplayNameView(std::string_view pPath) {
    // Forward searches for "\\" run at memchr speed, and most texts have none.
    for (std::size_t slash = pPath.find('\\'); slash != std::string_view::npos;
         slash = pPath.find('\\')) {
        pPath.remove_prefix(slash + 1);
    }
    if (pPath.ends_with(".url")) {
        pPath.remove_suffix(4);
    }
    return pPath;
}

std::string_view fnShownText(const Bookmark& pRecord, std::string_view pText) {
    return pRecord.Origin.empty() ? fnDisplayNameView(pText) : pText;
}

std::string fnDisplayName(std::string_view pPath) {
    return std::string(fnDisplayNameView(pPath));
}

} // namespace zaptrove
