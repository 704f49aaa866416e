// SPDX-License-Identifier: MIT
#pragma once

#include "search/shared_text.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

// The folders around the place a reader has come to, from the root, for the
// bookmarks it keeps there. Their path is joined only when a kept bookmark
// asks for it, and shared by every one kept before the trail changes. Memory
// stays bounded whatever a file holds: the first kMaxNamedDepth levels are
// named, each name cut at kMaxNameBytes; deeper levels are only counted.
class FolderTrail {
  public:
    static constexpr std::size_t kMaxNamedDepth = 64;
    static constexpr std::size_t kMaxNameBytes = 1024;

    void enter(std::string_view pName);
    // Leaves the innermost folder; nothing at the root.
    void leave();
    // Names the innermost folder anew, for a name read after its start.
    void rename(std::string_view pName);
    std::size_t depth() const { return depth_; }
    // "Toolbar/Work": the folders entered and not left, outermost first.
    const SharedText& path();

  private:
    std::vector<std::string> names_; // kept from one folder to the next
    std::size_t depth_ = 0;
    SharedText path_;
    bool stale_ = false;
};

} // namespace zaptrove
