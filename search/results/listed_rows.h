// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/sources/kept_rows.h"

#include <cstddef>
#include <unordered_map>
#include <vector>

namespace zaptrove {

// The records behind a list's rows: a search's records, then the rows of one
// kept file, each of those made into its record, address completed as the list
// lines' are, when first asked for and kept from then on: a list of most of a
// file's bookmarks shows twenty. Used by one thread at a time.
class ListedRows {
  public:
    ListedRows() = default;
    ListedRows(std::vector<Bookmark> pRecords, KeptMatch pKept);

    std::size_t size() const { return records_.size() + kept_.size(); }
    // The record of row pRow; null past the last.
    const Bookmark* at(std::size_t pRow) const;

  private:
    std::vector<Bookmark> records_;
    KeptMatch kept_;
    mutable std::unordered_map<std::size_t, Bookmark> made_; // by place in kept_
};

} // namespace zaptrove
