// SPDX-License-Identifier: MIT
#include "platform/file_mapping.h"

#include "platform/files.h"
#include "platform/posix/pages_ahead.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace zaptrove::platform {

namespace {

constexpr std::int64_t kNanoseconds = 1'000'000'000;
// Parts are mapped up to a multiple of this, so that their last huge page of
// the page cache (on x86-64 and most others) is mapped whole too: the system
// then maps each with one entry instead of 512 small pages.
constexpr std::uint64_t kHugePageBytes = std::uint64_t{2} * 1024 * 1024;
// A file changed less than this long ago, or in the future, is read instead.
constexpr std::int64_t kSettledNanoseconds = 2 * kNanoseconds;

// The mapped parts a bus error may hit: pages past the end of a file that
// shrank after they were mapped. Each guard is claimed by one FileMapping at a
// time, one range for each part it maps, and read by the handler without a
// lock: a range's version is odd while it changes, so the handler never takes
// a range half written. The range a thread faulted in is never changing then:
// the thread that changes it is either that one, or first waits until its
// PagesAhead touches none of it.
struct WatchedRange {
    std::atomic<unsigned> version{0};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};

    void watch(std::uintptr_t pBegin, std::uintptr_t pEnd) {
        version.fetch_add(1);
        begin.store(pBegin);
        end.store(pEnd);
        version.fetch_add(1);
    }
    bool holds(std::uintptr_t at) const {
        const unsigned before = version.load();
        const bool inside = at >= begin.load() && at < end.load();
        return inside && before % 2 == 0 && version.load() == before;
    }
};
struct Guard {
    std::atomic<bool> claimed{false};
    std::array<WatchedRange, 2> ranges;
    std::atomic<bool> hit{false};

    bool holds(std::uintptr_t at) const { return ranges[0].holds(at) || ranges[1].holds(at); }
};
static_assert(std::atomic<std::uintptr_t>::is_always_lock_free &&
              std::atomic<unsigned>::is_always_lock_free);

// As many files as the window's threads read at once, and more.
std::array<Guard, 64> gGuards;
struct sigaction gPreviousAction {};
std::uintptr_t gPageBytes = 0;

// A bus error inside a guarded part maps a page of zero bytes over the page
// hit, and the read that faulted goes on. Any other is the previous action's.
void onBusError(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Guard& guard : gGuards) {
        if (guard.claimed.load() && guard.holds(at)) {
            void* const page = static_cast<char*>(info->si_addr) - (at & (gPageBytes - 1));
            if (mmap(page, gPageBytes, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
                MAP_FAILED) {
                guard.hit.store(true);
                errno = savedErrno;
                return;
            }
        }
    }
    errno = savedErrno;
    const auto previous = gPreviousAction.sa_handler;
    if ((gPreviousAction.sa_flags & SA_SIGINFO) != 0) {
        gPreviousAction.sa_sigaction(signal, info, context);
    } else if (previous != SIG_DFL && previous != SIG_IGN) {
        previous(signal);
    } else if (previous == SIG_DFL || info->si_code > 0) {
        // The default action, which ends the process as it would have without
        // this handler: a fault's bus error cannot be ignored.
        std::signal(SIGBUS, SIG_DFL);
        raise(SIGBUS);
    } // else sent by a process, and ignored as before
}

// Installs the handler once for the process; false when it cannot be.
bool handlerInstalled() {
    static const bool installed = [] {
        gPageBytes = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        return gPageBytes != 0 && (gPageBytes & (gPageBytes - 1)) == 0 &&
               sigaction(SIGBUS, &action, &gPreviousAction) == 0;
    }();
    return installed;
}

int claimGuard() {
    for (std::size_t index = 0; index < gGuards.size(); ++index) {
        if (bool free = false; gGuards[index].claimed.compare_exchange_strong(free, true)) {
            gGuards[index].hit.store(false);
            return static_cast<int>(index);
        }
    }
    return -1;
}

std::int64_t nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * kNanoseconds + time.tv_nsec;
}

std::optional<FileMapping::Stamp> stampOf(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileMapping::Stamp{static_cast<std::uint64_t>(info.st_dev),
                              static_cast<std::uint64_t>(info.st_ino),
                              static_cast<std::uint64_t>(info.st_size), nanoseconds(info.st_mtim),
                              nanoseconds(info.st_ctim)};
}

// Whether the file's last change is old enough that a change now gets another
// change time, whatever the tick of the file system's clock.
bool settled(const FileMapping::Stamp& stamp) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t before = nanoseconds(now) - kSettledNanoseconds;
    return stamp.modified < before && stamp.changed < before;
}

} // namespace

