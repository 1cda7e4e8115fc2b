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

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using SafeSave = DocFixture;

int TemporaryFiles(const fs::path& dir) {
    int count = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        count += e.path().extension() == ".TMP" ? 1 : 0;
    }
    return count;
}

// Files beyond `limit` bytes cannot grow, as on a card that has filled up;
// the old limit comes back when the scope ends.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit) {
        ok_ = ::getrlimit(RLIMIT_FSIZE, &old_) == 0 && limit <= old_.rlim_max;
        if (ok_) {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit next = old_;
            next.rlim_cur = limit;
            ok_ = ::setrlimit(RLIMIT_FSIZE, &next) == 0;
        }
    }
    ~FileSizeLimit() {
        if (ok_) {
            ::setrlimit(RLIMIT_FSIZE, &old_);
        }
    }
    bool ok() const { return ok_; }

  private:
    rlimit old_{};
    bool ok_ = false;
};

TEST_F(SafeSave, AWriteThatFailsHalfWayLeavesTheOldFileAndFailsTheSave) {
    struct Row {
        const char* failing;
        rlim_t limit;
        bool bigSchedules;  // more than the limit allows, less than the others need
    };
    for (const Row row : {Row{"TUNBOX.CFG", 4000, false}, Row{"SCHEDULE.SCH", 9700, true},
                          Row{"KELDA.CFG", 9000, false}}) {
        SCOPED_TRACE(row.failing);
        doc->OnNewDocument();
        doc->GetConfig()->Set(field::kSerialAddress, 1);
        ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
        const Bytes oldFailing = ReadBytes(card / row.failing);

        doc->GetConfig()->Set(field::kSerialAddress, 2);
        for (int n = 1; row.bigSchedules && n <= 3; ++n) {
            for (int minute = 0; minute < 24 * 60; ++minute) {
                doc->Schedules().AddScheduleEntry(
                    n, ScheduleSet::MakeEntry(minute / 60, minute % 60, true, 1));
            }
        }
        doc->SetModifiedFlag(true);
        prompter.shown.clear();
        {
            FileSizeLimit limit(row.limit);
            if (!limit.ok()) {
                GTEST_SKIP() << "file size limits cannot be set here";
            }
            EXPECT_FALSE(doc->OnSaveDocument(Cfg()));
        }
        EXPECT_EQ(ReadBytes(card / row.failing), oldFailing);
        EXPECT_EQ(TemporaryFiles(card.path()), 0);
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), 2u);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_NE(prompter.shown[0].text.find((card / row.failing).string()), std::string::npos);
        EXPECT_NE(prompter.shown[0].text.find(std::string("The card still holds the previous ") +
                                              row.failing + "."),
                  std::string::npos);
        // What went before the failing file is the new configuration.
        if (std::string(row.failing) != "TUNBOX.CFG") {
            EXPECT_EQ(ReadBytes(Cfg())[255], 2);
        }
    }
}

TEST_F(SafeSave, ANameThatIsNotAFileIsRefusedWithoutWaitingOnIt) {
    for (const char* name : {"TUNBOX.CFG", "SCHEDULE.SCH", "KELDA.CFG"}) {
        SCOPED_TRACE(name);
        fs::remove_all(card.path());
        fs::create_directories(card.path());
        ASSERT_EQ(::mkfifo((card / name).c_str(), 0600), 0);
        prompter.shown.clear();
        EXPECT_FALSE(doc->OnSaveDocument(Cfg()));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_NE(prompter.shown[0].text.find((card / name).string()), std::string::npos);
        EXPECT_NE(prompter.shown[0].text.find("not a regular file"), std::string::npos);
        EXPECT_TRUE(fs::is_fifo(card / name));
    }
}

TEST_F(SafeSave, TheProgramOnTheCardIsRewrittenOnlyWhenItDiffers) {
    const auto inode = [&] {
        struct stat st {};
        ::stat((card / "Cardwright.exe").c_str(), &st);
        return st.st_ino;
    };
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    const auto first = inode();
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_EQ(inode(), first);
    Touch(programDir / "cardwright", "a newer program");
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_EQ(ReadBytes(card / "Cardwright.exe"), ReadBytes(programDir / "cardwright"));
}

TEST_F(SafeSave, AnEmptyConfigurationBesideOtherCardFilesOpensOnlyWhenTheUserSaysSo) {
    const std::string question =
        "TUNBOX.CFG on this card is empty, which usually means a save was interrupted. Open it "
        "with all settings at their defaults?";
    // Alone on the card, an empty file is a configuration with every default.
    Touch(Cfg(), "");
    ASSERT_TRUE(doc->OnOpenDocument(Cfg()));
    EXPECT_TRUE(prompter.shown.empty());

    for (const char* other : {"KELDA.CFG", "SCHEDULE.SCH", "SOUNDS/song.mp3"}) {
        SCOPED_TRACE(other);
        Touch(card / other);
        doc->GetConfig()->Set(field::kSerialAddress, 7);
        prompter.shown.clear();
        prompter.Script({Prompter::Answer::No});
        EXPECT_FALSE(doc->OnOpenDocument(Cfg()));
        ASSERT_FALSE(prompter.shown.empty());
        EXPECT_EQ(prompter.shown[0].text, question);
        EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::YesNo);
        EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), 7u);

        prompter.Script({Prompter::Answer::Yes});
        EXPECT_TRUE(doc->OnOpenDocument(Cfg()));
        EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), 0u);
        fs::remove(card / other);
    }
}

// A save cut short at any moment (the card pulled, the power gone) leaves the
// whole old configuration or the whole new one.
TEST_F(SafeSave, AKillAtAnyMomentOfASaveLeavesTheOldOrTheNewConfiguration) {
    const auto imageOf = [&](std::uint32_t address) {
        doc->GetConfig()->Set(field::kSerialAddress, address);
        EXPECT_TRUE(doc->OnSaveDocument(Cfg()));
        return ReadBytes(Cfg());
    };
    const Bytes imageB = imageOf(2);
    const Bytes imageA = imageOf(1);
    ASSERT_NE(imageA, imageB);

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
        ASSERT_TRUE(now == imageA || now == imageB) << "run " << run << ": " << now.size();
    }
}

}  // namespace
