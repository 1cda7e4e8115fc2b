#include <gtest/gtest.h>

#include "model/InputTable.h"
#include "model/LevelChannels.h"

namespace {

using namespace inputs;
using Kind = InputAction::Kind;
using Fade = InputAction::Fade;

TEST(InputAction, DecodesWhatThePageShowsAndEncodesItBack) {
    // The choice index stands for the choice: 0 to 3 fixed, 3 + n for number n.
    struct Row {
        const char* name;
        StoredAction stored;
        Kind kind;
        int scope, choiceIndex;
        Fade fade;
    } const rows[] = {
        {"next in playlist 3", {322, true, 25}, Kind::Start, 3, 0, Fade::None},
        {"track 12", {12, false, 0, 3, 15}, Kind::Start, 0, 15, Fade::ToFull},
        {"playlist 2 position 4", {36, true, 0, 1, 9}, Kind::Start, 2, 7, Fade::ToZero},
        {"a track the card lacks", {200, false}, Kind::Start, 0, 203, Fade::None},
        {"random in playlist 8", {485, true, 0, 2, 99}, Kind::Start, 8, 3, Fade::ToHalfMute},
        {"stop at the end", {257, false, 40}, Kind::Stop, 0, -1, Fade::None},
        {"pause", {262, false}, Kind::PauseResume, 0, -1, Fade::None},
    };
    for (const Row& row : rows) {
        const InputAction a = InputAction::Decode(row.stored);
        EXPECT_EQ(a.kind, row.kind) << row.name;
        EXPECT_EQ(a.scope, row.scope) << row.name;
        EXPECT_EQ(a.ChoiceIndex(), row.choiceIndex) << row.name;
        EXPECT_EQ(a.fade, row.fade) << row.name;
        EXPECT_EQ(a.Encode(), row.stored) << row.name;
    }
    EXPECT_EQ(InputAction::Decode({263}).Encode(), StoredAction{});  // names no action
}

TEST(InputAction, EncodesWhatThePageCollects) {
    InputAction a;
    a.kind = Kind::Start;
    a.delay = 55;
    a.SelectChoice(15);
    EXPECT_EQ(a.Encode(), (StoredAction{12, false, 55}));
    a.scope = 2;
    a.SelectChoice(7);
    a.SelectChoice(-1);  // a position missing from the rebuilt list stays
    EXPECT_EQ(a.Encode().code, 36u);
    a.number = 32;  // beyond what a playlist holds: whatever is next in it
    EXPECT_EQ(a.Encode().code, 258u + 32u);
    // A new scope keeps the shown index where it has one; no other number.
    a.ChangeScope(0, 7, 14);
    EXPECT_EQ(a.Encode().code, 4u);
    a.ChangeScope(2, 15, 5);
    EXPECT_EQ(a.ChoiceIndex(), -1);
    EXPECT_EQ(a.Encode().code, 290u);
    a.SelectChoice(-1);
    EXPECT_EQ(a.Encode().code, 290u);
    a.kind = Kind::PauseResume;
    EXPECT_EQ(a.Encode(), (StoredAction{262, false, 0}));
}

TEST(InputTable, ModesAndTheirTexts) {
    CardConfig c;
    c.SetDefaults();
    constexpr InputSet kSet = InputSet::Player;
    SetAllUnused(c, kSet);
    SetMode(c, kSet, 5, BinaryMode(1));
    SetMode(c, kSet, 6, BinaryMode(0));
    EXPECT_EQ(BinaryGroupDisplay(c, kSet), std::string(26, ' ') + "5  6 ");
    SetAllBinary(c, kSet);
    EXPECT_EQ(BinaryGroupDisplay(c, kSet), "  7  6  5  4  3  2  1  0 ");
    SetMode(c, InputSet::Animation, 3, BinaryMode(6));
    RecomputeBinaryMasks(c);
    EXPECT_EQ(c.Get(field::kBinaryBitMask), 0xFFu);
    EXPECT_EQ(c.Get(field::kAnimationBinaryBitMask), 0x40u);
    c.SetTrackName(9, "NINE.MP3");
    c.SetPlaylistCount(1, 5);
    EXPECT_EQ(NumberedChoices(c, InputAction::kAllTracks), 9);
    EXPECT_EQ(NumberedChoices(c, 2), 5);  // playlist 2

    c.SetPlayerModel(PlayerModel::Tunlet);
    ApplyInputCount(c, kSet);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(c.Get(field::kInputMode, kSet, i), i < 2 ? BinaryMode(i) : kUnused) << i;
    }
}

