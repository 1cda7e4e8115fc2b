#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/CardConfig.h"

// TUNBOX.CFG is the configuration record word by word, three bytes a word,
// least significant byte first: 8802 bytes, no header and no checksum.
namespace configfile {

std::vector<std::uint8_t> Encode(const CardConfig& config);

// Reads the 2934 words from the first 8802 bytes; `bytes` must hold at least
// that many (surplus bytes are never read).
void Decode(std::span<const std::uint8_t> bytes, CardConfig& config);

// The version in a file's first three bytes.
std::uint32_t Version(std::span<const std::uint8_t> bytes);

}  // namespace configfile
