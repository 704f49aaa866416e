// SPDX-License-Identifier: MIT
#include "search/results/display_name.h"

#include "platform/separators.h"

namespace zaptrove {

namespace {

std::string_view withoutUrlEnding(std::string_view text) {
    if (text.ends_with(".url")) {
        text.remove_suffix(4);
    }
    return text;
}

} // namespace

std::string_view fnDisplayNameView(std::string_view pPath) {
    // Forward searches for "\\" run at memchr speed, and most texts have none.
    for (std::size_t slash = pPath.find('\\'); slash != std::string_view::npos;
         slash = pPath.find('\\')) {
        pPath.remove_prefix(slash + 1);
    }
    return withoutUrlEnding(pPath);
}

std::string_view fnShownText(const Bookmark& pRecord, std::string_view pText) {
    return pRecord.Source.browser() == nullptr ? fnDisplayNameView(pText) : pText;
}

std::string_view fnShownName(const Bookmark& pRecord) {
    if (!pRecord.IsShortcut) {
        return fnShownText(pRecord, pRecord.Name);
    }
    const std::string_view path = pRecord.Name;
    return withoutUrlEnding(path.substr(path.rfind(platform::kSeparator) + 1)); // npos + 1 is 0
}

std::string fnDisplayName(std::string_view pPath) {
    return std::string(fnDisplayNameView(pPath));
}

} // namespace zaptrove
