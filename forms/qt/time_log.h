// SPDX-License-Identifier: MIT
#pragma once

namespace zaptrove::platform::forms {

// With ZAPTROVE_TIMES set in the environment, writes "shown SECONDS PROCESSOR"
// to standard error once the first window has been painted: the monotonic
// clock's time (the clock a benchmark that started the program reads) and the
// processor time spent so far, both in seconds. Unset, nothing is watched.
void watchFirstPaintWhenAsked();

} // namespace zaptrove::platform::forms
