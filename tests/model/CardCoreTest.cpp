#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string_view>

#include "TestSupport.h"
#include "model/Card.h"
#include "model/ConfigFile.h"

namespace fs = std::filesystem;
using Kind = card::Problem::Kind;

namespace {

// One schedule entry at hh:mm (BCD) playing a track.
std::uint32_t Event(std::uint8_t hourBcd, std::uint8_t minuteBcd, std::uint8_t track) {
    return ScheduleSet::BytesToEntry(hourBcd, minuteBcd | ScheduleSet::kTrackEvent, track);
}

class CardCore : public ::testing::Test {
  protected:
    card::Location Where() const { return {dir.path(), dir / "TUNBOX.CFG"}; }
    card::Image Defaults() const {
        card::Image image;
        image.config.SetDefaults();
        return image;
    }
    card::Read ReadOk() const {
        auto read = card::ReadCard(Where());
        EXPECT_TRUE(read.ok());
        return read ? std::move(*read) : card::Read{};
    }
    card::WriteReport Write(const card::Image& image, card::WriteOptions options = {}) const {
        options.program = program.path() / "cardwright";
        return card::WriteCard(Where(), image, options);
    }

    TempDir dir;
    TempDir program;
    CardCore() { Touch(program / "cardwright", "program"); }
};

}  // namespace

// Schedules 2 and 5 alone (as after a delete) are written as 1 and 2, and the
// days keep the events they ran.
TEST_F(CardCore, DaysKeepTheirEventsWhenSchedulesAreRenumbered) {
    card::Image image = Defaults();
    image.schedules.AddScheduleEntry(2, Event(0x07, 0x30, 3));
    image.schedules.AddScheduleEntry(5, Event(0x18, 0x00, 9));
    image.schedules.SetDaySchedule(0, 4, 2);  // 5 January
    image.schedules.SetDaySchedule(0, 5, 5);  // 6 January
    image.schedules.SetWeekdaySchedule(6, 0, 5);
    const auto report = Write(image);
    ASSERT_TRUE(report.Complete());
    EXPECT_EQ(report.written.schedules.DaySchedule(0, 5), 2);

    const card::Read read = ReadOk();
    const ScheduleSet& s = read.image.schedules;
    EXPECT_EQ(s.Entries(s.DaySchedule(0, 4)), std::vector<std::uint32_t>{Event(0x07, 0x30, 3)});
    EXPECT_EQ(s.Entries(s.DaySchedule(0, 5)), std::vector<std::uint32_t>{Event(0x18, 0x00, 9)});
    EXPECT_EQ(s.Entries(s.WeekdaySchedule(6, 0)), s.Entries(s.DaySchedule(0, 5)));

    // The same image again: every byte is on the card already.
    const auto again = Write(report.written);
    for (const card::FileReport& f : again.files) {
        EXPECT_EQ(f.outcome, card::FileReport::Outcome::Unchanged) << f.file;
    }
}

TEST_F(CardCore, AnEmptyConfigurationBesideOtherFilesIsReportedAsSuch) {
    Touch(dir / "TUNBOX.CFG", "");
    card::Read alone = ReadOk();
    EXPECT_TRUE(alone.Has(Kind::ConfigEmpty));
    EXPECT_FALSE(alone.holdsOtherFiles);
    Touch(dir / "KELDA.CFG", "k");
    EXPECT_TRUE(ReadOk().holdsOtherFiles);

    WriteBytes(dir / "TUNBOX.CFG", Bytes(8801));
    const card::Read wrong = ReadOk();
    ASSERT_TRUE(wrong.Has(Kind::ConfigWrongSize));
    EXPECT_EQ(wrong.Find(Kind::ConfigWrongSize)->number, 8801u);
}

// Audio copied into the root of a fresh card: SOUNDS is made and filled first,
// and the tracks reconciled with it afterwards keep their files.
TEST_F(CardCore, AudioInTheRootMovesIntoSoundsBeforeTheTracksAreReconciled) {
    Touch(dir / "B.WAV");
    Touch(dir / "A.MP3");
    const card::Read read = ReadOk();
    ASSERT_TRUE(read.Has(Kind::SoundsMissing));
    ASSERT_TRUE(read.Has(Kind::AudioInRoot));
    ASSERT_EQ(read.image.audio.size(), 2u);
    EXPECT_EQ(read.image.audio[0].longName, "A.MP3");  // MP3 files move first

    card::Image image = read.image;
    image.config.SetTrackName(1, "A.MP3");
    image.config.Set(field::kFilePosition, 1, 1);
    image.config.Set(field::kEndAction, 1, 2);
    card::WriteOptions options;
    options.reconcileTracks = true;
    const auto report = Write(image, options);
    ASSERT_TRUE(report.Complete());
    EXPECT_TRUE(fs::exists(dir / "SOUNDS" / "A.MP3"));
    EXPECT_TRUE(fs::exists(dir / "SOUNDS" / "B.WAV"));
    EXPECT_FALSE(report.tracks.missingFiles);

    CardConfig onCard;
    configfile::Decode(ReadBytes(dir / "TUNBOX.CFG"), onCard);
    EXPECT_EQ(onCard.TrackName(1), "A.MP3");
    EXPECT_EQ(onCard.Get(field::kEndAction, 1), 2u);
    EXPECT_EQ(onCard.TrackName(2), "B.WAV");
}

