#include "model/ConfigFile.h"

namespace configfile {

std::vector<std::uint8_t> Encode(const CardConfig& config) {
    std::vector<std::uint8_t> bytes(layout::kFileSize);
    for (int w = 0; w < layout::kWordCount; ++w) {
        const std::uint32_t v = config.Word(w);
        bytes[3 * w] = static_cast<std::uint8_t>(v & 0xFF);
        bytes[3 * w + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
        bytes[3 * w + 2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
    }
    return bytes;
}

void Decode(std::span<const std::uint8_t> bytes, CardConfig& config) {
    for (int w = 0; w < layout::kWordCount; ++w) {
        config.SetWord(w, bytes[3 * w] | (bytes[3 * w + 1] << 8) |
                              (static_cast<std::uint32_t>(bytes[3 * w + 2]) << 16));
    }
}

std::uint32_t Version(std::span<const std::uint8_t> bytes) {
    return bytes[0] | (bytes[1] << 8) | (static_cast<std::uint32_t>(bytes[2]) << 16);
}

}  // namespace configfile
