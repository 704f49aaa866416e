// SPDX-License-Identifier: MIT
#include "platform/files.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace zaptrove::platform {

namespace {

// The mapped parts a bus error may hit: a page past the end of a file that
// shrank after it was mapped. The handler reads these without a lock, so each
// is a few atomics, claimed by one FileReader at a time.
struct Guard {
    std::atomic<bool> claimed{false};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> hit{false};
};

std::array<Guard, 16> gGuards;
struct sigaction gPreviousAction {};
std::uintptr_t gPageBytes = 0;

// A bus error inside a guarded part maps a page of zero bytes over the page
// hit, and the read that faulted goes on; any other is the previous action's.
void onBusError(int, siginfo_t* info, void*) {
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Guard& guard : gGuards) {
        if (at >= guard.begin.load() && at < guard.end.load()) {
            void* const page = reinterpret_cast<void*>(at & ~(gPageBytes - 1));
            if (mmap(page, gPageBytes, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
                MAP_FAILED) {
                guard.hit.store(true);
                return;
            }
        }
    }
    // Not ours: the fault happens again under the action before ours.
    sigaction(SIGBUS, &gPreviousAction, nullptr);
}

// Installs the handler once for the process; false when it cannot be.
bool guardInstalled() {
    static const bool installed = [] {
        gPageBytes = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        return gPageBytes != 0 && (gPageBytes & (gPageBytes - 1)) == 0 &&
               sigaction(SIGBUS, &action, &gPreviousAction) == 0;
    }();
    return installed;
}

int claimGuard() {
    for (std::size_t index = 0; index < gGuards.size(); ++index) {
        bool expected = false;
        if (gGuards[index].claimed.compare_exchange_strong(expected, true)) {
            gGuards[index].hit.store(false);
            return static_cast<int>(index);
        }
    }
    return -1;
}

// Stops the guard watching the part and unmaps it.
void unmapPart(Guard& guard, void*& part, std::size_t bytes) {
    guard.end.store(0);
    guard.begin.store(0);
    if (part != nullptr) {
        munmap(part, bytes);
        part = nullptr;
    }
}

} // namespace

std::optional<std::string_view> FileReader::mapPart(std::uint64_t pOffset, std::size_t pSize) {
    if (guard_ < 0 && (handle_ == -1 || !guardInstalled() || (guard_ = claimGuard()) < 0)) {
        return std::nullopt;
    }
    Guard& guard = gGuards[static_cast<std::size_t>(guard_)];
    unmapPart(guard, mapped_, mappedBytes_);
    // A file that shrank since it was opened is mapped as far as it reaches
    // now, as reads would end there.
    if (struct stat info{}; fstat(static_cast<int>(handle_), &info) == 0 &&
                            static_cast<std::uint64_t>(info.st_size) < length_) {
        length_ = static_cast<std::uint64_t>(info.st_size);
    }
    if (pOffset >= length_ || pSize == 0) {
        return std::string_view();
    }
    const std::uint64_t start = pOffset & ~static_cast<std::uint64_t>(gPageBytes - 1);
    const auto lead = static_cast<std::size_t>(pOffset - start);
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(pSize, length_ - pOffset));
    void* const part = mmap(nullptr, lead + size, PROT_READ, MAP_PRIVATE | MAP_POPULATE,
                            static_cast<int>(handle_), static_cast<off_t>(start));
    if (part == MAP_FAILED) {
        if (pOffset > 0) {
            problem_ = std::generic_category().message(errno); // else the caller reads instead
        }
        return std::nullopt;
    }
    mapped_ = part;
    mappedBytes_ = lead + size;
    guard.begin.store(reinterpret_cast<std::uintptr_t>(part));
    guard.end.store(reinterpret_cast<std::uintptr_t>(part) + mappedBytes_);
    return std::string_view(static_cast<const char*>(part) + lead, size);
}

bool FileReader::mappedPartsWhole() {
    if (guard_ < 0) {
        return true;
    }
    // The last page of a file that shrank reads as zero bytes past its end
    // without a bus error: its length tells.
    struct stat info {};
    if (!gGuards[static_cast<std::size_t>(guard_)].hit.load() &&
        fstat(static_cast<int>(handle_), &info) == 0 &&
        static_cast<std::uint64_t>(info.st_size) >= length_) {
        return true;
    }
    problem_ = "The file shrank while it was read";
    return false;
}

// Unmaps the part mapped and gives its guard back.
void FileReader::unmap() {
    if (guard_ < 0) {
        return;
    }
    Guard& guard = gGuards[static_cast<std::size_t>(guard_)];
    unmapPart(guard, mapped_, mappedBytes_);
    guard.claimed.store(false);
    guard_ = -1;
}

} // namespace zaptrove::platform
