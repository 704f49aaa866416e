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

} // namespace zaptrove
