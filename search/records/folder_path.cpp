// SPDX-License-Identifier: MIT
#include "search/records/folder_path.h"

#include <vector>

namespace zaptrove {

std::string FolderPath::text() const {
    std::vector<const FolderNode*> chain;
    for (const FolderNode* node = innermost_.get(); node != nullptr; node = node->parent.get()) {
        chain.push_back(node);
    }
    std::string joined;
    for (auto node = chain.rbegin(); node != chain.rend(); ++node) {
        joined.append(node == chain.rbegin() ? "" : "/").append((*node)->name);
    }
    return joined;
}

} // namespace zaptrove
