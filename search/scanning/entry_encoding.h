// SPDX-License-Identifier: MIT
#pragma once

#include "text/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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
        if (isUtf8(pName) && isUtf8(pAddress)) {
            return;
        }
        pName = windows1252(pName, name_);
        pAddress = windows1252(pAddress, address_);
    }

  private:
    // Most names and addresses are ASCII, told eight bytes at a time, the
    // last eight taken whole rather than byte by byte.
    static bool isUtf8(std::string_view bytes) {
        constexpr std::size_t kWord = sizeof(std::uint64_t);
        std::uint64_t seen = 0;
        if (bytes.size() >= kWord) {
            for (std::size_t at = 0; at < bytes.size(); at += kWord) {
                std::uint64_t word = 0;
                std::memcpy(&word, bytes.data() + std::min(at, bytes.size() - kWord), kWord);
                seen |= word;
            }
        } else {
            for (const char byte : bytes) {
                seen |= static_cast<unsigned char>(byte);
            }
        }
        return (seen & 0x8080808080808080ULL) == 0 || platform::isValidUtf8(bytes);
    }

    static std::string_view windows1252(std::string_view bytes, std::string& decoded) {
        decoded.clear();
        platform::appendWindows1252(bytes, decoded);
        return decoded;
    }

    std::string name_;
    std::string address_;
};

} // namespace zaptrove
