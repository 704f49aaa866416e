// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace zaptrove {

// One bookmark. For an Internet Explorer favorite, Name is the full path of its
// shortcut file and IsShortcut is set; the address may then still be empty
// after a search by name, until it is read from that file.
struct Bookmark {
    std::string Name;
    std::string URL;
    bool IsShortcut = false;

    bool operator==(const Bookmark&) const = default;
};

} // namespace zaptrove
