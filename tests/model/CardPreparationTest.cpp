#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "DocFixture.h"
#include "model/Card.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

using CardPreparation = DocFixture;

TEST_F(CardPreparation, AFreshCardGetsSoundsWithItsAudioFiles) {
    Touch(card / "A.MP3", "a");
    Touch(card / "B.WAV", "b");
    Touch(card / "c.Mp3", "c");
    Touch(card / "NOTES.TXT");
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_TRUE(prompter.shown.empty());
    for (const char* name : {"A.MP3", "B.WAV", "c.Mp3"}) {
        EXPECT_TRUE(fs::exists(card / "SOUNDS" / name)) << name;
        EXPECT_FALSE(fs::exists(card / name)) << name;
    }
    EXPECT_TRUE(fs::exists(card / "NOTES.TXT"));
    EXPECT_EQ(doc->CountTracks(false), 3);

    // SOUNDS exists now: files copied into the root later stay where they are.
    Touch(card / "D.MP3");
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_TRUE(fs::exists(card / "D.MP3"));
    EXPECT_FALSE(fs::exists(card / "SOUNDS" / "D.MP3"));

    // Opening a card without SOUNDS makes it too, and leaves the process's
    // current folder alone.
    fs::remove_all(card / "SOUNDS");
    const fs::path before = fs::current_path();
    ASSERT_TRUE(doc->OnOpenDocument(Cfg()));
    EXPECT_TRUE(fs::exists(card / "SOUNDS" / "D.MP3"));
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(CardPreparation, TheProgramIsCopiedOnlyWhereTheCardLacksIt) {
    // A program that cannot be copied is reported, and the save goes on.
    doc->SetExecutablePath(programDir / "gone");
    EXPECT_TRUE(doc->OnSaveDocument(Cfg()));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_THAT(prompter.shown[0].text,
                StartsWith("Unable to copy Cardwright.exe to SmartMedia card!"));
    EXPECT_TRUE(doc->IsLoaded());
    EXPECT_EQ(doc->GetPathName(), Cfg());

    const auto inode = [&] {
        struct stat st {};
        ::stat((card / "Cardwright.exe").c_str(), &st);
        return st.st_ino;
    };
    doc->SetExecutablePath(programDir / "cardwright");
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_EQ(ReadBytes(card / "Cardwright.exe"), ReadBytes(programDir / "cardwright"));
    const auto first = inode();
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_EQ(inode(), first);  // the same program is not written again
    Touch(programDir / "cardwright", "a newer program");
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_EQ(ReadBytes(card / "Cardwright.exe"), ReadBytes(programDir / "cardwright"));

    // Running from the card, in any letter case: the program is left alone.
    const std::string running = "running copy";
    for (const char* name : {"Cardwright.exe", "CARDWRIGHT.EXE"}) {
        SCOPED_TRACE(name);
        fs::remove(card / "Cardwright.exe");
        Touch(card / name, running);
        doc->SetExecutablePath(card / name);
        ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
        EXPECT_EQ(ReadBytes(card / name), Bytes(running.begin(), running.end()));
        EXPECT_EQ(fs::exists(card / "Cardwright.exe"), std::string(name) == "Cardwright.exe");
        fs::remove(card / name);
    }
}

TEST_F(CardPreparation, ASoundsFolderInOtherLetterCaseIsTheCardsSounds) {
    fs::create_directory(card / "Sounds");
    Touch(card / "Sounds" / "a.mp3");
    Touch(card / "b.mp3");
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_FALSE(fs::exists(card / "SOUNDS"));
    EXPECT_TRUE(fs::exists(card / "b.mp3"));
    EXPECT_EQ(doc->CountTracks(false), 1);
    // Reading the card finds its audio there too.
    const auto read = card::ReadCard(card::Location{card.path(), Cfg()});
    ASSERT_TRUE(read.ok());
    EXPECT_FALSE(read->Has(card::Problem::Kind::SoundsUnreadable));
    ASSERT_EQ(read->image.audio.size(), 1u);
    EXPECT_EQ(read->image.audio[0].longName, "a.mp3");
}

// Something in the way of SOUNDS: a file, a link to nowhere, a link to itself
// (unlike a read-only folder, these stop root too).
TEST_F(CardPreparation, ASoundsThatCannotBeUsedFailsTheSaveAndTheOpen) {
    const char* noFolder = "The card's SOUNDS folder";
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    doc->GetConfig()->Set(field::kSerialAddress, 5);
    for (const auto& [link, told] :
         {std::pair<const char*, const char*>{nullptr, "A file named SOUNDS exists"},
          {"nowhere", noFolder},
          {"SOUNDS", noFolder}}) {
        SCOPED_TRACE(link ? link : "file");
        TempDir other;
        const fs::path otherCfg = other / "TUNBOX.CFG";
        fs::copy_file(Cfg(), otherCfg);
        if (link) {
            fs::create_symlink(link, other / "SOUNDS");
        } else {
            Touch(other / "SOUNDS");
        }
        for (const bool save : {true, false}) {
            prompter.shown.clear();
            EXPECT_FALSE(save ? doc->OnSaveDocument(otherCfg) : doc->OnOpenDocument(otherCfg));
            ASSERT_EQ(prompter.shown.size(), 2u);
            EXPECT_THAT(prompter.shown[0].text, StartsWith(told));
            EXPECT_THAT(prompter.shown[1].text, HasSubstr(otherCfg.string()));
            EXPECT_EQ(doc->GetPathName(), Cfg());
            EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), 5u);
        }
        // Refused before the first byte: the card is as it was.
        EXPECT_EQ(ReadBytes(otherCfg), ReadBytes(Cfg()));
        for (const char* name : {"SCHEDULE.SCH", "KELDA.CFG"}) {
            EXPECT_FALSE(fs::exists(other / name)) << name;
        }
    }
}

}  // namespace
