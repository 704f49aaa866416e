// SPDX-License-Identifier: MIT
#pragma once

#include "search/results/listed_rows.h"

#include <thread>

namespace zaptrove {

// Frees a list the window has replaced on a thread of its own: tens of
// thousands of records take milliseconds to free, which the window
// thread spends painting the new list instead. Called on the window thread.
class ListDiscarder {
  public:
    ListDiscarder() = default;
    // Waits for the list still being freed.
    ~ListDiscarder();
    ListDiscarder(const ListDiscarder&) = delete;
    ListDiscarder& operator=(const ListDiscarder&) = delete;

    // Frees pRows elsewhere, or here when no thread can be had.
    void discard(ListedRows pRows);

  private:
    std::thread freeing_;
};

} // namespace zaptrove
