// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/records/folder_path.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

// The folders around the place a reader has come to, from the root, for the
// bookmarks it keeps there. A folder's node is made only when a kept bookmark
// asks for its path, and shared by every one kept inside it. Memory stays
// bounded whatever a file holds: the first kMaxNamedDepth levels are named,
// each name cut at kMaxNameBytes; deeper levels are only counted.
class FolderTrail {
  public:
    static constexpr std::size_t kMaxNamedDepth = 64;
    static constexpr std::size_t kMaxNameBytes = 1024;

    void enter(std::string_view pName);
    // Leaves the innermost folder; nothing at the root.
    void leave();
    // Names the innermost folder anew, for a name read after its start; the
    // bookmarks already kept inside take the new name too.
    void rename(std::string_view pName);
    std::size_t depth() const { return depth_; }
    FolderPath path();

  private:
    struct Level {
        std::string name;
        std::shared_ptr<FolderNode> node; // made for the first bookmark kept inside
    };
    std::size_t named() const { return depth_ < kMaxNamedDepth ? depth_ : kMaxNamedDepth; }

    std::vector<Level> levels_; // kept from one folder to the next
    std::size_t depth_ = 0;
    std::size_t made_ = 0; // the outermost levels whose nodes stand for them
};

// Puts the paths of records kept by a FolderTrail whose first level stands in
// for folders not known yet (a stretch of a file read apart, before the
// folders around it) under pOuter, in the stand-in's place. The records share
// the stand-in level's node; renamed later, pOuter's folders rename theirs.
void fnGraftPaths(std::span<Bookmark> pRecords, const FolderPath& pOuter);

} // namespace zaptrove