TEST_F(CardCore, AConfigurationUnderAnotherNameCanBeWrittenAlone) {
    ASSERT_TRUE(Write(Defaults()).Complete());
    const auto before = Snapshot(dir.path());
    card::Image changed = Defaults();
    changed.config.Set(field::kSerialAddress, 7);
    changed.schedules.AddScheduleEntry(1, Event(0x08, 0x00, 1));
    card::WriteOptions options;
    options.configOnly = true;
    const auto report = card::WriteCard({dir.path(), dir / "BACKUP.CFG"}, changed, options);
    ASSERT_TRUE(report.Complete());
    auto after = Snapshot(dir.path());
    ASSERT_EQ(after.erase("BACKUP.CFG"), 1u);
    EXPECT_EQ(after, before);
}

TEST_F(CardCore, ABrokenSoundsLinkRefusesTheWriteBeforeAnyByte) {
    for (const char* target : {"nowhere", "SOUNDS"}) {  // dangling, and a loop
        TempDir card;
        fs::create_directory_symlink(card / target, card / "SOUNDS");
        const auto before = Snapshot(card.path());
        const card::Location where{card.path(), card / "TUNBOX.CFG"};
        auto read = card::ReadCard(where);
        ASSERT_TRUE(read.ok());
        EXPECT_TRUE(read->Has(Kind::SoundsBrokenLink)) << target;

        const auto report = card::WriteCard(where, Defaults(), {});
        ASSERT_TRUE(report.refused.has_value()) << target;
        EXPECT_EQ(report.refused->kind, card::Refusal::Kind::SoundsBrokenLink);
        EXPECT_EQ(Snapshot(card.path()), before) << target;
    }
}

