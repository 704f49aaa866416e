// SPDX-License-Identifier: MIT
#include "search/scanning/folder_trail.h"

#include <algorithm>

namespace zaptrove {

namespace {

// The name up to kMaxNameBytes, cut before a character rather than inside one.
std::string_view cutName(std::string_view name) {
    if (name.size() <= FolderTrail::kMaxNameBytes) {
        return name;
    }
    std::size_t end = FolderTrail::kMaxNameBytes;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
        --end;
    }
    return name.substr(0, end);
}

} // namespace

void FolderTrail::enter(std::string_view pName) {
    if (depth_ < kMaxNamedDepth) {
        if (levels_.size() == depth_) {
            levels_.emplace_back();
        }
        levels_[depth_].name.assign(cutName(pName));
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
        level.name.assign(cutName(pName));
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
