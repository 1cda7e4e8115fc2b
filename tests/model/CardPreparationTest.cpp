#include <gtest/gtest.h>

#include "DocFixture.h"

namespace {

namespace fs = std::filesystem;

using CardPreparation = DocFixture;

TEST_F(CardPreparation, AFreshCardGetsSoundsWithItsAudioFilesAndTheProgram) {
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
    EXPECT_EQ(ReadBytes(card / "Cardwright.exe"), ReadBytes(programDir / "cardwright"));
    EXPECT_EQ(doc->CountTracks(false), 3);

    // SOUNDS exists now: files copied into the root later stay where they are.
    Touch(card / "D.MP3");
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_TRUE(fs::exists(card / "D.MP3"));
    EXPECT_FALSE(fs::exists(card / "SOUNDS" / "D.MP3"));
}

TEST_F(CardPreparation, RunningFromTheCardLeavesTheProgramAlone) {
    for (const char* name : {"Cardwright.exe", "CARDWRIGHT.EXE"}) {
        SCOPED_TRACE(name);
        Touch(card / name, "running copy");
        doc->SetExecutablePath(card / name);
        ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
        EXPECT_EQ(ReadBytes(card / name),
                  std::vector<std::uint8_t>(
                      {'r', 'u', 'n', 'n', 'i', 'n', 'g', ' ', 'c', 'o', 'p', 'y'}));
        fs::remove(card / name);
    }
}

TEST_F(CardPreparation, AProgramThatCannotBeCopiedIsReportedAndTheSaveGoesOn) {
    doc->SetExecutablePath(programDir / "gone");
    EXPECT_TRUE(doc->OnSaveDocument(Cfg()));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text.rfind("Unable to copy Cardwright.exe to SmartMedia card!", 0),
              0u);
    EXPECT_TRUE(doc->IsLoaded());
}

TEST_F(CardPreparation, ASoundsFolderInOtherLetterCaseIsTheCardsSounds) {
    fs::create_directory(card / "Sounds");
    Touch(card / "Sounds" / "a.mp3");
    Touch(card / "b.mp3");
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_FALSE(fs::exists(card / "SOUNDS"));
    EXPECT_TRUE(fs::exists(card / "b.mp3"));
    EXPECT_EQ(doc->CountTracks(false), 1);
}

TEST_F(CardPreparation, OpeningACardWithoutSoundsCreatesIt) {
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    fs::remove_all(card / "SOUNDS");
    Touch(card / "song.wav");
    ASSERT_TRUE(doc->OnOpenDocument(Cfg()));
    EXPECT_TRUE(fs::is_directory(card / "SOUNDS"));
    EXPECT_TRUE(fs::exists(card / "SOUNDS" / "song.wav"));
    EXPECT_EQ(fs::current_path(), card.path());
}

TEST_F(CardPreparation, SoundsAsAFileFailsTheOpenAndTheSave) {
    const std::string message =
        "A file named SOUNDS exists on this SmartMedia.\nSOUNDS must be a directory for this "
        "media to be used with\nan TUNBOX player.  Please remove this file or use other media.";
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    fs::remove_all(card / "SOUNDS");
    Touch(card / "SOUNDS");

    doc->GetConfig()->Set(field::kSerialAddress, 5);
    prompter.shown.clear();
    EXPECT_FALSE(doc->OnOpenDocument(Cfg()));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, message);
    EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::Ok);
    EXPECT_EQ(prompter.shown[0].icon, Prompter::Icon::None);
    EXPECT_NE(prompter.shown[1].text.find(Cfg().string()), std::string::npos);
    EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), 5u);

    prompter.shown.clear();
    EXPECT_FALSE(doc->OnSaveDocument(Cfg()));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, message);
    EXPECT_EQ(ReadBytes(Cfg()).size(), 8802u);  // what was written stays
}

TEST_F(CardPreparation, ASoundsThatCannotBeCreatedIsReported) {
    const std::string message =
        "Unable to create SOUNDS directory on the selected media.\nPlease choose another disk.";
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    fs::remove_all(card / "SOUNDS");
    // A link to nowhere and a link to itself: neither is a directory, and
    // the name is taken. Works as root too, unlike a read-only folder.
    for (const char* target : {"nowhere", "SOUNDS"}) {
        SCOPED_TRACE(target);
        fs::create_symlink(target, card / "SOUNDS");
        prompter.shown.clear();
        EXPECT_FALSE(doc->OnOpenDocument(Cfg()));
        ASSERT_EQ(prompter.shown.size(), 2u);
        EXPECT_EQ(prompter.shown[0].text, message);
        EXPECT_EQ(doc->CountTracks(false), 0);
        fs::remove(card / "SOUNDS");
    }
}

}  // namespace
