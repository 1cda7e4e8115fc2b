#include "model/ConfigFile.h"

#include "model/Bytes.h"

namespace configfile {

std::vector<std::uint8_t> Encode(const CardConfig& config) {
    std::vector<std::uint8_t> out(layout::kFileSize);
    for (int w = 0; w < layout::kWordCount; ++w) {
        le24::Write(out, 3 * static_cast<std::size_t>(w), config.Word(w));
    }
    return out;
}

void Decode(std::span<const std::uint8_t> in, CardConfig& config) {
    for (int w = 0; w < layout::kWordCount; ++w) {
        config.SetWord(w, le24::Read(in, 3 * static_cast<std::size_t>(w)));
    }
}

std::uint32_t Version(std::span<const std::uint8_t> in) {
    return le24::Read(in, 0);
}

}  // namespace configfile
