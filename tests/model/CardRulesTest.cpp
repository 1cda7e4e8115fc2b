#include <gtest/gtest.h>

#include "DocFixture.h"
#include "model/TrackReferences.h"

namespace {

using namespace field;

// A configuration with every field the reset touches, and some it must not,
// away from its default.
CardConfig Disturbed(PlayerModel model) {
    CardConfig c;
    c.SetDefaults();
    c.SetPlayerModel(model);
    c.Set(kMainVolumeLeft, 10);
    c.Set(kHalfMuteVolumeRight, 5);
    c.Set(kSerialAddress, 9);
    c.Set(kBassGain, -4);
    c.Set(kTrebleCornerFrequency, 9000);
    c.Set(kPlayerControlChannel, 40);
    c.Set(kPowerAmplifiersFlag, false);
    c.Set(kOptionWord, 0xFFFFFF & ~(1u << 4));
    c.Set(kCloseCode, InputSet::Player, 3, 7);
    c.Set(kInputMode, InputSet::Player, 3, 1);
    c.Set(kInputMode, InputSet::Animation, 0, 4);
    c.Set(kEndAction, 1, playcode::kRandom);
    c.Set(kPowerUpTrack, 2);
    return c;
}

TEST(ResetEverything, PutsTheModelsSettingsBackAndLeavesTheTracks) {
    // A /40 player with 20 files: the animation inputs form a binary number.
    CardConfig c = Disturbed(PlayerModel::TunboxA40);
    c.ResetEverythingToDefaults(20);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(c.Get(kInputMode, InputSet::Player, i), 0u) << i;
        EXPECT_EQ(c.Get(kCloseCode, InputSet::Player, i), 0u) << i;
    }
    EXPECT_EQ(c.Get(kInputMode, InputSet::Animation, 4), 6u);  // binary bit 4
    EXPECT_EQ(c.Get(kPlayerControlChannel), 5u);
    EXPECT_EQ(c.Get(kLevelControlChannelLeft), 6u);
    EXPECT_EQ(c.Get(kLevelControlChannelRight), 7u);
    EXPECT_EQ(c.Get(kMainVolumeLeft), 60u);
    EXPECT_EQ(c.Get(kHalfMuteVolumeRight), 30u);
    EXPECT_EQ(c.Get(kSerialAddress), 0u);
    EXPECT_EQ(c.Get(kBassGain), 0);
    EXPECT_EQ(c.Get(kTrebleCornerFrequency), 15000u);
    // Option bits 0-10 to their defaults; the clock flags, reserved bits and
    // the derived animation input mask as they were.
    EXPECT_EQ(c.Get(kOptionWord), (0xFFFFFFu & ~0x7FFu) | (1u << 4) | (1u << 8));
    EXPECT_EQ(c.Get(kEndAction, 1), playcode::kRandom);
    EXPECT_EQ(c.Get(kPowerUpTrack), 2u);
    EXPECT_TRUE(c.IsModel(PlayerModel::TunboxA40));

    // An audio-only player resets its own input table only; a model without
    // a clock leaves the clock flags alone.
    c = Disturbed(PlayerModel::Tunbox);
    c.ResetEverythingToDefaults(3);
    EXPECT_EQ(c.Get(kCloseCode, InputSet::Player, 0), 1u);
    EXPECT_EQ(c.Get(kInputMode, InputSet::Player, 3), 0u);
    EXPECT_EQ(c.Get(kInputMode, InputSet::Animation, 0), 4u);
    EXPECT_EQ(c.Get(kPlayerControlChannel), 1u);
    EXPECT_TRUE(c.Get(kNoBlueStartsFlag));
}

TEST_F(DocFixture, ResetEverythingGivesClockModelsTheirResetTime) {
    CardConfig& c = *doc->GetConfig();
    c = Disturbed(PlayerModel::TunboxC8);
    c.Set(kResetClockFlag, false);
    doc->ResetEverythingToDefaults();
    EXPECT_EQ(doc->Schedules().ResetTime(), (std::array<std::uint8_t, 3>{0x03, 0x05, 0x01}));
    EXPECT_TRUE(c.Get(kResetClockFlag));
    EXPECT_FALSE(c.Get(kNoBlueStartsFlag));
    EXPECT_EQ(c.Get(kPlayerControlChannel), 1u);  // the /8 models keep the common channels
}

