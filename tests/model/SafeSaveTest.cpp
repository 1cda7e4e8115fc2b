#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "DocFixture.h"
#include "model/FileIo.h"

namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;

using SafeSave = DocFixture;

// Each card file in turn is held by a pipe (which would hold the save for
// ever) or a folder, or the card fills up part-way through it (TUNBOX.CFG has
// 8802 bytes, KELDA.CFG 9614, large schedules more). A failed TUNBOX.CFG ends
// the save; past it the other files are still written. A name taken by a
// folder or pipe refuses the save before anything is written.
TEST_F(SafeSave, AFileTheCardDoesNotTakeLeavesTheOldFileAndTheDocument) {
    enum Way { kFull, kPipe, kFolder };
    struct Row {
        const char* name;
        Way way;
        rlim_t limit;
        const char* told;
    };
    const Row rows[] = {
        {"TUNBOX.CFG", kPipe, 0, "it is not a regular file"},
        {"SCHEDULE.SCH", kPipe, 0, "it is not a regular file"},
        {"KELDA.CFG", kPipe, 0, "it is not a regular file"},
        {"SCHEDULE.SCH", kFolder, 0, "it is a folder, not a file"},
        {"KELDA.CFG", kFolder, 0, "it is a folder, not a file"},
        {"TUNBOX.CFG", kFull, 4000, "Unable to save"},
        {"SCHEDULE.SCH", kFull, 9700, "Unable to write the schedule file"},
        {"KELDA.CFG", kFull, 9000, "Unable to write KELDA config file!"},
    };
    rlimit noLimit{};
    ::getrlimit(RLIMIT_FSIZE, &noLimit);
    ::signal(SIGXFSZ, SIG_IGN);
    // Where each file holds the serial address.
    const std::pair<const char*, std::size_t> addressAt[] = {
        {"TUNBOX.CFG", 255}, {"SCHEDULE.SCH", 7}, {"KELDA.CFG", 298}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + ": " + row.told);
        const fs::path failing = card / row.name;
        doc->OnNewDocument();
        doc->GetConfig()->Set(field::kSerialAddress, 1);
        ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
        const Bytes old = ReadBytes(failing);
        if (row.way != kFull) {
            fs::remove(failing);
            ASSERT_TRUE(row.way == kFolder ? fs::create_directory(failing)
                                           : ::mkfifo(failing.c_str(), 0600) == 0);
        }

        // Memory takes the new version and schedule numbers only once the
        // whole card is written.
        doc->GetConfig()->Set(field::kSerialAddress, 2);
        doc->GetConfig()->Set(field::kConfigVersion, 37);
        doc->Schedules().AddScheduleEntry(2, ScheduleSet::MakeEntry(7, 30, true, 12));
        const bool bigSchedules = row.way == kFull && failing == card / "SCHEDULE.SCH";
        for (int n = 3; bigSchedules && n <= 5; ++n) {
            for (int minute = 0; minute < 24 * 60; ++minute) {
                doc->Schedules().AddScheduleEntry(
                    n, ScheduleSet::MakeEntry(minute / 60, minute % 60, true, 1));
            }
        }
        doc->SetModifiedFlag(true);
        prompter.shown.clear();
        // A full card: files cannot grow beyond the row's limit.
        rlimit full = noLimit;
        full.rlim_cur = row.limit;
        if (row.way == kFull && ::setrlimit(RLIMIT_FSIZE, &full) != 0) {
            GTEST_SKIP() << "file size limits cannot be set here";
        }
        EXPECT_FALSE(doc->OnSaveDocument(Cfg()));
        ::setrlimit(RLIMIT_FSIZE, &noLimit);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_THAT(prompter.shown[0].text,
                    AllOf(HasSubstr(row.told), HasSubstr(failing.string()),
                          HasSubstr(row.way == kFull ? "The card still holds the previous " +
                                                           std::string(row.name) + "."
                                                     : "Nothing was written.")));
        if (row.way == kFull) {
            EXPECT_EQ(ReadBytes(failing), old);
        } else {
            EXPECT_EQ(fs::status(failing).type(),
                      row.way == kFolder ? fs::file_type::directory : fs::file_type::fifo);
        }
        for (const auto& [name, at] : addressAt) {
            if (card / name != failing) {
                // A name taken by a folder or pipe is found before the first
                // byte is written.
                EXPECT_EQ(ReadBytes(card / name).at(at),
                          failing == Cfg() || row.way != kFull ? 1 : 2)
                    << name;
            }
        }
        for (const auto& e : fs::directory_iterator(card.path())) {
            EXPECT_NE(e.path().extension(), ".CWT") << "left behind: " << e.path();
        }
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), 2u);
        EXPECT_EQ(doc->GetConfig()->Get(field::kConfigVersion), 37u);
        EXPECT_EQ(doc->Schedules().EntryCount(1), 0);
        EXPECT_EQ(doc->Schedules().EntryCount(2), 1);
        fs::remove_all(failing);
    }
}

