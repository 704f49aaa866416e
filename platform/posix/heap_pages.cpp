// SPDX-License-Identifier: MIT
#include "platform/heap_pages.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace zaptrove::platform {

void preferLargeHeapPages() {
#ifdef __GLIBC__
    // glibc's largest threshold for mapping a block apart: below it a search's
    // record vectors and keys come from the heap too.
    constexpr std::size_t kHeapBytes = std::size_t{32} << 20;
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kHeapBytes));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kHeapBytes));
    // A block just under the threshold grows the heap by as much; freed, it
    // stays the heap's, now over large pages. Only the pages written are
    // taken, so it costs no memory until used.
    void* block = std::malloc(kHeapBytes - kLargePage);
    if (block == nullptr) {
        return;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t end = (start + kHeapBytes - kLargePage) & ~(kLargePage - 1);
    if (end > first) {
        madvise(static_cast<char*>(block) + (first - start), end - first, MADV_HUGEPAGE);
    }
    std::free(block);
#endif
}

} // namespace zaptrove::platform
