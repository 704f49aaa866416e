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

void ListDiscarder::discard(std::vector<Bookmark> pRecords) {
    // The list before was freed while this one was shown: the wait is nil.
    if (freeing_.joinable()) {
        freeing_.join();
    }
    try {
        freeing_ = std::thread([records = std::move(pRecords)]() mutable {
            // Moved out, so the freeing happens here rather than wherever the
            // thread's own copy of this function ends.
            const std::vector<Bookmark> freed = std::move(records);
        });
    } catch (const std::system_error&) {
        // No thread: the list goes with this call's arguments.
    }
}

} // namespace zaptrove
