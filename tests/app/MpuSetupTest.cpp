// The Animation Control Setup page on a card folder: the modes and their
// numbers, and the show file group over real files.

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "AppTestSupport.h"
#include "pages/MpuSetup.h"
#include "pages/PageFields.h"

namespace {

namespace fs = std::filesystem;

struct MpuPage : PageOnCard<CMpuSetup> {
    MpuPage() : PageOnCard(TrackFiles(1)) {}
    // A show file beside the configuration, written `hoursAgo` before now.
    void AddShow(const QString& name, int hoursAgo) {
        card.AddSound(name);
        const fs::path from = card.Path("SOUNDS/" + name), to = card.Path(name);
        fs::rename(from, to);
        fs::last_write_time(to, fs::file_time_type::clock::now() - std::chrono::hours(hoursAgo));
    }
    QString Text(const char* name) { return Find<QLineEdit>(QString::fromLatin1(name))->text(); }
    QString Caption() { return Find<QGroupBox>("currentShowGroup")->title(); }
    QString Label(const char* name) {
        return pagefields::WithoutMnemonic(Find<QLabel>(QString::fromLatin1(name))->text());
    }
};

TEST(MpuSetup, ModesKeepTheirOwnNumbers) {
    MpuPage p;
    CardConfig& c = p.Config();
    c.Set(field::kMidiReception, true);
    c.Set(field::kNetSerialReception, true);
    c.Set(field::kSerialAddress, 12);
    c.Set(field::kFirstAnimationChannel, 200);
    c.Set(field::kMidiChannel, 2);
    p.Activate();
    EXPECT_TRUE(p.Find<QAbstractButton>("midiReceptionRadio")->isChecked());
    EXPECT_EQ(p.Label("addressOrChannelLabel"), "MIDI Channel Number");
    EXPECT_EQ(p.Text("addressOrChannelEdit"), "3");
    p.Retype("addressOrChannelEdit", "5");
    p.Retype("playerControlEdit", "300");

    p.Click("dmxReceptionRadio");
    EXPECT_EQ(p.Label("addressOrChannelLabel"), "Tessel Serial Address");
    EXPECT_EQ(p.Text("addressOrChannelEdit"), "12");
    EXPECT_EQ(p.Text("firstChannelOrNoteEdit"), "200");
    p.Retype("addressOrChannelEdit", "263");  // stored cut to the field's eight bits
    p.Retype("firstChannelOrNoteEdit", "65545");
    p.Click("midiReceptionRadio");
    EXPECT_EQ(p.Text("addressOrChannelEdit"), "5");

    // Leaving in MIDI mode keeps the serial fields and clears the other bits.
    p.doc.SetModifiedFlag(false);
    ASSERT_TRUE(p.page.Store());
    EXPECT_TRUE(p.doc.IsModified());
    EXPECT_EQ(c.Get(field::kMidiChannel), 4u);
    EXPECT_EQ(c.Get(field::kSerialAddress), 7u);
    EXPECT_EQ(c.Get(field::kFirstAnimationChannel), 9u);
    EXPECT_EQ(c.Get(field::kPlayerControlChannel), 300u);  // beyond the arrows' 127
    EXPECT_EQ(c.Get(field::kOptionWord) & 0xF, 0x2u);

    // An empty field keeps the mode and is reported.
    p.Retype("addressOrChannelEdit", "");
    p.Click("dmxTransmitRadio");
    EXPECT_TRUE(p.Find<QAbstractButton>("midiReceptionRadio")->isChecked());
    ASSERT_EQ(p.prompter.shown.size(), 1u);
    EXPECT_EQ(p.prompter.shown[0].text, "Please enter a whole number for \"MIDI Channel Number\".");
    // Refused on leaving, it keeps its stored value; the rest is stored.
    p.Click("writeProtectCheck");
    EXPECT_FALSE(p.page.Store());
    EXPECT_EQ(c.Get(field::kMidiChannel), 4u);
    EXPECT_TRUE(c.Get(field::kFlashWriteProtectFlag));
}

TEST(MpuSetup, ANewerShowFileIsOfferedAndChosenForTheNextBoot) {
    MpuPage p;
    p.AddShow("SHOW.A00", 48);
    p.AddShow("SHOW.A01", 1);
    p.Config().Set(field::kCurrentDownloadFile, "SHOW.A00");
    p.Activate();
    EXPECT_EQ(p.Caption(), " Current Autolownload File - NEWER AVAILABLE! ");
    auto* combo = p.Find<QComboBox>("showFileCombo");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_TRUE(combo->currentText().startsWith("SHOW.A01  "));
    p.Click("nextBootCheck");
    ASSERT_TRUE(p.page.Store());
    EXPECT_TRUE(p.Config().Get(field::kNextBootFlag));
    EXPECT_EQ(p.Config().Get(field::kChosenDownloadFile), "SHOW.A01");
    EXPECT_EQ(p.Config().Get(field::kChosenDownloadStamp),
              platform::CardFileTime(fs::last_write_time(p.card.Path("SHOW.A01"))));

    // The request stays chosen on the next visit, even once it is not the newest.
    p.AddShow("SHOW.A02", 0);
    p.page.OnSetActive();
    EXPECT_TRUE(combo->currentText().startsWith("SHOW.A01  "));

    // With only the current file, nothing is offered; a current file that is
    // gone says so.
    fs::remove(p.card.Path("SHOW.A01"));
    fs::remove(p.card.Path("SHOW.A02"));
    p.Config().Set(field::kNextBootFlag, false);
    p.page.OnSetActive();
    EXPECT_EQ(p.Caption(), " Current Autolownload File ");
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(p.Find<QLabel>("currentShowLabel")->text(), "SHOW.A00");
    fs::remove(p.card.Path("SHOW.A00"));
    p.page.OnSetActive();
    EXPECT_EQ(p.Find<QLabel>("currentShowLabel")->text(), "SHOW.A00  (not on the card)");
}

TEST(MpuSetup, AnUnreadableFolderIsReportedAndKeepsTheShowSettings) {
    MpuPage p;
    p.doc.SetPathName(p.card.Path("SOUNDS/TRACK01.MP3/TUNBOX.CFG"));
    p.Config().Set(field::kNextBootFlag, true);
    p.Config().Set(field::kLoadOnBootFlag, true);
    p.Activate();
    ASSERT_EQ(p.prompter.shown.size(), 1u);
    EXPECT_NE(p.prompter.shown[0].text.find(p.card.Path("SOUNDS/TRACK01.MP3").string()),
              std::string::npos);
    ASSERT_TRUE(p.page.Store());
    EXPECT_TRUE(p.Config().Get(field::kNextBootFlag));
    EXPECT_TRUE(p.Config().Get(field::kLoadOnBootFlag));
}

}  // namespace
