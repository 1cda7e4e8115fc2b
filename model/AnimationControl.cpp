#include "model/AnimationControl.h"

namespace animation {

namespace {

// The reception bits of the option word, lowest first.
constexpr Field<bool> kReceptionBits[] = {field::kDmxReception, field::kMidiReception,
                                          field::kNetSerialReception, field::kIrRemoteReception};

// A typed number as a field of `width` bits holds it: its low bits.
template <typename T>
std::uint32_t Cut(const Field<T>& f, std::int64_t value) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) &
                                      ((std::uint64_t{1} << f.width) - 1));
}

}  // namespace

Reception ReceptionOf(const CardConfig& c) {
    for (int bit = 0; bit < 4; ++bit) {
        if (c.Get(kReceptionBits[bit])) {
            return static_cast<Reception>(bit + 1);
        }
    }
    return Reception::DmxTransmit;
}

void SetReception(CardConfig& c, Reception r) {
    for (int bit = 0; bit < 4; ++bit) {
        c.Set(kReceptionBits[bit], static_cast<int>(r) == bit + 1);
    }
}

ModeNumbers ShownNumbers(const CardConfig& c, Reception r) {
    if (r == Reception::Midi) {
        return {std::int64_t{c.Get(field::kMidiChannel)} + 1, c.Get(field::kAnimationFirstNote)};
    }
    return {c.Get(field::kSerialAddress), c.Get(field::kFirstAnimationChannel)};
}

void KeepNumbers(CardConfig& c, Reception r, const ModeNumbers& shown) {
    const bool midi = r == Reception::Midi;
    if (shown.addressOrChannel) {
        const std::int64_t v = *shown.addressOrChannel;
        if (midi) {
            c.Set(field::kMidiChannel, Cut(field::kMidiChannel, v - 1));
        } else {
            c.Set(field::kSerialAddress, Cut(field::kSerialAddress, v));
        }
    }
    if (shown.firstChannelOrNote) {
        const std::int64_t v = *shown.firstChannelOrNote;
        if (midi) {
            c.Set(field::kAnimationFirstNote, Cut(field::kAnimationFirstNote, v));
        } else {
            c.Set(field::kFirstAnimationChannel, Cut(field::kFirstAnimationChannel, v));
        }
    }
}

void SetPlayerControl(CardConfig& c, std::int64_t shown) {
    c.Set(field::kPlayerControlChannel, Cut(field::kPlayerControlChannel, shown));
}

}  // namespace animation