TEST_F(CardCore, TooLittleSpaceRefusesTheWriteBeforeAnyByte) {
    card::WriteOptions options;
    options.freeSpace = [](const fs::path&, std::error_code&) -> std::uintmax_t { return 40000; };
    const auto report = Write(Defaults(), options);
    ASSERT_TRUE(report.refused.has_value());
    EXPECT_EQ(report.refused->kind, card::Refusal::Kind::NoSpace);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// An interrupted save leaves its temporary files; they are found, and the
// next write removes them and nothing else.
TEST_F(CardCore, LeftoverTemporariesOfAnInterruptedSaveAreFoundAndRemoved) {
    Touch(dir / "~CW1A2B3.CWT", "half a program");
    Touch(dir / "~CW00000.CWT");
    Touch(dir / "CW000001.TMP", "someone else's");
    Touch(dir / "~CWNOTHEX.CWT", "someone else's too");
    const card::Read read = ReadOk();
    const card::Problem* leftovers = read.Find(Kind::LeftoverTemporary);
    ASSERT_NE(leftovers, nullptr);
    EXPECT_EQ(leftovers->number, 2u);

    const auto report = Write(Defaults());
    EXPECT_EQ(report.removedTemporaries, 2);
    EXPECT_FALSE(fs::exists(dir / "~CW1A2B3.CWT"));
    EXPECT_TRUE(fs::exists(dir / "CW000001.TMP"));
    EXPECT_TRUE(fs::exists(dir / "~CWNOTHEX.CWT"));
    EXPECT_FALSE(ReadOk().Has(Kind::LeftoverTemporary));
}

// Events whose time is no packed BCD time of day, or that fall on a minute
// already taken, cannot be kept; how many is reported.
TEST_F(CardCore, ScheduleEventsThatCannotBeKeptAreCounted) {
    card::Image image = Defaults();
    image.schedules.AddScheduleEntry(1, Event(0x07, 0x30, 3));
    image.schedules.AddScheduleEntry(1, Event(0x09, 0x00, 4));
    ASSERT_TRUE(Write(image).Complete());
    Bytes bytes = ReadBytes(dir / "SCHEDULE.SCH");
    const auto seal = [&] {
        std::uint16_t sum = 0;
        for (std::size_t i = 7; i < bytes.size() - 2; ++i) {
            sum = static_cast<std::uint16_t>(sum + bytes[i]);
        }
        bytes[bytes.size() - 2] = static_cast<std::uint8_t>(sum);
        bytes[bytes.size() - 1] = static_cast<std::uint8_t>(sum >> 8);
        WriteBytes(dir / "SCHEDULE.SCH", bytes);
    };
    // The second event's hour becomes 0x1A, which is no BCD.
    const std::size_t at = bytes.size() - 2 - 3;
    ASSERT_EQ(bytes[at], 0x09);
    bytes[at] = 0x1A;
    seal();
    const card::Read read = ReadOk();
    ASSERT_TRUE(read.Has(Kind::ScheduleDropped));
    EXPECT_EQ(read.Find(Kind::ScheduleDropped)->number, 1u);
    EXPECT_EQ(read.image.schedules.EntryCount(1), 1);

    bytes[at] = 0x07;  // now a second event at 07:30
    bytes[at + 1] = 0x30 | ScheduleSet::kTrackEvent;
    seal();
    const card::Read twice = ReadOk();
    ASSERT_TRUE(twice.Has(Kind::ScheduleDropped));
    EXPECT_EQ(twice.Find(Kind::ScheduleDropped)->number, 1u);
}

// A save remembers what it gave each card file and skips reading back what
// it will write anyway; files changed behind its back must still end with
// the new bytes, and a file is reported Written exactly when it was replaced.
TEST_F(CardCore, FilesChangedBehindTheProgramsBackEndWithTheNewBytes) {
    card::WriteMemory memory;
    card::WriteOptions options;
    options.memory = &memory;
    const fs::path files[] = {dir / "TUNBOX.CFG", dir / "SCHEDULE.SCH", dir / "KELDA.CFG",
                              dir / "Cardwright.exe"};
    // Rewritten in place and dated back, as a copy keeping its time would be.
    const auto rewrite = [](const fs::path& file, const std::string& bytes) {
        Touch(file, bytes);
        fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(24));
    };
    // `replaced` has one letter per file: W replaced, - left, ? either.
    const auto save = [&](const card::Image& image, std::string_view replaced) {
        std::uint64_t inodes[4];
        for (int i = 0; i < 4; ++i) {
            inodes[i] = platform::Inspect(files[i]).identity.inode;
        }
        const auto report = Write(image, options);
        ASSERT_TRUE(report.Complete());
        ASSERT_EQ(report.files.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            const card::FileReport& f = report.files[static_cast<std::size_t>(i)];
            ASSERT_EQ(f.file, files[i]);
            const bool now = platform::Inspect(f.file).identity.inode != inodes[i];
            EXPECT_EQ(f.outcome == card::FileReport::Outcome::Written, now) << f.file;
            EXPECT_TRUE(replaced[i] == '?' || now == (replaced[i] == 'W')) << f.file;
        }
        EXPECT_EQ(ReadBytes(files[3]), ReadBytes(program / "cardwright"));
    };
    const card::Image image = Defaults();
    save(image, "WWWW");
    Bytes was[3];
    for (int i = 0; i < 3; ++i) {
        was[i] = ReadBytes(files[i]);
    }

    // The same image: what was tampered with, even at the same size, is put back.
    Bytes tampered = was[2];
    tampered[100] ^= 0xFF;
    WriteBytes(files[2], tampered);
    fs::remove(files[1]);
    rewrite(files[3], "progrXm");
    save(image, "-WWW");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ReadBytes(files[i]), was[i]) << files[i];
    }
    save(image, "----");  // nothing touched since

    // New bytes that the card got some other way end up there all the same;
    // a program replaced by another of its size is copied again.
    card::Image changed = Defaults();
    changed.config.Set(field::kSerialAddress, 7);
    TempDir other;
    card::WriteOptions configOnly;
    configOnly.configOnly = true;
    ASSERT_TRUE(
        card::WriteCard({other.path(), other / "TUNBOX.CFG"}, changed, configOnly).Complete());
    const Bytes newCfg = ReadBytes(other / "TUNBOX.CFG");
    ASSERT_NE(newCfg, was[0]);
    WriteBytes(files[0], newCfg);
    rewrite(program / "cardwright", "PROGRAM");
    save(changed, "?WWW");
    EXPECT_EQ(ReadBytes(files[0]), newCfg);
}
