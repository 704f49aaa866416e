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
    // For a browser bookmark, the browser and profile it comes from; empty for
    // the others.
    std::string Origin = {};

    bool operator==(const Bookmark&) const = default;
};

} // namespace zaptrove
