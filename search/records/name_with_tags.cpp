// SPDX-License-Identifier: MIT
#include "search/records/name_with_tags.h"

namespace zaptrove {

std::string_view fnNameWithTags(std::string_view pName, const std::vector<std::string>* pTags,
                                std::string& pScratch) {
    if (pTags == nullptr || pTags->empty()) {
        return pName;
    }
    pScratch.assign(pName);
    for (const std::string& tag : *pTags) {
        pScratch.append("\n").append(tag);
    }
    return pScratch;
}

} // namespace zaptrove
