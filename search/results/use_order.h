// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/sources/chromium_history.h"

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace zaptrove {

class DebugLog;
struct SearchRequest;

// What the order by use can read before the rows are known: the History of
// each Chromium-family profile the request reads, read on a thread of its own
// while the bookmark sources are read, when the request orders by use. The
// reading is ended, unused, when this goes.
class UseReadAhead {
  public:
    UseReadAhead(const SearchRequest& pRequest, std::int64_t pNow);
    UseReadAhead(const UseReadAhead&) = delete;
    UseReadAhead& operator=(const UseReadAhead&) = delete;
    ~UseReadAhead();

    // The History at pHistory as read ahead for pRows rows, once the reading
    // ended; nullptr when it was not read ahead.
    const HistoryReadAhead* history(const std::string& pHistory, std::size_t pRows);

  private:
    struct History {
        std::string path;
        std::atomic<std::int64_t> rows{-1}; // the rows it gives uses to, once known
        std::unique_ptr<HistoryReadAhead> read;
    };

    std::vector<std::unique_ptr<History>> histories_;
    std::atomic<bool> stop_{false};
    std::future<void> reading_;
};

// Orders the rows by use when the request asks for it: first by the weight
// the launch record gives their addresses (what was opened from the program),
// then by their browser's use of the page (Firefox's frecency, the Chromium
// family's visits, read from its History only now unless pAhead read it).
// The order is stable: rows of equal use keep the order they came in. pNow is
// seconds since 1970.
void subOrderByUse(const SearchRequest& pRequest, std::vector<Bookmark>& pRows, std::int64_t pNow,
                   const DebugLog& pLog, UseReadAhead* pAhead = nullptr);

} // namespace zaptrove
