#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The card files keep their numbers in three bytes, least significant first.
namespace le24 {

inline std::uint32_t Read(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (static_cast<std::uint32_t>(b[at + 2]) << 16);
}

inline void Write(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    b[at + 2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
}

}  // namespace le24
