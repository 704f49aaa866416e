// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/folder_path.h"
#include "search/records/source_name.h"

#include <memory>
#include <string>
#include <vector>

namespace zaptrove {

// Where one more copy of a bookmark's address lives, when copies are merged.
struct BookmarkCopy {
    SourceName Source;
    FolderPath Folder;

    bool operator==(const BookmarkCopy&) const = default;
};

// What few bookmarks have.
struct BookmarkExtras {
    // With one row per address, where the later copies of its address live,
    // in reading order; the bookmark is the first copy. Empty otherwise.
    std::vector<BookmarkCopy> otherCopies;
    // A Firefox bookmark's tags, by name, shared by the bookmarks of one
    // page; null for a bookmark without.
    std::shared_ptr<const std::vector<std::string>> tags;

    bool operator==(const BookmarkExtras&) const = default;
};

// A bookmark's extras behind one pointer, so that the many bookmarks without
// any pay eight bytes for them; a copy of the bookmark copies them. Without
// any it reads as empty extras.
class ExtrasSlot {
  public:
    ExtrasSlot() = default;
    ExtrasSlot(const ExtrasSlot& pOther);
    ExtrasSlot(ExtrasSlot&&) noexcept = default;
    ExtrasSlot& operator=(const ExtrasSlot& pOther);
    ExtrasSlot& operator=(ExtrasSlot&&) noexcept = default;
    ~ExtrasSlot() = default;

    const BookmarkExtras& get() const;
    // The extras to change, made empty on first use.
    BookmarkExtras& edit();

    bool operator==(const ExtrasSlot& pOther) const { return get() == pOther.get(); }

  private:
    std::unique_ptr<BookmarkExtras> extras_;
};

} // namespace zaptrove
