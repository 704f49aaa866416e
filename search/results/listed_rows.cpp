// SPDX-License-Identifier: MIT
#include "search/results/listed_rows.h"

#include "search/results/result_list.h"

#include <utility>

namespace zaptrove {

ListedRows::ListedRows(std::vector<Bookmark> pRecords, KeptMatch pKept)
    : records_(std::move(pRecords)), kept_(std::move(pKept)) {}

const Bookmark* ListedRows::at(std::size_t pRow) const {
    if (pRow < records_.size()) {
        return &records_[pRow];
    }
    const std::size_t place = pRow - records_.size();
    if (place >= kept_.size()) {
        return nullptr;
    }
    auto [made, isNew] = made_.try_emplace(place);
    if (isNew) {
        made->second = kept_.record(place);
        subCompleteAddress(made->second);
    }
    return &made->second;
}

} // namespace zaptrove
