// SPDX-License-Identifier: MIT
#include "search/run/keyword_address.h"

#include "text/percent_encoding.h"
#include "text/text.h"

#include <algorithm>
#include <utility>

namespace zaptrove {

namespace {

constexpr std::string_view kBlanks = " \t";

// The typed text's first word, and the text after it with its outer blanks
// trimmed.
std::pair<std::string_view, std::string_view> splitTyped(std::string_view term) {
    const std::size_t start = std::min(term.find_first_not_of(kBlanks), term.size());
    const std::size_t end = std::min(term.find_first_of(kBlanks, start), term.size());
    std::string_view rest = term.substr(end);
    rest.remove_prefix(std::min(rest.find_first_not_of(kBlanks), rest.size()));
    rest.remove_suffix(rest.size() - (rest.find_last_not_of(kBlanks) + 1));
    return {term.substr(start, end - start), rest};
}

} // namespace

std::string fnTypedKeyword(std::string_view pTerm) {
    return platform::lowerCase(splitTyped(pTerm).first);
}

std::string fnFillKeywordAddress(std::string_view pAddress, std::string_view pTerm) {
    const std::string_view rest = splitTyped(pTerm).second;
    std::string filled;
    for (std::size_t at = 0; at < pAddress.size(); ++at) {
        if (pAddress[at] == '%' && at + 1 < pAddress.size() &&
            (pAddress[at + 1] == 's' || pAddress[at + 1] == 'S')) {
            filled += pAddress[++at] == 's' ? platform::percentEncoded(rest, "-_.!~*'()")
                                            : std::string(rest);
        } else {
            filled += pAddress[at];
        }
    }
    return filled;
}

} // namespace zaptrove
