// SPDX-License-Identifier: MIT
#include "main_window/list_discarder.h"

#include <system_error>
#include <utility>

namespace zaptrove {

ListDiscarder::~ListDiscarder() {
    if (freeing_.joinable()) {
        freeing_.join();
    }
}

void ListDiscarder::discard(std::vector<Bookmark> pRecords, std::vector<std::string> pLines) {
    // The list before was freed while this one was shown: the wait is nil.
    if (freeing_.joinable()) {
        freeing_.join();
    }
    try {
        freeing_ =
            std::thread([records = std::move(pRecords), lines = std::move(pLines)]() mutable {
                // Moved out, so the freeing happens here rather than wherever the
                // thread's own copy of this function ends.
                const std::vector<Bookmark> freedRecords = std::move(records);
                const std::vector<std::string> freedLines = std::move(lines);
            });
    } catch (const std::system_error&) {
        // No thread: the list goes with this call's arguments.
    }
}

} // namespace zaptrove
