// SPDX-License-Identifier: MIT
#include "search/folder_trail.h"

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
        if (names_.size() == depth_) {
            names_.emplace_back();
        }
        names_[depth_].assign(cutName(pName));
        stale_ = true;
    }
    ++depth_;
}

void FolderTrail::leave() {
    if (depth_ == 0) {
        return;
    }
    --depth_;
    stale_ = stale_ || depth_ < kMaxNamedDepth;
}

void FolderTrail::rename(std::string_view pName) {
    if (depth_ > 0 && depth_ <= kMaxNamedDepth) {
        names_[depth_ - 1].assign(cutName(pName));
        stale_ = true;
    }
}

const SharedText& FolderTrail::path() {
    if (stale_) {
        std::string joined;
        for (std::size_t level = 0; level < std::min(depth_, kMaxNamedDepth); ++level) {
            joined.append(level == 0 ? "" : "/").append(names_[level]);
        }
        path_ = SharedText(std::move(joined));
        stale_ = false;
    }
    return path_;
}

} // namespace zaptrove
