// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Numbers as the log shows them: a leading blank for zero and positive values,
// a minus sign otherwise, "." as the decimal separator, no grouping.
namespace zaptrove {

std::string fnStr(long long pNumber);

// A single-precision value with at most seven significant digits and no
// trailing zeros, such as the seconds-since-midnight timer (" 50851.23").
std::string fnStrSingle(float pNumber);

} // namespace zaptrove
