#include <gtest/gtest.h>

#include <cstring>

#include "DocFixture.h"
#include "model/ScheduleText.h"

namespace {

std::uint32_t At(int hour, int minute, bool track, int number) {
    return ScheduleSet::MakeEntry(hour, minute, track, number);
}

void Put24(Bytes& b, std::size_t at, std::size_t v) {
    b[at] = v & 0xFF, b[at + 1] = (v >> 8) & 0xFF, b[at + 2] = (v >> 16) & 0xFF;
}

// Sets the length field and the checksum (the sum of the bytes from offset 7
// up to the checksum) to agree with the rest of the file.
Bytes Seal(Bytes b) {
    Put24(b, 8, b.size() - 9);
    unsigned sum = 0;
    for (std::size_t i = 7; i < b.size() - 2; ++i) {
        sum += b[i];
    }
    b[b.size() - 2] = sum & 0xFF, b[b.size() - 1] = (sum >> 8) & 0xFF;
    return b;
}

TEST(ScheduleEntries, KeepTimeOrderAndOneEventPerMinute) {
    ScheduleSet s;
    EXPECT_TRUE(s.AddScheduleEntry(1, At(12, 0, false, 1)));
    EXPECT_TRUE(s.AddScheduleEntry(1, At(8, 15, false, 2)));
    EXPECT_TRUE(s.AddScheduleEntry(1, At(8, 5, true, 3)));
    EXPECT_EQ(s.Entries(1), (std::vector<std::uint32_t>{At(8, 5, true, 3), At(8, 15, false, 2),
                                                        At(12, 0, false, 1)}));

    // Same time, other kind of event: refused; replace swaps it in.
    EXPECT_TRUE(s.AddScheduleEntry(2, At(7, 30, true, 12)));
    EXPECT_FALSE(s.AddScheduleEntry(2, At(7, 30, false, 2)));
    EXPECT_EQ(s.GetScheduleEntry(2, 0), At(7, 30, true, 12));
    EXPECT_TRUE(s.ReplaceScheduleEntry(2, At(7, 30, false, 2)));
    EXPECT_EQ(s.Entries(2), (std::vector<std::uint32_t>{At(7, 30, false, 2)}));
    EXPECT_TRUE(s.RemoveScheduleEntry(2, At(7, 30, true, 99)));  // matched by time alone
    EXPECT_FALSE(s.RemoveScheduleEntry(2, At(7, 30, true, 99)));
    EXPECT_FALSE(s.RemoveScheduleEntry(1, At(9, 0, false, 3)));  // between two times

    // Numbers outside 1..255 are never schedules.
    for (int n : {0, 256, -1}) {
        EXPECT_FALSE(s.AddScheduleEntry(n, At(1, 0, false, 0)));
        EXPECT_EQ(s.GetScheduleEntry(n, 0), 0u);
    }
    EXPECT_EQ(s.GetScheduleEntry(1, 3), 0u);
    EXPECT_EQ(s.FindFreeSchedule(), 2);

    // A whole list set at once keeps the same order and one event per minute.
    s.SetEntries(7, {At(12, 0, false, 1), At(8, 5, false, 9), At(8, 5, true, 4)});
    EXPECT_EQ(s.Entries(7), (std::vector<std::uint32_t>{At(8, 5, false, 9), At(12, 0, false, 1)}));
    EXPECT_EQ(s.GetScheduleEntry(1, 0), At(8, 5, true, 3));
}

TEST(ScheduleEntries, TypedTimesAndListLines) {
    const std::pair<const char*, const char*> typed[] = {
        {"7:5", "07:05"},
        {" 7.30 ", "07:30"},
        {"12 45", "12:45"},
        {"9", "09:00"},
        {"9:", "09:00"},
        {"1:2:3", "01:02"},
        {"23:59", "23:59"},
        {"1230", "Time value is invalid, fix it: HH:MM, max 23:59"},
        {"24:00", "Time value is invalid, fix it: HH:MM, max 23:59"},
        {"12:60", "Time value is invalid, fix it: HH:MM, max 23:59"},
        {":30", "Time format is invalid, fix it: HH:MM"},
        {"7:3a", "Time contains invalid characters, fix it: HH:MM"},
        {"  ", "Time value is required, fix it: HH:MM"},
        {"99999999999:1", "Time value is invalid, fix it: HH:MM, max 23:59"}};
    for (const auto& [text, expected] : typed) {
        std::string refusal;
        const auto time = scheduletext::ParseTime(text, refusal);
        EXPECT_EQ(time ? scheduletext::TimeText(At(time->hours, time->minutes, false, 0)) : refusal,
                  expected)
            << text;
    }
    const std::pair<const char*, const char*> resets[] = {
        {"23:59:59", "23:59:59"},
        {"1:2", "01:02:00"},
        {"7 30 5:9", "07:30:05"},
        {"12:", "12:00:00"},
        {"24:00:00", "Reset Time value is invalid, fix it: HH:MM:SS, max 23:59:59"},
        {"12::30", "Reset Time format is invalid, fix it: HH:MM:SS"},
        {"7h", "Reset Time contains invalid characters, fix it: HH:MM:SS"},
        {"", "Reset Time value is required, fix it: HH:MM:SS"}};
    for (const auto& [text, expected] : resets) {
        std::string refusal;
        const auto t = scheduletext::ParseResetTime(text, refusal);
        char shown[16];
        std::snprintf(shown, sizeof shown, "%.2d:%.2d:%.2d", t ? t->hours : 0, t ? t->minutes : 0,
                      t ? t->seconds : 0);
        EXPECT_EQ(t ? std::string(shown) : refusal, expected) << text;
    }
    const auto name = [](int n) { return "Song " + std::to_string(n) + ".mp3"; };
    EXPECT_EQ(scheduletext::EntryLine(At(8, 15, true, 12), name),
              "08:15\tStart\tTrack 12: Song 12.mp3");
    EXPECT_EQ(scheduletext::EntryLine(At(0, 0, false, 0), name),
              "00:00\tStart\tWhatever Show is next");
    EXPECT_EQ(scheduletext::EntryLine(At(23, 5, false, 3), name), "23:05\tStart\tShow 3");
}

TEST(ScheduleFileImage, EmptyAndOneEntryFilesAreLaidOutByteForByte) {
    ScheduleSet s;
    Bytes empty(476, 0);  // the header, a table holding only its end, the sum
    std::memcpy(empty.data(), "sA5A403\x03", 8);
    Put24(empty, 471, 474);
    ExpectSameBytes(s.Serialize(3), Seal(empty));

    s.AddScheduleEntry(1, At(7, 30, true, 12));
    Bytes one(482, 0);
    std::memcpy(one.data(), "sA5A4FF\xFF", 8);
    one[11] = 1;
    Put24(one, 471, 477);
    Put24(one, 474, 480);
    one[477] = 0x07, one[478] = 0xB0, one[479] = 0x0C;  // 07:30, track 12
    ExpectSameBytes(s.Serialize(255), Seal(one));
}

TEST(ScheduleFileImage, CompactionKeepsDaysOnTheirSchedules) {
    ScheduleSet s;
    s.AddScheduleEntry(2, At(9, 0, false, 1));
    s.AddScheduleEntry(5, At(10, 0, true, 4));
    s.AddScheduleEntry(5, At(11, 0, true, 5));
    s.SetDaySchedule(11, 24, 5);    // Christmas Day on schedule 5
    s.SetDaySchedule(0, 0, 2);      // New Year's Day on schedule 2
    s.SetDaySchedule(6, 3, 9);      // a schedule without entries
    s.SetWeekdaySchedule(3, 0, 5);  // Sundays in April
    s.SetResetTime(0x03, 0x05, 0x01);

    const Bytes file = s.Serialize(0);
    ASSERT_EQ(file.size(), 476u + 3 * (2 + 3));
    EXPECT_EQ(file[11], 2);
    EXPECT_EQ(Bytes(file.begin() + 471, file.begin() + 480),  // 480, 483, 489
              (Bytes{0xE0, 0x01, 0, 0xE3, 0x01, 0, 0xE9, 0x01, 0}));
    EXPECT_EQ(file[12 + 31 * 11 + 24], 2);
    EXPECT_EQ(file[12], 1);
    EXPECT_EQ(file[12 + 31 * 6 + 3], 0);
    EXPECT_EQ(file[384 + 7 * 3], 2);
    EXPECT_EQ(Bytes(file.begin() + 468, file.begin() + 471), (Bytes{0x03, 0x05, 0x01}));

    // Memory holds the same numbering, and reading the file gives it back.
    EXPECT_EQ(s.EntryCount(1), 1);
    EXPECT_EQ(s.EntryCount(2), 2);
    EXPECT_EQ(s.EntryCount(5), 0);
    ScheduleSet read;
    ASSERT_TRUE(read.Parse(file, 0).ok());
    EXPECT_EQ(read.Entries(2), s.Entries(2));
    EXPECT_EQ(read.DaySchedule(11, 24), 2);
    EXPECT_EQ(read.WeekdaySchedule(3, 0), 2);
    EXPECT_EQ(read.ResetTime(), (std::array<std::uint8_t, 3>{0x03, 0x05, 0x01}));
}

TEST(ScheduleFileImage, DamagedFilesAreRejectedWhole) {
    ScheduleSet s;
    s.AddScheduleEntry(1, At(7, 30, true, 12));
    s.AddScheduleEntry(3, At(23, 59, false, 0));
    s.SetDaySchedule(1, 1, 1);
    const Bytes good = s.Serialize(7);

    // Every byte from offset 7 on is covered by the length field or the sum.
    for (std::size_t i = 7; i < good.size(); ++i) {
        Bytes bad = good;
        bad[i] ^= 0x40;
        ScheduleSet read;
        read.AddScheduleEntry(4, At(1, 1, false, 1));
        ASSERT_FALSE(read.Parse(bad, 7).ok()) << "byte " << i;
        EXPECT_EQ(read.FindFreeSchedule(), 1);
        EXPECT_EQ(read.DaySchedule(1, 1), 0);
    }
    // The address text is not.
    Bytes text = good;
    text[3] = 'Z';
    ScheduleSet read;
    EXPECT_TRUE(read.Parse(text, 7).ok());
    EXPECT_EQ(read.EntryCount(2), 1);

    // Files whose length and sum agree but whose table points elsewhere.
    Bytes manySchedules = good, wildOffset = good, backwards = good;
    manySchedules[11] = 200;
    wildOffset[473] = 0x7F;
    backwards[474] = 0x00;
    for (const Bytes& b : {Seal(Bytes(20, 0)), Seal(manySchedules), Seal(wildOffset),
                           Seal(backwards), Bytes(13, 0)}) {
        EXPECT_FALSE(ScheduleSet().Parse(b, 0).ok());
    }
    EXPECT_EQ(ScheduleSet().Parse({}, 0).value(), 0);
}

TEST(ScheduleFileImage, EntriesOfAFileAreSortedAndDeduplicatedOnReading) {
    // One schedule: times before 20:00 in no order, most coming back with
    // another number or kind of event, among hours and minutes no clock shows
    // (read carelessly, from 20:00 on), then two bytes that make no whole
    // entry. It reads as the same entries added one by one would.
    const int noTime[] = {0x2400, 0x1A00, 0xA000, 0x2160, 0x225A, 0x234A};
    Bytes b(477, 0);
    ScheduleSet added;
    for (std::uint32_t i = 0; i < 4000; ++i) {
        const int t = static_cast<int>((i * 2654435761u) >> 8) % (20 * 60);
        const std::uint32_t entry = At(t / 60, t % 60, i % 3 == 0, i & 0xFF);
        added.AddScheduleEntry(1, entry);
        const auto e = ScheduleSet::EntryToBytes(entry);
        const int bad = noTime[i % 6] | (i % 12 < 6 ? 0x80 : 0);
        b.insert(b.end(), {std::uint8_t(bad >> 8), std::uint8_t(bad), 1, e[0], e[1], e[2]});
    }
    b.insert(b.end(), {0x21, 0x30, 0, 0});
    b[11] = 1;
    Put24(b, 471, 477);
    Put24(b, 474, b.size() - 2);

    ScheduleSet s;
    ASSERT_TRUE(s.Parse(Seal(b), 0).ok());
    EXPECT_EQ(s.Entries(1), added.Entries(1));
}

using ScheduleFile = DocFixture;

TEST_F(ScheduleFile, IsWrittenBesideTheConfigurationAndReadBack) {
    const Bytes header = {'s', 'A', '5', 'A', '4', '2', 'A', 0x2A};
    doc->GetConfig()->Set(field::kSerialAddress, 0x2A);
    doc->Schedules().AddScheduleEntry(2, At(7, 30, true, 12));
    doc->Schedules().AddScheduleEntry(5, At(19, 0, false, 3));
    doc->Schedules().SetDaySchedule(11, 24, 5);
    doc->ScheduleNames()[5] = "Evenings";
    doc->SetModifiedFlag(true);
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->ScheduleNames()[2], "Evenings");  // renumbered with its schedule
    Bytes file = ReadBytes(card / "SCHEDULE.SCH");
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), header);

    ASSERT_TRUE(doc->OnOpenDocument(Cfg()));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(doc->Schedules().EntryCount(1), 1);
    EXPECT_EQ(doc->Schedules().GetScheduleEntry(2, 0), At(19, 0, false, 3));
    EXPECT_EQ(doc->Schedules().DaySchedule(11, 24), 2);

    // A bad file costs only a message, a missing one not even that; either way
    // no schedules are left, and the header carries the serial address.
    file[477] ^= 0x08;
    WriteBytes(card / "SCHEDULE.SCH", file);
    for (const bool bad : {true, false}) {
        prompter.shown.clear();
        ASSERT_TRUE(doc->OnOpenDocument(Cfg()));
        ASSERT_EQ(prompter.shown.size(), bad ? 1u : 0u);
        if (bad) {
            EXPECT_EQ(prompter.shown[0].text,
                      "Schedule.sch file has bad length or checksum, ignoring file.");
        }
        EXPECT_EQ(doc->Schedules().FindFreeSchedule(), 1);
        const auto& h = doc->Schedules().HeaderBytes();
        EXPECT_EQ(Bytes(h.begin(), h.begin() + 8), header);
        std::filesystem::remove(card / "SCHEDULE.SCH");
    }
}

}  // namespace
