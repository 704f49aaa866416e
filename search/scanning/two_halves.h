// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <exception>
#include <future>
#include <memory>
#include <system_error>
#include <thread>

namespace zaptrove {

// Runs pLater on a thread of its own beside pNow when pBeside. Whichever
// comes to pLater first runs it: when the thread starts only after pNow is
// done, as on a busy machine, this one runs pLater itself and waits for
// nothing; the thread, when it starts, ends at once.
template <typename Later, typename Now>
void runInHalves(bool pBeside, const Later& pLater, const Now& pNow) {
    struct Claim {
        std::atomic<bool> taken{false};
        std::promise<void> done;
    };
    const auto claim = std::make_shared<Claim>();
    std::future<void> done = claim->done.get_future();
    if (pBeside) {
        try {
            std::thread([claim, later = &pLater] {
                if (!claim->taken.exchange(true)) {
                    try {
                        (*later)();
                        claim->done.set_value();
                    } catch (...) {
                        claim->done.set_exception(std::current_exception());
                    }
                }
            }).detach();
        } catch (const std::system_error&) {
            // No thread to be had: both halves here.
        }
    }
    try {
        pNow();
    } catch (...) {
        if (claim->taken.exchange(true)) {
            done.wait();
        }
        throw;
    }
    if (!claim->taken.exchange(true)) {
        pLater();
    } else {
        done.get();
    }
}

} // namespace zaptrove
