#include <gtest/gtest.h>
#include <sys/stat.h>

#include "DocFixture.h"
#include "model/ConfigFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Slice(const Bytes& b, std::size_t at, std::size_t n) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(at),
                 b.begin() + static_cast<std::ptrdiff_t>(at + n));
}

Bytes ConfigOfVersion(std::uint32_t version, std::size_t size = 8802) {
    CardConfig c;
    c.SetDefaults();
    c.Set(field::kConfigVersion, version);
    Bytes bytes = configfile::Encode(c);
    bytes.resize(size, 0xEE);
    return bytes;
}

using ConfigFile = DocFixture;

TEST_F(ConfigFile, NewDocumentSavedAtOnceHoldsTheDefaults) {
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_TRUE(prompter.shown.empty());
    const Bytes file = ReadBytes(Cfg());
    ASSERT_EQ(file.size(), 8802u);
    Bytes first57 = {0x26, 0x00, 0x00, 0x6E, 0x02, 0x00, 0x08, 0x09, 0x00, 0x00, 0x00, 0x00};
    first57.insert(first57.end(), 24, 0x00);
    for (std::uint8_t b : {0x3C, 0xEF, 0x79, 0x01, 0x00, 0x00, 0xC8, 0x00, 0x00, 0x00, 0x00,
                           0x00, 0x98, 0x3A, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00}) {
        first57.push_back(b);
    }
    EXPECT_EQ(Slice(file, 0, 57), first57);
    EXPECT_EQ(Slice(file, 255, 15), (Bytes{0x00, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x03, 0x00,
                                           0x00, 0x00, 0x00, 0x10, 0x01, 0x00}));
    EXPECT_EQ(Slice(file, 8034, 3), (Bytes{0x03, 0x00, 0x00}));

    // The rest of the card comes with it.
    EXPECT_EQ(ReadBytes(card / "SCHEDULE.SCH").size(), 476u);
    EXPECT_EQ(ReadBytes(card / "KELDA.CFG").size(), 9614u);
    EXPECT_EQ(ReadBytes(card / "Cardwright.exe"), ReadBytes(programDir / "cardwright"));
    EXPECT_TRUE(std::filesystem::is_directory(card / "SOUNDS"));
    EXPECT_TRUE(doc->IsLoaded());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "TUNBOX.CFG");
}

TEST_F(ConfigFile, SizeDecidesWhetherAFileIsAccepted) {
    struct Case {
        std::size_t size;
        bool accepted;
    };
    for (const Case c : {Case{8801, false}, Case{8802, true}, Case{8803, true}, Case{8804, true},
                         Case{8805, false}, Case{0, true}, Case{3, false}, Case{100000, false}}) {
        SCOPED_TRACE("size " + std::to_string(c.size));
        Bytes bytes = ConfigOfVersion(38, c.size);
        if (c.size == 8802) {
            bytes[36] = 0x01;  // main volume left 1, to see the file was read
        }
        WriteBytes(Cfg(), bytes);
        doc->GetConfig()->Set(field::kSerialAddress, 9);  // only an accepted open replaces it
        doc->SetModifiedFlag(true);
        const auto pathBefore = doc->GetPathName();
        prompter.shown.clear();

        EXPECT_EQ(doc->OnOpenDocument(Cfg()), c.accepted);
        EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), c.accepted ? 0u : 9u);
        EXPECT_EQ(doc->IsModified(), !c.accepted);
        if (c.accepted) {
            EXPECT_TRUE(prompter.shown.empty());
            EXPECT_EQ(doc->GetPathName(), Cfg());
            EXPECT_EQ(doc->GetConfig()->Get(field::kMainVolumeLeft), c.size == 8802 ? 1u : 60u);
        } else {
            // One report, naming the file and its size; the open work stays.
            ASSERT_EQ(prompter.shown.size(), 1u);
            EXPECT_NE(prompter.shown[0].text.find(Cfg().string()), std::string::npos);
            EXPECT_NE(prompter.shown[0].text.find(std::to_string(c.size) + " bytes"),
                      std::string::npos);
            EXPECT_EQ(doc->GetPathName(), pathBefore);
        }
    }
}

TEST_F(ConfigFile, OlderVersionsAskAndNewerOnesAreRefused) {
    const std::string older =
        "Configuration file is version 37 and this configurator is version 38.\nUnless you want "
        "to upgrade the firmware on this flash card you should\nuse an older matching "
        "configurator on this card.\n\nDo you want to continue?";

    WriteBytes(Cfg(), ConfigOfVersion(37));
    prompter.Script({Prompter::Answer::No});
    EXPECT_FALSE(doc->OnOpenDocument(Cfg()));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, older);
    EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::YesNo);

    prompter.shown.clear();
    prompter.Script({Prompter::Answer::Yes});
    ASSERT_TRUE(doc->OnOpenDocument(Cfg()));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(doc->GetConfig()->Get(field::kConfigVersion), 37u);
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_EQ(Slice(ReadBytes(Cfg()), 0, 3), (Bytes{0x26, 0x00, 0x00}));
    EXPECT_EQ(doc->GetConfig()->Get(field::kConfigVersion), 38u);

    WriteBytes(Cfg(), ConfigOfVersion(39));
    prompter.shown.clear();
    EXPECT_FALSE(doc->OnOpenDocument(Cfg()));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text,
              "Configuration file is version 39, but configurator is only version 38.  You must "
              "use a newer configurator.");
    EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::Ok);
    EXPECT_NE(prompter.shown[1].text.find(Cfg().string()), std::string::npos);

    WriteBytes(Cfg(), ConfigOfVersion(38));
    prompter.shown.clear();
    EXPECT_TRUE(doc->OnOpenDocument(Cfg()));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ConfigFile, AnyNameButTunboxCfgIsWarnedAbout) {
    const std::string warning =
        "WARNING!\n\nThe TUNBOX only uses a config file named TUNBOX.CFG\n\nYou can save config "
        "files under other names, but you MUST\nrename them to TUNBOX.CFG before they will be "
        "used.";
    EXPECT_TRUE(doc->OnSaveDocument(card / "tunbox.cfg"));
    EXPECT_TRUE(prompter.shown.empty());

    for (const char* name : {"SHOW.CFG", "TUNBOX.BAK"}) {
        SCOPED_TRACE(name);
        prompter.shown.clear();
        prompter.Script({Prompter::Answer::Cancel});
        EXPECT_FALSE(doc->OnSaveDocument(card / name));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].text, warning);
        EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::OkCancel);
        EXPECT_EQ(prompter.shown[0].icon, Prompter::Icon::Warning);
        EXPECT_FALSE(std::filesystem::exists(card / name));

        prompter.Script({Prompter::Answer::Ok});
        EXPECT_TRUE(doc->OnSaveDocument(card / name));
        EXPECT_EQ(ReadBytes(card / name).size(), 8802u);
    }
}

