// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

// The command of a desktop entry's "Exec" key in its "[Desktop Entry]" group,
// split into arguments by the entry format's quoting rules, without its field
// codes (%u, %U, %f...) and without Flatpak's "@@" file-forwarding marks; the
// caller appends its own arguments. Empty when the entry has no command or is
// marked Hidden.
std::vector<std::string> fnDesktopEntryCommand(std::string_view pEntry);

} // namespace zaptrove
