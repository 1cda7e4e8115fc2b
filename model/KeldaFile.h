#pragma once

#include <cstdint>
#include <vector>

#include "model/CardConfig.h"

// KELDA.CFG: the same configuration for the sibling device, in 16-bit
// big-endian words and plain bytes. Written on every save, never read.
namespace keldafile {

inline constexpr std::size_t kSize = 9614;

std::vector<std::uint8_t> Encode(const CardConfig& config);

}  // namespace keldafile