TEST(InputTable, AnimationMasksFollowTheActionsThatStart) {
    CardConfig c;
    c.SetDefaults();
    c.SetPlayerModel(PlayerModel::TunboxA8);
    c.Set(field::kPlayerModelWord, c.Get(field::kPlayerModelWord) | CardConfig::kModelBit4);
    constexpr InputSet kSet = InputSet::Animation;
    const auto set = [&](int i, std::uint32_t mode, StoredAction close, StoredAction open) {
        SetMode(c, kSet, i, mode);
        WriteAction(c, kSet, i, Side::Close, InputAction::Decode(close));
        WriteAction(c, kSet, i, Side::Open, InputAction::Decode(open));
    };
    set(0, kIndependent, {3}, {0});
    set(1, BinaryMode(0), {259}, {256});
    set(2, BinaryMode(1), {0}, {258});   // the group's actions count, not its own
    set(3, kIndependent, {256}, {257});  // 4, 6 and 7 stay unused
    set(5, kIndependent, {0}, {258 + 4 * 32, true});
    RecomputeAnimationInputMasks(c);
    EXPECT_EQ(c.Get(field::kAnimationInputMaskA), 0x07u);
    EXPECT_EQ(c.Get(field::kAnimationInputMaskB), 0x20u);

    SetMode(c, kSet, 1, BinaryMode(2));  // a group without bit 0 starts nothing
    RecomputeAnimationInputMasks(c);
    EXPECT_EQ(c.Get(field::kAnimationInputMaskA), 0x01u);

    c.Set(field::kPlayerModelWord, c.Get(field::kPlayerModelWord) & ~CardConfig::kModelBit4);
    RecomputeAnimationInputMasks(c);
    EXPECT_EQ(c.Get(field::kAnimationInputMaskA), 0u);
    EXPECT_EQ(c.Get(field::kAnimationInputMaskB), 0u);
}

TEST(LevelChannels, RangeOffsetAndEnablingFollowTheReception) {
    struct Row {
        const char* name;
        const Field<bool>* reception;
        bool checksum;
        int low, high;
        bool enabled;
    } const rows[] = {
        {"MIDI", &field::kMidiReception, false, 0, 127, true},
        {"DMX with checksum", &field::kDmxReception, true, 0, 255, true},
        {"DMX", &field::kDmxReception, false, 1, 512, true},
        {"NetSerial", &field::kNetSerialReception, true, 0, 512, false},
        {"IR remote", &field::kIrRemoteReception, false, 0, 512, false},
        {"no reception", nullptr, false, 0, 512, true},
    };
    for (const Row& row : rows) {
        CardConfig c;
        c.SetDefaults();
        if (row.reception) {
            c.Set(*row.reception, true);
        }
        c.Set(field::kDmxChecksumFlag, row.checksum);
        const LevelChannels channels(c);
        EXPECT_EQ(channels.Low(), row.low) << row.name;
        EXPECT_EQ(channels.High(), row.high) << row.name;
        EXPECT_EQ(channels.Enabled(true), row.enabled) << row.name;
        EXPECT_FALSE(channels.Enabled(false)) << row.name;
        EXPECT_EQ(channels.Shown(0), row.low) << row.name;
        EXPECT_EQ(channels.Stored(12), 12u - static_cast<unsigned>(row.low)) << row.name;
        EXPECT_EQ(channels.Stored(0).has_value(), row.low == 0) << row.name;
        EXPECT_FALSE(channels.Stored(0x10000 + row.low)) << row.name;
    }
}

}  // namespace
