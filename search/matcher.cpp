// SPDX-License-Identifier: MIT
#include "search/matcher.h"

#include "platform/text.h"
#include "settings/settings.h"

namespace zaptrove {

Matcher::Matcher(std::string pSearchTerm, std::int16_t pFunction)
    : term_(std::move(pSearchTerm)), function_(pFunction) {}

bool Matcher::usesUrl() const {
    return function_ == FUNC_URL || function_ == FUNC_BOTH;
}

bool Matcher::occursIn(std::string_view pText) {
    return platform::containsLowered(pText, term_, lowered_);
}

bool Matcher::nameMatches(std::string_view pName) {
    return occursIn(pName);
}

bool Matcher::urlMatches(std::string_view pUrl) {
    return occursIn(pUrl);
}

bool Matcher::matches(std::string_view pName, std::string_view pUrl) {
    switch (function_) {
    case FUNC_NAME:
        return nameMatches(pName);
    case FUNC_URL:
        return urlMatches(pUrl);
    case FUNC_BOTH:
        return nameMatches(pName) || urlMatches(pUrl);
    default:
        return false;
    }
}

} // namespace zaptrove
