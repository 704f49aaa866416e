// SPDX-License-Identifier: MIT
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// Sixteen bytes at a time; GCC and Clang map these operations to the machine's
// vector instructions. Shared by the text scans that run over whole files.
namespace zaptrove::platform {

using Block = unsigned char __attribute__((vector_size(16)));

inline Block loadBlock(const char* p) {
    Block block;
    __builtin_memcpy(&block, p, sizeof block);
    return block;
}

// One bit for each of the eight lanes from lane 8 * word on whose top bit is set
// (all of a comparison's true lanes), the first lane lowest.
template <typename Lanes> std::uint64_t laneBits(const Lanes& lanes, std::size_t word) {
    std::uint64_t bits;
    __builtin_memcpy(&bits, reinterpret_cast<const char*>(&lanes) + 8 * word, sizeof bits);
    if constexpr (std::endian::native == std::endian::big) {
        bits = __builtin_bswap64(bits);
    }
    return bits & 0x8080808080808080ULL;
}

template <typename Lanes> bool anyLane(const Lanes& lanes) {
    return (laneBits(lanes, 0) | laneBits(lanes, 1)) != 0;
}

} // namespace zaptrove::platform