TEST_F(ConfigFile, WordsAreLittleEndianAndGainsSigned) {
    doc->GetConfig()->Set(field::kBassGain, -3);
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    const Bytes file = ReadBytes(Cfg());
    EXPECT_EQ(Slice(file, 45, 3), (Bytes{0xFD, 0xFF, 0xFF}));
    EXPECT_EQ(Slice(file, 48, 3), (Bytes{0x98, 0x3A, 0x00}));

    CCardwrightDoc other(prompter);
    other.SetExecutablePath(programDir / "cardwright");
    ASSERT_TRUE(other.OnOpenDocument(Cfg()));
    EXPECT_EQ(other.GetConfig()->Word(15), 0xFFFFFDu);
    EXPECT_EQ(other.GetConfig()->Get(field::kBassGain), -3);
}

TEST_F(ConfigFile, EveryWordSurvivesASaveAndAnOpen) {
    CardConfig& c = *doc->GetConfig();
    for (int w = 1; w < layout::kWordCount; ++w) {
        c.SetWord(w, static_cast<std::uint32_t>(w * 2654435761u) & 0xFFFFFF);
    }
    const CardConfig before = c;
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    doc->OnNewDocument();
    ASSERT_TRUE(doc->OnOpenDocument(Cfg()));
    for (int w = 0; w < layout::kWordCount; ++w) {
        ASSERT_EQ(doc->GetConfig()->Word(w), w == 0 ? 38u : before.Word(w)) << "word " << w;
    }
}

TEST_F(ConfigFile, FileErrorsNameTheFileAndKeepTheDocument) {
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    doc->GetConfig()->Set(field::kSerialAddress, 42);
    doc->Schedules().AddScheduleEntry(3, ScheduleSet::MakeEntry(6, 0, false, 1));
    doc->SetModifiedFlag(true);

    // Cannot be read (missing, a folder, a pipe): the document is untouched.
    ::mkfifo((card / "PIPE.CFG").c_str(), 0600);
    for (const auto& bad : {card / "MISSING.CFG", card.path(), card / "PIPE.CFG"}) {
        SCOPED_TRACE(bad.string());
        prompter.shown.clear();
        EXPECT_FALSE(doc->OnOpenDocument(bad));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_NE(prompter.shown[0].text.find(bad.string()), std::string::npos);
        EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), 42u);
        EXPECT_EQ(doc->GetPathName(), Cfg());
        EXPECT_EQ(doc->GetTitle(), "TUNBOX.CFG");
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(doc->Schedules().EntryCount(3), 1);
    }

    // A save whose SOUNDS step fails has written the card files but keeps
    // the document on its old path.
    TempDir other;
    Touch(other / "SOUNDS");
    prompter.shown.clear();
    EXPECT_FALSE(doc->OnSaveDocument(other / "TUNBOX.CFG"));
    EXPECT_EQ(doc->GetPathName(), Cfg());
    EXPECT_EQ(ReadBytes(other / "SCHEDULE.SCH").size(), 482u);
    EXPECT_EQ(ReadBytes(other / "KELDA.CFG").size(), 9614u);

    // Cannot be created.
    prompter.shown.clear();
    EXPECT_FALSE(doc->OnSaveDocument(card / "NO-SUCH-DIR" / "TUNBOX.CFG"));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].text.find("NO-SUCH-DIR"), std::string::npos);

    // A write that fails part-way (a full card) leaves memory as it was: the
    // version and the schedule numbering stay until a save succeeds.
    std::filesystem::remove(Cfg());
    std::filesystem::remove(card / "SCHEDULE.SCH");
    std::filesystem::create_symlink("/dev/full", Cfg());
    doc->GetConfig()->Set(field::kConfigVersion, 37);
    doc->Schedules().AddScheduleEntry(5, ScheduleSet::MakeEntry(7, 30, true, 12));
    prompter.shown.clear();
    EXPECT_FALSE(doc->OnSaveDocument(Cfg()));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].text.find(Cfg().string()), std::string::npos);
    EXPECT_EQ(doc->GetConfig()->Get(field::kConfigVersion), 37u);
    EXPECT_EQ(doc->Schedules().EntryCount(5), 1);
    EXPECT_FALSE(std::filesystem::exists(card / "SCHEDULE.SCH"));
}

}  // namespace
