// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/sources/chromium_history.h"

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zaptrove {

class DebugLog;
struct SearchRequest;

// What the order by use can read before the rows are known: the History of
// each Chromium-family profile the request reads, read on a thread of its own
// at the lowest priority while the bookmark sources are read, when the request
// orders by use. A History not read by the time its rows are known is read
// for them as ever, its reading ahead ended; so is every reading when this
// goes.
class UseReadAhead {
  public:
    UseReadAhead(const SearchRequest& pRequest, std::int64_t pNow);
    UseReadAhead(const UseReadAhead&) = delete;
    UseReadAhead& operator=(const UseReadAhead&) = delete;
    ~UseReadAhead();

    // The History at pHistory as read ahead; nullptr when its reading is not
    // over (and is then ended) or it was not read ahead.
    const HistoryReadAhead* history(const std::string& pHistory);

  private:
    std::vector<std::pair<std::string, std::unique_ptr<HistoryReadAhead>>> histories_;
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
