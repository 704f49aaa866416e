// SPDX-License-Identifier: MIT
#include "search/records/record_drain.h"

namespace zaptrove {

namespace {
thread_local RecordDrain* gDrain = nullptr;
} // namespace

RecordDrain::RecordDrain() : outer_(gDrain) {
    gDrain = this;
}

RecordDrain::~RecordDrain() {
    gDrain = outer_;
}

std::size_t RecordDrain::passOn(std::vector<Bookmark>& pRecords, std::size_t pFirst) {
    return gDrain == nullptr || pRecords.size() <= pFirst ? 0 : gDrain->take(pRecords, pFirst);
}

void RecordDrain::dropAll(std::vector<Bookmark>& pRecords, std::size_t pFirst) {
    pRecords.erase(pRecords.begin() + static_cast<std::ptrdiff_t>(pFirst), pRecords.end());
    if (gDrain != nullptr) {
        gDrain->drop();
    }
}

} // namespace zaptrove
