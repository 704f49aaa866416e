// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace zaptrove {

// The text a bookmark is shown and compared by: what follows the last "\", with
// a final lower-case ".url" dropped.
std::string fnDisplayName(std::string_view pPath);

// The same as a view into pPath, for hot loops.
std::string_view fnDisplayNameView(std::string_view pPath);

} // namespace zaptrove
