#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "DocFixture.h"
#include "model/ConfigFile.h"

namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;

using ConfigFile = DocFixture;

TEST_F(ConfigFile, ANewDocumentSavedAtOnceWritesTheDefaultCard) {
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_TRUE(prompter.shown.empty());
    ExpectSameBytes(ReadBytes(Cfg()), ReadBytes(TestCard("defaults") / "TUNBOX.CFG"));
    ExpectSameBytes(ReadBytes(card / "KELDA.CFG"), ReadBytes(TestCard("defaults") / "KELDA.CFG"));
    EXPECT_EQ(ReadBytes(card / "SCHEDULE.SCH").size(), 476u);
}

// A file opens by its size (2934 words once cut to whole words, or nothing
// at all) and its version: an older one asks, a newer one is refused. Only an
// accepted file reaches the document.
TEST_F(ConfigFile, SizeAndVersionDecideWhetherAFileOpens) {
    using A = Prompter::Answer;
    struct Row {
        std::size_t size;
        std::uint32_t version;
        A answer;  // to the version question
        bool opens;
        const char* told;  // in the first message, if any
    };
    const Row rows[] = {
        {8801, 38, A::Yes, false, "8801 bytes"},
        {8802, 38, A::Yes, true, nullptr},
        {8803, 38, A::Yes, true, nullptr},
        {8804, 38, A::Yes, true, nullptr},
        {8805, 38, A::Yes, false, "8805 bytes"},
        {0, 38, A::Yes, true, nullptr},
        {3, 38, A::Yes, false, "3 bytes"},
        {100000, 38, A::Yes, false, "100000 bytes"},
        {8802, 37, A::No, false, "version 37 and this configurator is version 38"},
        {8802, 37, A::Yes, true, "version 37 and this configurator is version 38"},
        {8802, 39, A::Yes, false, "version 39, but configurator is only version 38"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.size) + " bytes, version " + std::to_string(row.version));
        CardConfig c;
        c.SetDefaults();
        c.Set(field::kConfigVersion, row.version);
        c.Set(field::kMainVolumeLeft, 1);  // to see the file was read
        Bytes bytes = configfile::Encode(c);
        bytes.resize(row.size, 0xEE);
        WriteBytes(Cfg(), bytes);
        doc->GetConfig()->Set(field::kSerialAddress, 9);
        doc->SetModifiedFlag(true);
        const auto pathBefore = doc->GetPathName();
        prompter.shown.clear();
        prompter.answers = {row.answer};

        EXPECT_EQ(doc->OnOpenDocument(Cfg()), row.opens);
        EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), row.opens ? 0u : 9u);
        EXPECT_EQ(doc->IsModified(), !row.opens);
        EXPECT_EQ(doc->GetPathName(), row.opens ? Cfg() : pathBefore);
        if (row.opens) {
            EXPECT_EQ(doc->GetConfig()->Get(field::kMainVolumeLeft), row.size == 0 ? 60u : 1u);
        }
        // The version question or message comes first; a refusal is reported
        // last, naming the file.
        ASSERT_EQ(prompter.shown.size(), (row.version != 38 ? 1u : 0u) + (row.opens ? 0u : 1u));
        if (row.told) {
            EXPECT_THAT(prompter.shown[0].text, HasSubstr(row.told));
            EXPECT_EQ(prompter.shown[0].buttons,
                      row.version < 38 ? Prompter::Buttons::YesNo : Prompter::Buttons::Ok);
        }
        if (!row.opens) {
            EXPECT_THAT(prompter.shown.back().text, HasSubstr(Cfg().string()));
        }
    }
}

TEST_F(ConfigFile, AnyNameButTunboxCfgIsWarnedAbout) {
    EXPECT_TRUE(doc->OnSaveDocument(card / "tunbox.cfg"));
    EXPECT_TRUE(prompter.shown.empty());

    for (const char* name : {"SHOW.CFG", "TUNBOX.BAK"}) {
        SCOPED_TRACE(name);
        prompter.shown.clear();
        prompter.Script({Prompter::Answer::Cancel, Prompter::Answer::Ok});
        EXPECT_FALSE(doc->OnSaveDocument(card / name));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::OkCancel);
        EXPECT_EQ(prompter.shown[0].icon, Prompter::Icon::Warning);
        EXPECT_FALSE(fs::exists(card / name));
        EXPECT_TRUE(doc->OnSaveDocument(card / name));
        EXPECT_EQ(ReadBytes(card / name).size(), 8802u);
    }
}

TEST_F(ConfigFile, FileErrorsNameTheFileAndKeepTheDocument) {
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    doc->GetConfig()->Set(field::kSerialAddress, 42);
    doc->Schedules().AddScheduleEntry(3, ScheduleSet::MakeEntry(6, 0, false, 1));
    doc->SetModifiedFlag(true);

    // Cannot be read (missing, a folder, a pipe): the document is untouched,
    // and so is the current folder.
    ::mkfifo((card / "PIPE.CFG").c_str(), 0600);
    const fs::path folder = fs::current_path();
    for (const auto& bad : {card / "MISSING.CFG", card.path(), card / "PIPE.CFG"}) {
        SCOPED_TRACE(bad.string());
        prompter.shown.clear();
        EXPECT_FALSE(doc->OnOpenDocument(bad));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_THAT(prompter.shown[0].text, HasSubstr(bad.string()));
        EXPECT_EQ(doc->GetConfig()->Get(field::kSerialAddress), 42u);
        EXPECT_EQ(doc->GetPathName(), Cfg());
        EXPECT_EQ(doc->GetTitle(), "TUNBOX.CFG");
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(doc->Schedules().EntryCount(3), 1);
        EXPECT_EQ(fs::current_path(), folder);
    }

    // Cannot be created.
    prompter.shown.clear();
    EXPECT_FALSE(doc->OnSaveDocument(card / "NO-SUCH-DIR" / "TUNBOX.CFG"));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_THAT(prompter.shown[0].text,
                AllOf(HasSubstr("NO-SUCH-DIR"), HasSubstr("Nothing was written.")));
}

}  // namespace
