// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace zaptrove {

// The files discovery reads (profiles.ini, Local State, prefs.js) are small;
// only their first 16 MiB are read, so a huge or sparse one costs no more.
inline constexpr std::size_t kDiscoveryReadLimit = std::size_t{16} << 20;

} // namespace zaptrove