FileMapping::FileMapping(FileReader& pFile) : file_(pFile) {
    if (file_.handle_ == -1 || !handlerInstalled()) {
        return;
    }
    const std::optional<Stamp> stamp = stampOf(static_cast<int>(file_.handle_));
    if (stamp && stamp->size == file_.length_ && settled(*stamp)) {
        stamp_ = *stamp;
        guard_ = claimGuard();
    }
}

FileMapping::~FileMapping() {
    if (guard_ >= 0) {
        unmap(0);
        unmap(1);
        ahead_.reset(); // after the parts it unmaps
        gGuards[static_cast<std::size_t>(guard_)].claimed.store(false);
    }
}

std::optional<std::string_view> FileMapping::map(std::uint64_t pOffset, std::size_t pSize) {
    if (guard_ < 0) {
        return std::nullopt;
    }
    unmap(current_);
    const std::size_t prepared = 1 - current_;
    if (parts_[prepared].at != nullptr && parts_[prepared].offset == pOffset &&
        parts_[prepared].size == pSize) {
        current_ = prepared;
        return textOf(parts_[current_]);
    }
    unmap(prepared);
    if (pOffset >= stamp_.size || pSize == 0) {
        return std::string_view();
    }
    if (!mapPart(current_, pOffset, pSize)) {
        return std::nullopt;
    }
    return textOf(parts_[current_]);
}

void FileMapping::prepare(std::uint64_t pOffset, std::size_t pSize) {
    if (guard_ < 0 || pOffset >= stamp_.size || pSize == 0) {
        return;
    }
    if (!aheadTried_) {
        aheadTried_ = true;
        ahead_ = PagesAhead::start();
    }
    const std::size_t slot = 1 - current_;
    unmap(slot);
    if (ahead_ && mapPart(slot, pOffset, pSize)) {
        touched_ = slot;
        ahead_->touch(static_cast<const char*>(parts_[slot].at), parts_[slot].bytes);
    }
}

bool FileMapping::unchanged() const {
    return guard_ >= 0 && !gGuards[static_cast<std::size_t>(guard_)].hit.load() &&
           stampOf(static_cast<int>(file_.handle_)) == stamp_;
}

// Maps pSize bytes from pOffset (below the length) at pSlot, which holds none.
bool FileMapping::mapPart(std::size_t pSlot, std::uint64_t pOffset, std::size_t pSize) {
    const std::uint64_t start = pOffset & ~static_cast<std::uint64_t>(gPageBytes - 1);
    const std::uint64_t wanted = pOffset + std::min<std::uint64_t>(pSize, stamp_.size - pOffset);
    const std::uint64_t end =
        std::min((wanted + kHugePageBytes - 1) & ~(kHugePageBytes - 1), stamp_.size);
    const auto bytes = static_cast<std::size_t>(end - start);
    // Not populated: the system maps the pages as the scan, or the helper,
    // first reads them, many at a time, for less than populating them cost it.
    void* const part = mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE, static_cast<int>(file_.handle_),
                            static_cast<off_t>(start));
    if (part == MAP_FAILED) {
        return false;
    }
    parts_[pSlot] = {part, bytes, pOffset, pSize};
    const auto begin = reinterpret_cast<std::uintptr_t>(part);
    gGuards[static_cast<std::size_t>(guard_)].ranges[pSlot].watch(begin, begin + bytes);
    return true;
}

std::string_view FileMapping::textOf(const Part& pPart) const {
    const auto lead = static_cast<std::size_t>(pPart.offset & (gPageBytes - 1));
    return {static_cast<const char*>(pPart.at) + lead, pPart.bytes - lead};
}

// Stops the helper touching the part, then the guard watching it, before
// unmapping it: the helper's reads stay guarded, and a bus error at its
// addresses, mapped again elsewhere meanwhile, is never taken for ours.
void FileMapping::unmap(std::size_t pSlot) {
    Part& part = parts_[pSlot];
    if (part.at == nullptr) {
        return;
    }
    if (touched_ == pSlot) {
        ahead_->stopTouching();
        touched_ = kNoPart;
    }
    gGuards[static_cast<std::size_t>(guard_)].ranges[pSlot].watch(0, 0);
    if (ahead_) {
        ahead_->unmapLater(part.at, part.bytes);
    } else {
        munmap(part.at, part.bytes);
    }
    part = Part();
}

} // namespace zaptrove::platform
