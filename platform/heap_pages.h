// SPDX-License-Identifier: MIT
#pragma once

namespace zaptrove::platform {

// For a program that makes one search and ends: has the heap grown once by
// enough for a search that keeps many rows, over pages the system may make
// 2 MiB each, and kept whole (not trimmed, large blocks not mapped apart), so
// that its records, keys and lines are faulted in 2 MiB rather than 4 KiB at a
// time. Not for the window program: the heap would keep its pages between
// searches. Nothing where the C library or system cannot do it.
void preferLargeHeapPages();

} // namespace zaptrove::platform
