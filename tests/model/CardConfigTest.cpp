#include <gtest/gtest.h>

#include "model/CardConfig.h"

namespace {

TEST(CardConfig, NamesPackThreeCharactersToAWord) {
    std::uint32_t words[4];
    PackName("TRACK01.MP3", words);
    EXPECT_EQ(words[0], 0x415254u);
    EXPECT_EQ(words[1], 0x304B43u);
    EXPECT_EQ(words[2], 0x4D2E31u);
    EXPECT_EQ(words[3], 0x003350u);
    EXPECT_EQ(UnpackName(words), "TRACK01.MP3");

    // Twelve characters fill every byte and need no terminator; more are cut.
    PackName("ABCDEFGH.WAV", words);
    EXPECT_EQ(words[3], 0x564157u);
    EXPECT_EQ(UnpackName(words), "ABCDEFGH.WAV");
    PackName("ABCDEFGHIJKLMNOP", words);
    EXPECT_EQ(UnpackName(words), "ABCDEFGHIJKL");

    PackName(std::string_view(), words);
    EXPECT_EQ(words[0] | words[1] | words[2] | words[3], 0u);
    EXPECT_EQ(UnpackName(words), "");
}

TEST(CardConfig, FieldsStayInsideTheirBits) {
    CardConfig c;
    c.SetDefaults();
    c.Set(field::kMainVolumeRight, 63);
    c.Set(field::kHalfMuteVolumeLeft, 0);
    EXPECT_EQ(c.Get(field::kMainVolumeLeft), 60u);
    EXPECT_EQ(c.Get(field::kHalfMuteVolumeRight), 30u);
    // A value wider than its field is refused, not cut down into it.
    EXPECT_FALSE(CardConfig::Fits(field::kMainVolumeLeft, 64u));
    EXPECT_TRUE(CardConfig::Fits(field::kBassGain, -(1 << 23)));
    EXPECT_FALSE(CardConfig::Fits(field::kBassGain, 1 << 23));
    EXPECT_DEBUG_DEATH(c.Set(field::kMainVolumeLeft, 64), "Fits");
    EXPECT_EQ(c.Get(field::kMainVolumeRight), 63u);

    c.Set(field::kEndAction, 5, playcode::kRandom);
    c.Set(field::kEndDelay, 5, 16383);
    c.Set(field::kStepOn, 5, true);
    EXPECT_EQ(c.Word(layout::TrackWord(5)), (16383u << 10) | (261u << 1) | 1u);
    c.Set(field::kPlaylistSlot, 5, 200);
    c.Set(field::kFilePosition, 5, 1023);
    c.Set(field::kWaitForInput, 5, true);
    EXPECT_EQ(c.Word(layout::TrackWord(5) + 1), (200u << 16) | (1023u << 6) | 1u);

    c.Set(field::kPlaylistRemember, 5, true);
    EXPECT_EQ(c.Word(71), 1u << 11);
    EXPECT_EQ(c.Get(field::kPlaylistOptions, 5), 0x20u);
}

TEST(CardConfig, GainsAreSigned24BitAndStampsSpanThreeWords) {
    CardConfig c;
    c.Set(field::kBassGain, -3);
    EXPECT_EQ(c.Word(15), 0xFFFFFDu);
    EXPECT_EQ(c.Get(field::kBassGain), -3);
    c.Set(field::kTrebleGain, 12);
    EXPECT_EQ(c.Get(field::kTrebleGain), 12);

    const std::uint64_t stamp = 0x01D2'3456'789A'BCDEull;
    c.Set(field::kChosenDownloadStamp, stamp);
    EXPECT_EQ(c.Word(2679), 0x9ABCDEu);
    EXPECT_EQ(c.Word(2680), 0x345678u);
    EXPECT_EQ(c.Word(2681), 0x0001D2u);
    EXPECT_EQ(c.Get(field::kChosenDownloadStamp), stamp);
    // The top sixteen bits are held sign-extended to the word.
    c.Set(field::kCurrentDownloadStamp, 0xF000'0000'0000'0001ull);
    EXPECT_EQ(c.Word(2684), 0xFFF000u);
    EXPECT_EQ(c.Get(field::kCurrentDownloadStamp), 0xF000'0000'0000'0001ull);
}

TEST(CardConfig, PlayerModelsSetTheirBitsAndKeepOthers) {
    CardConfig c;
    c.Set(field::kPlayerModelWord, CardConfig::kModelBit4 | 0x40);
    c.SetPlayerModel(PlayerModel::TunboxC40);
    EXPECT_EQ(c.Get(field::kPlayerModelWord), 0x40u | 0x10u | 0x0Cu);
    const PlayerModel all[] = {PlayerModel::Tunlet,   PlayerModel::Tunbox,
                               PlayerModel::TunboxA8, PlayerModel::TunboxA40,
                               PlayerModel::TunboxC8, PlayerModel::TunboxC40};
    for (PlayerModel m : all) {
        c.SetPlayerModel(m);
        for (PlayerModel other : all) {
            EXPECT_EQ(c.IsModel(other), other == m);
        }
    }
}

struct InputExpectation {
    std::uint32_t code, mode, closeFade;
};

void ExpectInputs(const CardConfig& c, InputSet set, const InputExpectation (&want)[8]) {
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE("input " + std::to_string(i));
        EXPECT_EQ(c.Get(field::kCloseCode, set, i), want[i].code);
        EXPECT_EQ(c.Get(field::kInputMode, set, i), want[i].mode);
        EXPECT_EQ(c.Get(field::kCloseFade, set, i), want[i].closeFade);
        EXPECT_EQ(c.Get(field::kCloseFadeTime, set, i), 10u);
        EXPECT_EQ(c.InputRecordWord(set, i, 1), 0u);
        EXPECT_EQ(c.Get(field::kOpenFade, set, i), 0u);
    }
}

TEST(CardConfig, InputDefaultsFollowTheTrackCount) {
    CardConfig c;
    c.ApplyInputDefaults(InputSet::Player, 3);
    ExpectInputs(
        c, InputSet::Player,
        {{1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {0, 0, 0}, {0, 1, 3}, {0, 1, 2}, {0, 1, 1}, {256, 1, 0}});
    c.ApplyInputDefaults(InputSet::Player, 8);
    ExpectInputs(
        c, InputSet::Player,
        {{1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {4, 1, 0}, {5, 1, 0}, {6, 1, 0}, {7, 1, 0}, {8, 1, 0}});
    c.ApplyInputDefaults(InputSet::Animation, 100);
    ExpectInputs(c, InputSet::Animation,
                 {{259, 2, 0},
                  {0, 3, 0},
                  {0, 4, 0},
                  {0, 5, 0},
                  {0, 6, 0},
                  {0, 7, 0},
                  {0, 8, 0},
                  {256, 1, 0}});
    c.ApplyInputDefaults(InputSet::Animation, 200);
    EXPECT_EQ(c.Get(field::kCloseCode, InputSet::Animation, 7), 0u);
    EXPECT_EQ(c.Get(field::kInputMode, InputSet::Animation, 7), 9u);
    c.ApplyInputDefaults(InputSet::Animation, 20);
    ExpectInputs(c, InputSet::Animation,
                 {{259, 2, 0},
                  {0, 3, 0},
                  {0, 4, 0},
                  {0, 5, 0},
                  {0, 6, 0},
                  {0, 1, 2},
                  {0, 1, 1},
                  {256, 1, 0}});
    // The player set was not touched by the animation defaults.
    EXPECT_EQ(c.Get(field::kCloseCode, InputSet::Player, 7), 8u);

    c.ClearInputSet(InputSet::Player);
    ExpectInputs(
        c, InputSet::Player,
        {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
}

TEST(CardConfig, PlaylistSlotsFollowTheEntryNames) {
    CardConfig c;
    c.SetTrackName(3, "A.MP3");
    c.SetTrackName(7, "B.MP3");
    c.SetTrackName(9, "B.MP3");            // a duplicate name: the lowest track wins
    c.Set(field::kPlaylistSlot, 200, 77);  // stale value, cleared by the rebuild
    c.SetPlaylistCount(0, 3);
    c.SetPlaylistEntry(0, 0, "B.MP3");
    c.SetPlaylistEntry(0, 1, "GONE.MP3");
    c.SetPlaylistEntry(0, 2, "A.MP3");
    c.SetPlaylistCount(2, 32);  // more than a playlist can hold
    c.SetPlaylistEntry(2, 0, "A.MP3");
    c.SetPlaylistCount(7, 31);
    c.SetPlaylistEntry(7, 30, "A.MP3");

    c.RebuildPlaylistSlots();
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 1), 7u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 2), 0u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 3), 3u);
    EXPECT_EQ(c.PlaylistCount(2), 0u);
    EXPECT_EQ(c.PlaylistEntry(2, 0), "");
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 1 + 64), 0u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 200), 0u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 1 + 32 * 7 + 30), 3u);

    // An empty entry names no track, not the first unnamed slot.
    c.SetPlaylistCount(4, 2);
    c.SetPlaylistEntry(4, 1, "A.MP3");
    c.RebuildPlaylistSlots();
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 1 + 32 * 4), 0u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 1 + 32 * 4 + 1), 3u);

    // A count beyond the playlist reads as empty, wherever it is asked.
    c.SetPlaylistCount(6, 200);
    EXPECT_EQ(c.PlaylistCount(6), 0u);
    EXPECT_EQ(c.RawPlaylistCount(6), 200u);
    // The slot values live beside the track settings without touching them.
    EXPECT_EQ(c.Get(field::kFilePosition, 1), 0u);
}

TEST(CardConfig, ClearedTrackKeepsItsPlaylistSlot) {
    CardConfig c;
    c.SetTrackName(4, "X.WAV");
    c.Set(field::kEndDelay, 4, 99);
    c.Set(field::kFilePosition, 4, 12);
    c.Set(field::kPlaylistSlot, 4, 9);
    c.ClearTrack(4);
    EXPECT_EQ(c.TrackRecordWord(4, 0), 0x201u);
    EXPECT_TRUE(c.Get(field::kWaitForInput, 4));
    EXPECT_EQ(c.Get(field::kFilePosition, 4), 0u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 4), 9u);
    EXPECT_FALSE(c.TrackExists(4));

    // A name is its bytes up to the first zero: a zero first byte is no name.
    c.SetWord(layout::kTrackNamesWord + 4 * 4, 0x004100);
    EXPECT_EQ(c.TrackName(4), "");
    EXPECT_FALSE(c.TrackExists(4));
}

}  // namespace
