#include "model/LevelChannels.h"

LevelChannels::LevelChannels(const CardConfig& c) {
    using namespace field;
    const bool dmx = c.Get(kDmxReception);
    const bool midi = c.Get(kMidiReception);
    if (midi) {
        high_ = 127;
    } else if (dmx && c.Get(kDmxChecksumFlag)) {
        high_ = 255;
    } else if (dmx) {
        low_ = 1;
        offset_ = 1;
    }
    // NetSerial and the IR remote carry no level channels.
    controllable_ = dmx || midi || (!c.Get(kNetSerialReception) && !c.Get(kIrRemoteReception));
}

namespace {

// The right channel's field is as wide as the left's.
constexpr long long kFieldMax = (1LL << field::kLevelControlChannelLeft.width) - 1;

}  // namespace

int LevelChannels::Widest() const {
    return static_cast<int>(kFieldMax) + offset_;
}

std::optional<std::uint32_t> LevelChannels::Stored(int shown) const {
    const long long stored = static_cast<long long>(shown) - offset_;
    if (stored < 0 || stored > kFieldMax) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(stored);
}
