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

// The byte in every lane.
inline Block splat(unsigned char byte) {
    return byte + Block{};
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

// One bit for each of the sixteen lanes whose top bit is set, the first lane
// lowest.
template <typename Lanes> unsigned laneMask(const Lanes& lanes) {
#if defined(__SSE2__)
    using Bytes = char __attribute__((vector_size(16)));
    return static_cast<unsigned>(__builtin_ia32_pmovmskb128(__builtin_bit_cast(Bytes, lanes)));
#else
    // The multiplication gathers the top bit of each byte into the top byte.
    constexpr std::uint64_t kGather = 0x0002040810204081ULL;
    return static_cast<unsigned>((laneBits(lanes, 0) * kGather) >> 56 |
                                 (laneBits(lanes, 1) * kGather) >> 56 << 8);
#endif
}

// Whether 32-byte blocks (AVX2) may be tested: on x86 with GCC or Clang,
// outside Windows, whose compilers keep the stack aligned to sixteen bytes only.
#if (defined(__x86_64__) || defined(__i386__)) && !defined(_WIN32)
#define ZAPTROVE_WIDE_BLOCKS 1
#else
#define ZAPTROVE_WIDE_BLOCKS 0
#endif

// Whether this processor tests 32-byte blocks; asked once.
inline bool hasWideBlocks() {
#if ZAPTROVE_WIDE_BLOCKS
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

template <typename Lanes> bool anyLane(const Lanes& lanes) {
    return (laneBits(lanes, 0) | laneBits(lanes, 1)) != 0;
}

// The first true lane of a comparison, or 16 when none is.
template <typename Lanes> std::size_t firstLane(const Lanes& lanes) {
    if (const std::uint64_t low = laneBits(lanes, 0); low != 0) {
        return static_cast<std::size_t>(std::countr_zero(low)) / 8;
    }
    const std::uint64_t high = laneBits(lanes, 1);
    return high != 0 ? 8 + static_cast<std::size_t>(std::countr_zero(high)) / 8 : 16;
}

// The last true lane of a comparison, or 16 when none is.
template <typename Lanes> std::size_t lastLane(const Lanes& lanes) {
    if (const std::uint64_t high = laneBits(lanes, 1); high != 0) {
        return 8 + static_cast<std::size_t>(63 - std::countl_zero(high)) / 8;
    }
    const std::uint64_t low = laneBits(lanes, 0);
    return low != 0 ? static_cast<std::size_t>(63 - std::countl_zero(low)) / 8 : 16;
}

} // namespace zaptrove::platform
