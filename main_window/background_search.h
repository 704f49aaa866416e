// SPDX-License-Identifier: MIT
#pragma once

#include "debug_log/debug_log.h"
#include "search/request/search_request.h"
#include "search/run/search_run.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zaptrove {

// Runs the window's searches each on a thread of its own, so that the window
// keeps painting, taking keys and answering while sources are read, and hands
// each outcome back on the window thread. Only the newest search is ever
// delivered: starting another, or stopping, asks the one running to stop and
// drops its outcome. Every member is called on the window thread.
class BackgroundSearch {
  public:
    using Run = std::function<SearchOutcome(const SearchRequest&, const DebugLog&)>;
    using Delivery = std::function<void(SearchOutcome)>;

    // pRun is the search itself; its log lines go to pLogPath with pClock's time.
    BackgroundSearch(Run pRun, const platform::Clock& pClock, std::string pLogPath);
    // Asks every search still running to stop and waits for them.
    ~BackgroundSearch();
    BackgroundSearch(const BackgroundSearch&) = delete;
    BackgroundSearch& operator=(const BackgroundSearch&) = delete;

    // Starts a run of pRequest, logging when pDebugMode (as it is now) is
    // DEBUG_ON; pDeliver gets its outcome unless a newer start or a stop
    // comes first.
    void start(SearchRequest pRequest, std::int16_t pDebugMode, Delivery pDeliver);
    // Drops the search not yet delivered; answers whether there was one.
    bool stop();
    // Whether a search is started and neither delivered nor dropped.
    bool running() const;

  private:
    struct Job;
    struct Newest;
    // Waits for the jobs that ended; with pStopAll, asks the others to stop
    // and waits for them too.
    void joinJobs(bool pStopAll);

    Run run_;
    const platform::Clock& clock_;
    std::string logPath_;
    std::shared_ptr<Newest> newest_;
    std::vector<std::unique_ptr<Job>> jobs_;
};

} // namespace zaptrove
