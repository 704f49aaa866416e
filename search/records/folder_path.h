// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>

namespace zaptrove {

// One folder of a bookmark tree, linked to the folder that holds it: the
// records of a folder and of every folder inside it share its node, so that a
// path costs one name, however deep it lies and however many records it has.
struct FolderNode {
    std::string name;
    std::shared_ptr<const FolderNode> parent;
};

// Where a bookmark lies in its source's tree; empty at the root. Records
// compare by the path's text.
class FolderPath {
  public:
    FolderPath() = default;
    explicit FolderPath(std::shared_ptr<const FolderNode> pInnermost)
        : innermost_(std::move(pInnermost)) {}

    bool empty() const { return innermost_ == nullptr; }
    // The innermost folder's node, shared by the records of that folder; null
    // at the root.
    const FolderNode* innermost() const { return innermost_.get(); }
    const std::shared_ptr<const FolderNode>& innermostNode() const { return innermost_; }
    // The folders' names from the root, "/" between them: "Toolbar/Work".
    std::string text() const;

    bool operator==(const FolderPath& pOther) const { return text() == pOther.text(); }

  private:
    std::shared_ptr<const FolderNode> innermost_;
};

} // namespace zaptrove
