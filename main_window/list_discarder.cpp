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

void ListDiscarder::discard(ListedRows pRows) {
    // The list before was freed while this one was shown: the wait is nil.
    if (freeing_.joinable()) {
        freeing_.join();
    }
    try {
        freeing_ = std::thread([rows = std::move(pRows)]() mutable {
            // Moved out, so the freeing happens here rather than wherever the
            // thread's own copy of this function ends.
            const ListedRows freed = std::move(rows);
        });
    } catch (const std::system_error&) {
        // No thread: the list goes with this call's arguments.
    }
}

} // namespace zaptrove
