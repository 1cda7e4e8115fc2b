#include <gtest/gtest.h>

#include "model/CardConfig.h"
#include "model/DocumentState.h"

namespace {

TEST(CardConfig, NamesPackThreeCharactersToAWord) {
    struct Row {
        const char* text;
        std::uint32_t words[4];
        const char* unpacked;
    };
    const Row rows[] = {
        {"TRACK01.MP3", {0x415254, 0x304B43, 0x4D2E31, 0x003350}, "TRACK01.MP3"},
        // Twelve characters fill every byte and need no terminator; more are cut.
        {"ABCDEFGH.WAV", {0x434241, 0x464544, 0x2E4847, 0x564157}, "ABCDEFGH.WAV"},
        {"ABCDEFGHIJKLMNOP", {0x434241, 0x464544, 0x494847, 0x4C4B4A}, "ABCDEFGHIJKL"},
        {"", {0, 0, 0, 0}, ""},
    };
    for (const Row& row : rows) {
        std::uint32_t words[4] = {1, 1, 1, 1};
        PackName(row.text, words);
        EXPECT_TRUE(std::equal(words, words + 4, row.words)) << row.text;
        EXPECT_EQ(UnpackName(words), row.unpacked);
    }
}

TEST(CardConfig, FieldsStayInsideTheirWords) {
    CardConfig c;
    c.SetDefaults();
    c.Set(field::kMainVolumeRight, 62);
    c.Set(field::kHalfMuteVolumeLeft, 0);
    EXPECT_EQ(c.Get(field::kMainVolumeLeft), 60u);
    EXPECT_EQ(c.Get(field::kHalfMuteVolumeRight), 30u);
    c.Set(field::kMainVolumeLeft, 63);
    EXPECT_EQ(c.Get(field::kMainVolumeRight), 62u);
    // A value wider than its field is refused, not cut down into it.
    EXPECT_FALSE(CardConfig::Fits(field::kMainVolumeLeft, 64u));
    EXPECT_TRUE(CardConfig::Fits(field::kBassGain, -(1 << 23)));
    EXPECT_FALSE(CardConfig::Fits(field::kBassGain, 1 << 23));
    EXPECT_DEBUG_DEATH(c.Set(field::kMainVolumeLeft, 64), "Fits");

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

    // The gains are 24-bit two's complement. A stamp spans three words, the
    // top sixteen bits held sign-extended to the word.
    c.Set(field::kBassGain, -3);
    EXPECT_EQ(c.Word(15), 0xFFFFFDu);
    EXPECT_EQ(c.Get(field::kBassGain), -3);
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

TEST(CardConfig, InputDefaultsFollowTheTrackCount) {
    // Per input 0 to 7: close code, mode and close fade. The last row is a
    // cleared set.
    struct Row {
        int tracks;
        std::uint32_t code[8], mode[8], fade[8];
    };
    const Row rows[] = {
        {3, {1, 2, 3, 0, 0, 0, 0, 256}, {1, 1, 1, 0, 1, 1, 1, 1}, {0, 0, 0, 0, 3, 2, 1, 0}},
        {8, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 1, 1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0, 0, 0}},
        {20, {259, 0, 0, 0, 0, 0, 0, 256}, {2, 3, 4, 5, 6, 1, 1, 1}, {0, 0, 0, 0, 0, 2, 1, 0}},
        {100, {259, 0, 0, 0, 0, 0, 0, 256}, {2, 3, 4, 5, 6, 7, 8, 1}, {0, 0, 0, 0, 0, 0, 0, 0}},
        {200, {259, 0, 0, 0, 0, 0, 0, 0}, {2, 3, 4, 5, 6, 7, 8, 9}, {0, 0, 0, 0, 0, 0, 0, 0}},
        {-1, {0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        for (const InputSet set : {InputSet::Player, InputSet::Animation}) {
            // The other set holds the 8-track defaults and must keep them.
            const InputSet other = set == InputSet::Player ? InputSet::Animation : InputSet::Player;
            CardConfig c;
            c.ApplyInputDefaults(other, 8);
            if (row.tracks < 0) {
                c.ClearInputSet(set);
            } else {
                c.ApplyInputDefaults(set, row.tracks);
            }
            EXPECT_EQ(c.Get(field::kCloseCode, other, 7), 8u);
            for (int i = 0; i < 8; ++i) {
                SCOPED_TRACE(std::to_string(row.tracks) + " tracks, input " + std::to_string(i));
                EXPECT_EQ(c.Get(field::kCloseCode, set, i), row.code[i]);
                EXPECT_EQ(c.Get(field::kInputMode, set, i), row.mode[i]);
                EXPECT_EQ(c.Get(field::kCloseFade, set, i), row.fade[i]);
                EXPECT_EQ(c.Get(field::kCloseFadeTime, set, i), 10u);
                EXPECT_EQ(c.InputRecordWord(set, i, 1), 0u);
                EXPECT_EQ(c.Get(field::kOpenFade, set, i), 0u);
            }
        }
    }
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
    // An empty entry names no track, not the first unnamed slot.
    c.SetPlaylistCount(4, 2);
    c.SetPlaylistEntry(4, 1, "A.MP3");

    c.RebuildPlaylistSlots();
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 1), 7u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 2), 0u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 3), 3u);
    EXPECT_EQ(c.PlaylistCount(2), 0u);
    EXPECT_EQ(c.PlaylistEntry(2, 0), "");
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 1 + 64), 0u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 200), 0u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 1 + 32 * 7 + 30), 3u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 1 + 32 * 4), 0u);
    EXPECT_EQ(c.Get(field::kPlaylistSlot, 1 + 32 * 4 + 1), 3u);
    // The slot values live beside the track settings without touching them.
    EXPECT_EQ(c.Get(field::kFilePosition, 1), 0u);

    // A count beyond the playlist reads as empty, wherever it is asked.
    c.SetPlaylistCount(6, 200);
    EXPECT_EQ(c.PlaylistCount(6), 0u);
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

// A change that comes back to its start leaves the files alone.
TEST(StateChange, FoldedChangesUndoAndRedoExactly) {
    DocumentState start;
    start.config.SetDefaults();
    start.scheduleNames = {"", "Mornings"};
    DocumentState middle = start;
    middle.config.Set(field::kEndDelay, 3, 25u);
    middle.config.Set(field::kPowerUpTrack, 2u);
    DocumentState end = middle;
    end.config.Set(field::kEndDelay, 3, 40u);
    end.config.Set(field::kMainVolumeLeft, 7u);
    end.schedules.AddScheduleEntry(1, ScheduleSet::MakeEntry(8, 0, true, 3));
    end.scheduleNames[1] = "Evenings";

    StateChange change(start, middle);
    change.Extend(StateChange(middle, end));
    EXPECT_FALSE(change.LeavesFilesAlone());
    DocumentState state = end;
    change.Undo(state);
    EXPECT_EQ(state.config, start.config);
    EXPECT_TRUE(state.schedules.SameFileContent(start.schedules));
    EXPECT_EQ(state.scheduleNames, start.scheduleNames);
    change.Redo(state);
    EXPECT_EQ(state.config, end.config);
    EXPECT_TRUE(state.schedules.SameFileContent(end.schedules));
    EXPECT_EQ(state.scheduleNames, end.scheduleNames);

    // Typed back: the delay returns to where it was.
    StateChange typed(start, middle);
    typed.Extend(StateChange(middle, start));
    EXPECT_TRUE(typed.LeavesFilesAlone());
}
