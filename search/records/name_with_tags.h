// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

// The text a search by name compares for a bookmark with tags: its name and
// each tag, one line each, so that the term is found in the name or in a tag
// and each word of a search in any order in any of them. pName alone when
// there are no tags (pTags null or empty); otherwise built in pScratch, which
// the answer views.
std::string_view fnNameWithTags(std::string_view pName, const std::vector<std::string>* pTags,
                                std::string& pScratch);

} // namespace zaptrove
