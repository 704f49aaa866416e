// SPDX-License-Identifier: MIT
#include "platform/heap_pages.h"

namespace zaptrove::platform {

// Large pages need a privilege Windows grants few users: the heap stays as it is.
void preferLargeHeapPages() {}

} // namespace zaptrove::platform
