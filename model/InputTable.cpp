#include "model/InputTable.h"

#include "model/Text.h"

namespace inputs {

namespace {

struct SideFields {
    InputField<std::uint32_t> code;
    InputField<bool> playlist;
    InputField<std::uint32_t> delay;
    InputField<std::uint32_t> fade;
    InputField<std::uint32_t> fadeTime;
};

constexpr SideFields kClose{field::kCloseCode, field::kClosePlaylist, field::kCloseDelay,
                            field::kCloseFade, field::kCloseFadeTime};
constexpr SideFields kOpen{field::kOpenCode, field::kOpenPlaylist, field::kOpenDelay,
                           field::kOpenFade, field::kOpenFadeTime};

const SideFields& FieldsOf(Side side) {
    return side == Side::Close ? kClose : kOpen;
}

std::uint32_t Mode(const CardConfig& c, InputSet set, int input) {
    return c.Get(field::kInputMode, set, input);
}

// The input that is binary bit `bit`, or -1. A file written elsewhere may
// give a bit to several inputs; the lowest one counts.
int InputOfBit(const CardConfig& c, InputSet set, int bit) {
    for (int i = 0; i < layout::kInputCount; ++i) {
        if (BinaryBit(Mode(c, set, i)) == bit) {
            return i;
        }
    }
    return -1;
}

std::uint32_t BinaryMask(const CardConfig& c, InputSet set) {
    std::uint32_t mask = 0;
    for (int i = 0; i < layout::kInputCount; ++i) {
        if (const int bit = BinaryBit(Mode(c, set, i)); bit >= 0) {
            mask |= 1u << bit;
        }
    }
    return mask;
}

}  // namespace

InputAction ReadAction(const CardConfig& c, InputSet set, int input, Side side) {
    const SideFields& f = FieldsOf(side);
    return InputAction::Decode({c.Get(f.code, set, input), c.Get(f.playlist, set, input),
                                c.Get(f.delay, set, input), c.Get(f.fade, set, input),
                                c.Get(f.fadeTime, set, input)});
}

void WriteAction(CardConfig& c, InputSet set, int input, Side side, const InputAction& action) {
    const SideFields& f = FieldsOf(side);
    const StoredAction s = action.Encode();
    c.Set(f.code, set, input, s.code);
    c.Set(f.playlist, set, input, s.playlist);
    c.Set(f.delay, set, input, s.delay);
    c.Set(f.fade, set, input, s.fade);
    c.Set(f.fadeTime, set, input, s.fadeTime);
}

void SetMode(CardConfig& c, InputSet set, int input, std::uint32_t mode) {
    if (BinaryBit(mode) >= 0) {
        for (int i = 0; i < layout::kInputCount; ++i) {
            if (Mode(c, set, i) == mode) {
                c.Set(field::kInputMode, set, i, kUnused);
            }
        }
    }
    c.Set(field::kInputMode, set, input, mode);
}

void SetAllUnused(CardConfig& c, InputSet set) {
    for (int i = 0; i < layout::kInputCount; ++i) {
        c.Set(field::kInputMode, set, i, kUnused);
    }
}

void SetAllIndependent(CardConfig& c, InputSet set) {
    for (int i = 0; i < layout::kInputCount; ++i) {
        c.Set(field::kInputMode, set, i, kIndependent);
    }
}

void SetAllBinary(CardConfig& c, InputSet set) {
    for (int i = 0; i < layout::kInputCount; ++i) {
        c.Set(field::kInputMode, set, i, BinaryMode(i));
    }
}

void ApplyInputCount(CardConfig& c, InputSet set) {
    for (int i = c.InputCount(); i < layout::kInputCount; ++i) {
        c.Set(field::kInputMode, set, i, kUnused);
    }
}

void RecomputeBinaryMasks(CardConfig& c) {
    c.Set(field::kBinaryBitMask, BinaryMask(c, InputSet::Player));
    c.Set(field::kAnimationBinaryBitMask, BinaryMask(c, InputSet::Animation));
}

void RecomputeAnimationInputMasks(CardConfig& c) {
    constexpr InputSet kSet = InputSet::Animation;
    std::uint32_t closing = 0;
    std::uint32_t opening = 0;
    if ((c.Get(field::kPlayerModelWord) & CardConfig::kModelBit4) != 0) {
        const int group = InputOfBit(c, kSet, 0);
        for (int i = 0; i < layout::kInputCount; ++i) {
            const int source = BinaryBit(Mode(c, kSet, i)) >= 0 ? group : i;
            if (source < 0) {
                continue;
            }
            if (ReadAction(c, kSet, source, Side::Close).IsStart()) {
                closing |= 1u << i;
            }
            if (ReadAction(c, kSet, source, Side::Open).IsStart()) {
                opening |= 1u << i;
            }
        }
    }
    c.Set(field::kAnimationInputMaskA, closing);
    c.Set(field::kAnimationInputMaskB, opening);
}

int NumberedChoices(const CardConfig& c, int scope) {
    if (scope >= 1 && scope <= layout::kPlaylistCount) {
        return static_cast<int>(c.PlaylistCount(scope - 1));
    }
    for (int n = layout::kMaxTrack; n >= 1; --n) {
        if (c.TrackExists(n)) {
            return n;
        }
    }
    return 0;
}

std::string InputListEntry(int input, std::uint32_t mode) {
    const std::string number = std::to_string(input);
    if (const int bit = BinaryBit(mode); bit >= 0) {
        return text::Concat({number, " is Binary bit ", std::to_string(bit), "."});
    }
    // The four-bit field has room for modes no page writes; they do nothing.
    return text::Concat({number, mode == kIndependent ? " is Independent." : " is Unused."});
}

std::string BinaryGroupDisplay(const CardConfig& c, InputSet set) {
    std::string text;
    for (int bit = kBinaryBits - 1; bit >= 0; --bit) {
        const int input = InputOfBit(c, set, bit);
        text.append(2, ' ');
        text.push_back(input >= 0 ? static_cast<char>('0' + input) : ' ');
        if (input < 0) {
            text.push_back(' ');
        }
    }
    text.push_back(' ');
    return text;
}

}  // namespace inputs