TEST(CardRules, TracksTradeFilesAndSettingsAndPlaylistsCloseTheirGaps) {
    CardConfig c;
    c.SetDefaults();
    c.SetTrackName(1, "A.MP3");
    c.Set(kEndAction, 1, playcode::kRandom);
    c.Set(kPlaylistSlot, 1, 9);
    c.SetTrackName(4, "D.MP3");
    c.Set(kEndDelay, 4, 25);
    c.SwapTracks(1, 4);
    EXPECT_EQ(c.TrackName(1), "D.MP3");
    EXPECT_EQ(c.Get(kEndDelay, 1), 25u);
    EXPECT_EQ(c.Get(kEndAction, 1), 0u);
    EXPECT_EQ(c.TrackName(4), "A.MP3");
    EXPECT_EQ(c.Get(kEndAction, 4), playcode::kRandom);
    EXPECT_EQ(c.Get(kPlaylistSlot, 4), 9u);

    const auto entries = [&](int p) {
        std::string all;
        for (int k = 0; k < static_cast<int>(c.PlaylistCount(p)); ++k) {
            all += c.PlaylistEntry(p, k).substr(0, 1);
        }
        return all;
    };
    for (const char* name : {"A.MP3", "B.MP3", "C.MP3", "D.MP3", "E.MP3"}) {
        c.SetPlaylistEntry(2, static_cast<int>(c.PlaylistCount(2)), name);
        c.SetPlaylistCount(2, c.PlaylistCount(2) + 1);
    }
    EXPECT_TRUE(c.MovePlaylistEntries(2, {1, 2}, -1));
    EXPECT_EQ(entries(2), "BCADE");
    EXPECT_FALSE(c.MovePlaylistEntries(2, {0, 1}, -1));
    EXPECT_FALSE(c.MovePlaylistEntries(2, {4}, +1));
    EXPECT_TRUE(c.MovePlaylistEntries(2, {2, 3}, +1));
    EXPECT_EQ(entries(2), "BCEAD");
    c.RemovePlaylistEntries(2, {0, 2, 7});
    EXPECT_EQ(entries(2), "CAD");
    EXPECT_TRUE(c.PlaylistEntry(2, 3).empty());
    EXPECT_EQ(layout::PlaylistSlot(2, 0), 65);
}

}  // namespace

TEST(TrackReferences, SettingsThatNameATrackWithoutAFile) {
    CardConfig c;
    c.SetDefaults();
    c.SetTrackName(1, "ONE.MP3");
    c.SetTrackName(3, "THREE.MP3");
    const CardConfig before = c;
    c.SetTrackName(3, "");
    c.SetTrackName(4, "FOUR.MP3");
    const auto changes = trackrefs::CompareTrackLists(before, c);
    EXPECT_EQ(changes.added, std::vector<std::string>{"FOUR.MP3"});
    EXPECT_EQ(changes.removed, std::vector<std::string>{"THREE.MP3"});

    c.Set(field::kPowerUpTrack, 3);
    c.Set(field::kEndAction, 1, 3);
    c.Set(field::kEndAction, 4, playcode::kRandom);
    c.Set(field::kInputMode, InputSet::Player, 0, inputs::kUnused);
    c.Set(field::kCloseCode, InputSet::Player, 0, 3);  // an unused input plays nothing
    c.Set(field::kInputMode, InputSet::Player, 1, inputs::kIndependent);
    c.Set(field::kOpenCode, InputSet::Player, 1, 5 + 32);
    c.Set(field::kOpenPlaylist, InputSet::Player, 1, true);
    using Kind = trackrefs::EmptyReference::Kind;
    std::vector<Kind> kinds;
    for (const auto& r : trackrefs::FindEmptyReferences(c)) {
        kinds.push_back(r.kind);
    }
    EXPECT_EQ(kinds, (std::vector<Kind>{Kind::PowerUp, Kind::EndAction, Kind::InputPlaylistEntry}));
}
