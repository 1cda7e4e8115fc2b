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

std::optional<std::uint32_t> LevelChannels::Stored(int shown) const {
    const long long stored = static_cast<long long>(shown) - offset_;
    const Field<std::uint32_t>& f = field::kLevelControlChannelLeft;  // the right is as wide
    if (stored < 0 || stored > static_cast<long long>((1u << f.width) - 1)) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(stored);
}
