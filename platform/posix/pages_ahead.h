// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>

namespace zaptrove::platform {

// A helper thread beside the one that scans a mapped part: it takes the page
// faults of the part's pages ahead of the scan, so that the scan finds them
// mapped, and unmaps the parts the scan is done with. Both are system work
// that would otherwise stop the scan, done here on another processor.
class PagesAhead {
  public:
    // A helper with its thread running; nothing on a machine with one
    // processor, or when no thread can be had.
    static std::unique_ptr<PagesAhead> start();

    ~PagesAhead(); // unmaps what it was given, then ends its thread
    PagesAhead(const PagesAhead&) = delete;
    PagesAhead& operator=(const PagesAhead&) = delete;

    // Reads a byte of each page of the pBytes at pBegin, from the first on,
    // until stopTouching() or the next touch(), which both return once it
    // reads none of them. They must stay mapped until then.
    void touch(const char* pBegin, std::size_t pBytes);
    // Returns once the helper reads none of the pages it was given to touch.
    void stopTouching();
    // Unmaps the pBytes at pPart, which nothing reads any more, meanwhile; at
    // once, here, while kMostWaiting parts wait to be unmapped.
    void unmapLater(void* pPart, std::size_t pBytes);

  private:
    PagesAhead() = default;
    void run();
    void touchPages(const char* begin, std::size_t bytes) const;

    std::mutex mutex_;
    std::condition_variable changed_;
    const char* touchBegin_ = nullptr; // the pages to touch that the helper has not taken yet
    std::size_t touchBytes_ = 0;
    bool touching_ = false;
    std::atomic<bool> stop_{false}; // read by the touching helper without the lock
    struct Part {
        void* at;
        std::size_t bytes;
    };
    // The scan hands a part over as the helper may still touch the next.
    static constexpr std::size_t kMostWaiting = 2;
    std::array<Part, kMostWaiting> toUnmap_{};
    std::size_t waiting_ = 0; // how many of toUnmap_ wait
    bool closed_ = false;
    std::thread thread_;
};

} // namespace zaptrove::platform
