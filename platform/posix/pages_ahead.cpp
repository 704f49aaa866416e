// SPDX-License-Identifier: MIT
#include "platform/posix/pages_ahead.h"

#include <sys/mman.h>
#include <system_error>
#include <unistd.h>

namespace zaptrove::platform {

std::unique_ptr<PagesAhead> PagesAhead::start() {
    if (std::thread::hardware_concurrency() == 1) {
        return nullptr; // the helper would only take turns with the scan
    }
    std::unique_ptr<PagesAhead> ahead(new PagesAhead);
    try {
        ahead->thread_ = std::thread([helper = ahead.get()] { helper->run(); });
    } catch (const std::system_error&) {
        return nullptr;
    }
    return ahead;
}

PagesAhead::~PagesAhead() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) { // it is not when it could not start
        thread_.join();
    }
}

void PagesAhead::touch(const char* pBegin, std::size_t pBytes) {
    stopTouching();
    {
        const std::lock_guard lock(mutex_);
        touchBegin_ = pBegin;
        touchBytes_ = pBytes;
    }
    changed_.notify_all();
}

void PagesAhead::stopTouching() {
    stop_.store(true, std::memory_order_relaxed);
    {
        std::unique_lock lock(mutex_);
        touchBytes_ = 0;
        changed_.wait(lock, [this] { return !touching_; });
    }
    stop_.store(false, std::memory_order_relaxed);
}

void PagesAhead::unmapLater(void* pPart, std::size_t pBytes) {
    bool handed = false;
    {
        const std::lock_guard lock(mutex_);
        if (waiting_ < kMostWaiting) {
            toUnmap_[waiting_++] = {pPart, pBytes};
            handed = true;
        }
    }
    if (handed) {
        changed_.notify_all();
    } else {
        munmap(pPart, pBytes);
    }
}

// Touches before it unmaps, as the scan waits for the pages it will read
// next, not for the ones it left; unmaps what waits before it ends.
void PagesAhead::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return closed_ || touchBytes_ != 0 || waiting_ != 0; });
        if (touchBytes_ != 0 && !closed_) {
            const char* const begin = touchBegin_;
            const std::size_t bytes = touchBytes_;
            touchBytes_ = 0;
            touching_ = true;
            lock.unlock();
            touchPages(begin, bytes);
            lock.lock();
            touching_ = false;
            changed_.notify_all();
        } else if (waiting_ != 0) {
            const Part part = toUnmap_[--waiting_];
            lock.unlock();
            munmap(part.at, part.bytes);
            lock.lock();
        } else if (closed_) {
            return;
        }
    }
}

// A page that faults takes the system's mapping of its neighbours in the page
// cache with it, so most reads here find their page mapped already.
void PagesAhead::touchPages(const char* begin, std::size_t bytes) const {
    static const auto pageBytes = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    for (std::size_t at = 0; at < bytes; at += pageBytes) {
        if (stop_.load(std::memory_order_relaxed)) {
            return;
        }
        static_cast<void>(*static_cast<const volatile char*>(begin + at));
    }
}

} // namespace zaptrove::platform
