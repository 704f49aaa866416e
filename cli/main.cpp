// SPDX-License-Identifier: MIT
#include "cli/find_command.h"
#include "platform/console.h"

#include <iostream>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // The run is short and its records are left to the exit: memory freed
    // while vectors of records grow stays in the heap for the next growth,
    // instead of each large block being mapped afresh (its pages faulted in
    // again) and unmapped. Blocks of 32 MiB and more are still mapped.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
#endif
    std::ios::sync_with_stdio(false);
    const zaptrove::platform::Utf8Console console;
    return zaptrove::fnRunFind(zaptrove::platform::commandLineArguments(argc, argv), std::cout,
                               std::cerr, {}, zaptrove::FindRecords::LeftToExit);
}
