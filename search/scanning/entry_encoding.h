// SPDX-License-Identifier: MIT
#pragma once

#include "text/text.h"

#include <string>
#include <string_view>

namespace zaptrove {

// Decides the encoding of each entry of a bookmark file on its own: a file that
// programs disagreeing on the encoding have edited mixes UTF-8 entries with
// Windows-1252 ones, and one stray byte must not garble every other name.
class EntryEncoding {
  public:
    // Turns the name and address cut from one entry into UTF-8: kept as they are
    // when both are UTF-8, else both read as Windows-1252.
    void decode(std::string_view& pName, std::string_view& pAddress) {
        if (platform::isValidUtf8(pName) && platform::isValidUtf8(pAddress)) {
            return;
        }
        pName = windows1252(pName, name_);
        pAddress = windows1252(pAddress, address_);
    }

  private:
    static std::string_view windows1252(std::string_view bytes, std::string& decoded) {
        decoded.clear();
        platform::appendWindows1252(bytes, decoded);
        return decoded;
    }

    std::string name_;
    std::string address_;
};

} // namespace zaptrove