TEST_F(SafeSave, AnEmptyConfigurationBesideOtherCardFilesOpensOnlyWhenTheUserSaysSo) {
    // Alone on the card it opens silently with every default (see the size
    // rules); beside what a save leaves, it is more likely a save cut short.
    Touch(Cfg(), "");
    for (const char* other : {"KELDA.CFG", "SCHEDULE.SCH", "SOUNDS/song.mp3"}) {
        SCOPED_TRACE(other);
        fs::create_directories(card / "SOUNDS");
        Touch(card / other);
        doc->GetConfig()->Set(field::kSerialAddress, 7);
        prompter.shown.clear();
        prompter.Script({Prompter::Answer::No});
        EXPECT_FALSE(doc->OnOpenDocument(Cfg()));
        ASSERT_EQ(prompter.shown.size(), 2u);
        EXPECT_THAT(prompter.shown[0].text, HasSubstr("TUNBOX.CFG on this card is empty"));
        EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::YesNo);
        EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), 7u);

        prompter.Script({Prompter::Answer::Yes});
        EXPECT_TRUE(doc->OnOpenDocument(Cfg()));
        EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), 0u);
        fs::remove(card / other);
    }
}

TEST_F(SafeSave, AKillAtAnyMomentOfASaveLeavesTheOldOrTheNewConfiguration) {
    Bytes images[2];
    for (std::uint32_t k : {0u, 1u}) {
        doc->GetConfig()->Set(field::kSerialAddress, 1 + k);
        ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
        images[k] = ReadBytes(Cfg());
    }
    std::mt19937 random(20261205);
    for (int run = 0; run < 300; ++run) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (std::uint32_t k = 0;; ++k) {
                doc->GetConfig()->Set(field::kSerialAddress, 1 + k % 2);
                doc->OnSaveDocument(Cfg());
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 8000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const Bytes now = ReadBytes(Cfg());
        ASSERT_TRUE(now == images[0] || now == images[1]) << "run " << run << ": " << now.size();
    }
}

// A replaced file keeps the old one's permissions; the files of one save
// land in the folder it opened even when that folder is renamed meanwhile;
// a bare file name is replaced in the working folder; a folder is refused.
TEST(Replace, KeepsPermissionsFollowsItsFolderAndTakesABareName) {
    TempDir top;
    const fs::path before = top / "card";
    const fs::path after = top / "renamed";
    fs::create_directory(before);
    Touch(before / "A.CFG", "old");
    fs::permissions(before / "A.CFG", fs::perms::owner_read | fs::perms::owner_write);
    const Bytes bytes{1, 2, 3};
    {
        const platform::Folder folder(before);
        fs::rename(before, after);
        const fileio::WriteResult result = fileio::Replace(folder, "A.CFG", bytes);
        ASSERT_TRUE(result.ok()) << result.reason;
        EXPECT_TRUE(result.hadOldFile);
    }
    EXPECT_EQ(ReadBytes(after / "A.CFG"), bytes);
    EXPECT_EQ(fs::status(after / "A.CFG").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(after), fs::directory_iterator()), 1);
    EXPECT_FALSE(fs::exists(before));

    const fs::path cwd = fs::current_path();
    fs::current_path(after);
    const fileio::WriteResult bare = fileio::Replace(fs::path("B.CFG"), bytes);
    fs::current_path(cwd);
    ASSERT_TRUE(bare.ok()) << bare.reason;
    EXPECT_EQ(ReadBytes(after / "B.CFG"), bytes);

    // A folder named with a closing slash is refused before anything is made.
    const fileio::WriteResult folder = fileio::Replace(after / "", bytes);
    EXPECT_EQ(folder.failure, fileio::WriteResult::Failure::NotAFile);
    EXPECT_EQ(std::distance(fs::directory_iterator(after), fs::directory_iterator()), 2);
}

}  // namespace
