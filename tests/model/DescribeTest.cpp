#include <gtest/gtest.h>

#include "model/Describe.h"
#include "model/InputTable.h"
#include "model/ScheduleSet.h"

namespace {

using describe::InputSentences;

CardConfig CardWithTracks(int count) {
    CardConfig c;
    c.SetDefaults();
    for (int n = 1; n <= count; ++n) {
        c.SetTrackName(n, "TRACK0" + std::to_string(n) + ".MP3");
    }
    return c;
}

const describe::LongNames kNames = [](const std::string& alias) {
    return alias == "TRACK05.MP3" ? std::string("Harbour Bell.wav") : std::string();
};

TEST(Describe, InputSentencesSayWhatEachSideDoes) {
    CardConfig c = CardWithTracks(5);
    c.Set(field::kInputMode, InputSet::Player, 3, inputs::kIndependent);
    c.Set(field::kCloseCode, InputSet::Player, 3, 5);
    c.Set(field::kCloseDelay, InputSet::Player, 3, 20);
    c.Set(field::kCloseFade, InputSet::Player, 3, 3);  // to full
    c.Set(field::kCloseFadeTime, InputSet::Player, 3, 10);
    c.Set(field::kOpenCode, InputSet::Player, 3, 322);  // whatever is next, playlist 3
    c.Set(field::kOpenPlaylist, InputSet::Player, 3, true);
    EXPECT_EQ(InputSentences(c, InputSet::Player, 3, kNames),
              (std::vector<std::string>{
                  "Input 3 closes: start track 5 (Harbour Bell.wav) after 2.0 s, fade to full "
                  "in 1.0 s.",
                  "Input 3 opens: start whatever is next in playlist 3."}));

    // Entry 4 of playlist 2 on a playlist of one; a fade with nothing to start.
    c.Set(field::kInputMode, InputSet::Animation, 1, inputs::kIndependent);
    c.Set(field::kCloseCode, InputSet::Animation, 1, 36);
    c.Set(field::kClosePlaylist, InputSet::Animation, 1, true);
    c.SetPlaylistEntry(1, 0, "TRACK01.MP3");
    c.SetPlaylistCount(1, 1);
    c.Set(field::kOpenFade, InputSet::Animation, 1, 2);
    EXPECT_EQ(InputSentences(c, InputSet::Animation, 1, kNames),
              (std::vector<std::string>{
                  "Animation input 1 closes: start entry 4 of playlist 2, which has 1 entry.",
                  "Animation input 1 opens: fade to 'Half Mute' at once."}));

    EXPECT_EQ(InputSentences(c, InputSet::Player, 0, kNames)[0], "Input 0 is unused.");
    c.SetPlayerModel(PlayerModel::Tunlet);
    EXPECT_TRUE(InputSentences(c, InputSet::Player, 3, kNames).empty());
}

TEST(Describe, BinaryInputsNameTheirGroupAndWhoActsForIt) {
    CardConfig c = CardWithTracks(2);
    inputs::SetMode(c, InputSet::Player, 4, inputs::BinaryMode(1));
    inputs::SetMode(c, InputSet::Player, 6, inputs::BinaryMode(2));
    EXPECT_EQ(InputSentences(c, InputSet::Player, 4, kNames)[0],
              "Input 4 is bit 1 of the binary group of inputs 4 and 6, which has no bit 0 and "
              "so starts nothing.");
    inputs::SetMode(c, InputSet::Player, 2, inputs::BinaryMode(0));
    c.Set(field::kCloseCode, InputSet::Player, 2, playcode::kStopAtEnd);
    EXPECT_EQ(InputSentences(c, InputSet::Player, 2, kNames),
              (std::vector<std::string>{
                  "Input 2 is bit 0 of the binary group of inputs 2, 4 and 6, and sets its "
                  "actions.",
                  "The group closes: stop at the end of the current track.",
                  "The group opens: nothing."}));
    EXPECT_EQ(InputSentences(c, InputSet::Player, 6, kNames)[0],
              "Input 6 is bit 2 of the binary group of inputs 2, 4 and 6; input 2 sets the "
              "group's actions.");
}

TEST(Describe, EndActionsWaitThenAct) {
    CardConfig c = CardWithTracks(3);
    c.Set(field::kEndAction, 1, 2);
    c.Set(field::kEndDelay, 1, 25);
    EXPECT_EQ(describe::EndAction(c, 1, kNames), "wait 2.5 s, then start track 2 (TRACK02.MP3)");
    c.Set(field::kWaitForInput, 1, true);
    c.Set(field::kEndAction, 1, 9);
    EXPECT_EQ(describe::EndAction(c, 1, kNames),
              "wait for an input, then start track 9, which has no file");
    c.Set(field::kEndAction, 2, playcode::kStopNow);
    EXPECT_EQ(describe::EndAction(c, 2, kNames), "stop");
    c.Set(field::kEndAction, 3, 300);
    EXPECT_EQ(describe::EndAction(c, 3, kNames), "do nothing (action code 300 means nothing)");
}

TEST(Describe, ScheduleDaysRunAcrossMonthsAndGroupWeekdays) {
    ScheduleSet s;
    EXPECT_EQ(describe::ScheduleDays(s, 1), "no day");
    for (int d = 19; d < 31; ++d) {
        s.SetDaySchedule(6, d, 1);  // 20 to 31 July
    }
    for (int d = 0; d < 19; ++d) {
        s.SetDaySchedule(7, d, 1);  // 1 to 19 August
    }
    s.SetDaySchedule(1, 30, 1);  // 31 February: no year has it
    s.SetDaySchedule(11, 24, 1);
    for (int m = 2; m <= 4; ++m) {
        s.SetWeekdaySchedule(m, 1, 1);  // Mondays, March to May
    }
    for (int m = 0; m < 12; ++m) {
        s.SetWeekdaySchedule(m, 0, 1);
        s.SetWeekdaySchedule(m, 6, 1);
    }
    EXPECT_EQ(describe::ScheduleDays(s, 1),
              "20 July to 19 August, 25 December; every Sunday and Saturday; every Monday in "
              "March to May");

    for (int m = 0; m < 12; ++m) {
        for (int d = 0; d < 31; ++d) {
            s.SetDaySchedule(m, d, 2);
        }
    }
    EXPECT_EQ(describe::ScheduleDays(s, 2), "every day");

    const CardConfig c = CardWithTracks(5);
    EXPECT_EQ(describe::ScheduleEvent(c, ScheduleSet::MakeEntry(7, 30, true, 5), kNames),
              "07:30 play track 5 (Harbour Bell.wav)");
    EXPECT_EQ(describe::ScheduleEvent(c, ScheduleSet::MakeEntry(19, 0, false, 0), kNames),
              "19:00 start whatever show is next");
}

}  // namespace
