// SPDX-License-Identifier: MIT
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zaptrove {

// The hash the tables that find rows by address use: two independent lanes
// take sixteen bytes a step (a general string hash takes eight, one after the
// other), and a final mix spreads every byte over all the bits, as the tables
// take both the low bits and others. Equal addresses hash equal; the tables
// still compare the addresses themselves.
inline std::size_t fnAddressHash(std::string_view pAddress) {
    constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87;
    constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4F;
    constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9;
    const char* const bytes = pAddress.data();
    const std::size_t size = pAddress.size();
    const auto word = [bytes](std::size_t at) {
        std::uint64_t value = 0;
        std::memcpy(&value, bytes + at, sizeof value);
        return value;
    };
    const auto halfWord = [bytes](std::size_t at) {
        std::uint32_t value = 0;
        std::memcpy(&value, bytes + at, sizeof value);
        return std::uint64_t{value};
    };
    const auto mixIn = [](std::uint64_t lane, std::uint64_t input) {
        return std::rotl(lane + input * kPrime2, 31) * kPrime1;
    };
    std::uint64_t first = kPrime1 + size;
    std::uint64_t second = kPrime2;
    std::size_t at = 0;
    for (; at + 16 <= size; at += 16) {
        first = mixIn(first, word(at));
        second = mixIn(second, word(at + 8));
    }
    // The last bytes, fewer than sixteen: read as the last sixteen (some read
    // twice) when the address has that many, else from both ends.
    std::uint64_t lastFirst = 0;
    std::uint64_t lastSecond = 0;
    if (at < size && size >= 16) {
        lastFirst = word(size - 16), lastSecond = word(size - 8);
    } else if (size >= 8) {
        lastFirst = word(0), lastSecond = word(size - 8);
    } else if (size >= 4) {
        lastFirst = halfWord(0), lastSecond = halfWord(size - 4);
    } else if (size > 0) {
        lastFirst = std::uint64_t{static_cast<unsigned char>(bytes[0])} << 16 |
                    std::uint64_t{static_cast<unsigned char>(bytes[size / 2])} << 8 |
                    static_cast<unsigned char>(bytes[size - 1]);
    }
    std::uint64_t hash =
        std::rotl(mixIn(first, lastFirst), 1) + std::rotl(mixIn(second, lastSecond), 7);
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    hash *= kPrime3;
    hash ^= hash >> 32;
    return static_cast<std::size_t>(hash);
}

} // namespace zaptrove
