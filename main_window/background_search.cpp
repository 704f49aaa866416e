// SPDX-License-Identifier: MIT
#include "main_window/background_search.h"

#include "forms/forms.h"

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

namespace zaptrove {

// What the window thread knows of the newest search; the outcomes on their
// way back see it through a weak pointer, so one that arrives after the
// window is gone is dropped.
struct BackgroundSearch::Newest {
    std::uint64_t number = 0;
    bool pending = false;
};

namespace {

// An outcome on its way from a search thread to the window thread. The lock
// hands it over in terms every race checker sees; the toolkit's event queue,
// which carries it, does its own locking out of their sight.
struct Handoff {
    std::mutex lock;
    SearchOutcome outcome;
};

} // namespace

struct BackgroundSearch::Job {
    SearchRequest request;
    std::int16_t debugMode;
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};
    Delivery deliver;
    std::thread thread;
};

BackgroundSearch::BackgroundSearch(Run pRun, const platform::Clock& pClock, std::string pLogPath)
    : run_(std::move(pRun)), clock_(pClock), logPath_(std::move(pLogPath)),
      newest_(std::make_shared<Newest>()) {}

BackgroundSearch::~BackgroundSearch() {
    joinJobs(true);
}

void BackgroundSearch::start(SearchRequest pRequest, std::int16_t pDebugMode, Delivery pDeliver) {
    stop();
    joinJobs(false);
    auto job = std::make_unique<Job>();
    job->request = std::move(pRequest);
    job->request.stop = &job->stop;
    job->debugMode = pDebugMode;
    job->deliver = std::move(pDeliver);
    newest_->number += 1;
    newest_->pending = true;
    try {
        job->thread = std::thread([this, self = job.get(), number = newest_->number,
                                   newest = std::weak_ptr<Newest>(newest_)] {
            const DebugLog log(self->debugMode, clock_, logPath_);
            auto handoff = std::make_shared<Handoff>();
            {
                const std::scoped_lock holding(handoff->lock);
                handoff->outcome = run_(self->request, log);
            }
            platform::forms::whenIdle([newest, number, handoff, deliver = self->deliver] {
                const std::shared_ptr<Newest> known = newest.lock();
                if (known == nullptr || !known->pending || known->number != number) {
                    return;
                }
                known->pending = false;
                SearchOutcome outcome;
                {
                    const std::scoped_lock holding(handoff->lock);
                    outcome = std::move(handoff->outcome);
                }
                deliver(std::move(outcome));
            });
            self->ended = true;
        });
    } catch (const std::system_error&) {
        // No thread to be had: the search runs here, the window waiting for it.
        newest_->pending = false;
        const DebugLog log(job->debugMode, clock_, logPath_);
        job->deliver(run_(job->request, log));
        return;
    }
    jobs_.push_back(std::move(job));
}

bool BackgroundSearch::stop() {
    if (!newest_->pending) {
        return false;
    }
    newest_->pending = false;
    jobs_.back()->stop = true;
    return true;
}

bool BackgroundSearch::running() const {
    return newest_->pending;
}

void BackgroundSearch::joinJobs(bool pStopAll) {
    std::erase_if(jobs_, [pStopAll](const std::unique_ptr<Job>& job) {
        if (pStopAll) {
            job->stop = true;
        } else if (!job->ended) {
            return false;
        }
        job->thread.join();
        return true;
    });
}

} // namespace zaptrove
