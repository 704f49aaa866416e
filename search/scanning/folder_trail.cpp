// SPDX-License-Identifier: MIT
#include "search/scanning/folder_trail.h"

#include "text/text.h"

#include <algorithm>

namespace zaptrove {

void FolderTrail::enter(std::string_view pName) {
    if (depth_ < kMaxNamedDepth) {
        if (levels_.size() == depth_) {
            levels_.emplace_back();
        }
        levels_[depth_].name.assign(platform::cutBeforeCharacter(pName, kMaxNameBytes));
        made_ = std::min(made_, depth_);
    }
    ++depth_;
}

void FolderTrail::leave() {
    if (depth_ > 0) {
        --depth_;
        made_ = std::min(made_, named());
    }
}

void FolderTrail::rename(std::string_view pName) {
    if (depth_ > 0 && depth_ <= kMaxNamedDepth) {
        Level& level = levels_[depth_ - 1];
        level.name.assign(platform::cutBeforeCharacter(pName, kMaxNameBytes));
        if (made_ == depth_) {
            level.node->name = level.name;
        }
    }
}

FolderPath FolderTrail::path() {
    for (; made_ < named(); ++made_) {
        Level& level = levels_[made_];
        level.node = std::make_shared<FolderNode>(
            FolderNode{level.name, made_ == 0 ? nullptr : levels_[made_ - 1].node});
    }
    return FolderPath(made_ == 0 ? nullptr : levels_[made_ - 1].node);
}

void fnGraftPaths(std::span<Bookmark> pRecords, const FolderPath& pOuter) {
    if (pRecords.empty()) {
        return;
    }
    const FolderNode* standIn = pRecords.front().Folder.innermost();
    while (standIn->parent != nullptr) {
        standIn = standIn->parent.get();
    }
    for (Bookmark& record : pRecords) {
        const FolderNode* node = record.Folder.innermost();
        if (node == standIn) {
            record.Folder = pOuter;
            continue;
        }
        while (node != nullptr && node->parent.get() != standIn) {
            node = node->parent.get();
        }
        if (node != nullptr) {
            // Made by the trail as a node of its own, never const.
            const_cast<FolderNode*>(node)->parent = pOuter.innermostNode();
        }
    }
}

} // namespace zaptrove
