// Adding audio and putting SOUNDS in track order from the window: the Add
// Audio dialog on its own, and the flows behind the Track and Track Warning
// pages' buttons with the user's choices scripted.

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "AppTestSupport.h"
#include "TestSupport.h"
#include "Tones.h"
#include "app/EditHistory.h"
#include "cardaudio/MediaTool.h"
#include "model/SoundsOrder.h"
#include "pages/AddAudioDialog.h"
#include "pages/AudioOnCard.h"
#include "pages/DummyPage.h"
#include "pages/TrackSetup.h"

namespace {

namespace fs = std::filesystem;

// Three files to add: two sounds and a text file named as one.
struct Inputs {
    Inputs() {
        WriteTone(dir.path() / "Bell.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24);
        WriteTone(dir.path() / "Alarm.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24);
        Touch(dir.path() / "notes.wav", "words");
    }
    std::vector<addaudio::Source> Sources() {
        cardaudio::MediaTool tool;
        return addaudio::InspectAll(
            {dir.path() / "Bell.wav", dir.path() / "Alarm.wav", dir.path() / "notes.wav"}, tool);
    }
    TempDir dir;
};

std::vector<std::string> Names(const std::vector<addaudio::Source>& sources) {
    std::vector<std::string> names;
    for (const auto& s : sources) {
        names.push_back(s.path.filename().string());
    }
    return names;
}

TEST(AddAudioDialog, ListsThePlanLetsTheUserOrderAndTickAndChecksTheSpace) {
    Inputs in;
    TempDir card;
    addaudio::PlanOptions roomy;
    roomy.freeSpace = [](const fs::path&, std::error_code&) { return std::uintmax_t{1} << 30; };
    CAddAudioDialog d(card.path(), in.Sources(), roomy);
    auto* list = d.findChild<QTreeWidget*>("audioPlanList");
    auto* add = d.findChild<QPushButton*>("addButton");
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(CAddAudioDialog::kNameColumn), "BELL.WAV");
    EXPECT_TRUE(
        list->topLevelItem(0)->text(CAddAudioDialog::kActionColumn).startsWith("Converted"));
    EXPECT_EQ(list->topLevelItem(2)->text(CAddAudioDialog::kFormatColumn), "Cannot be read");
    EXPECT_FALSE(list->topLevelItem(2)->flags() & Qt::ItemIsUserCheckable);
    EXPECT_TRUE(add->isEnabled());
    EXPECT_EQ(Names(d.Confirmed()), (std::vector<std::string>{"Bell.wav", "Alarm.wav"}));

    list->setCurrentItem(list->topLevelItem(0));
    d.findChild<QPushButton*>("moveDownButton")->click();
    EXPECT_EQ(Names(d.Confirmed()), (std::vector<std::string>{"Alarm.wav", "Bell.wav"}));
    list->topLevelItem(0)->setCheckState(CAddAudioDialog::kFileColumn, Qt::Unchecked);
    EXPECT_EQ(Names(d.Confirmed()), std::vector<std::string>{"Bell.wav"});
    EXPECT_EQ(list->topLevelItem(0)->text(CAddAudioDialog::kActionColumn), "Not added");

    addaudio::PlanOptions full;
    full.freeSpace = [](const fs::path&, std::error_code&) { return std::uintmax_t{1000}; };
    CAddAudioDialog tight(card.path(), in.Sources(), full);
    EXPECT_FALSE(tight.findChild<QPushButton*>("addButton")->isEnabled());
    EXPECT_TRUE(tight.findChild<QLabel*>("spaceLabel")->text().startsWith("Space needed: 64 KB"));
}

// The user picks the files and keeps only those named in `keep`.
class Choices : public AudioChoices {
  public:
    QStringList PickFiles(QWidget*) override { return picked; }
    std::vector<addaudio::Source> Confirm(QWidget*, const fs::path&, const DirectoryLister&,
                                          std::vector<addaudio::Source> sources) override {
        std::erase_if(sources, [this](const auto& s) {
            return std::find(keep.begin(), keep.end(), s.path.filename()) == keep.end();
        });
        return sources;
    }
    QStringList picked;
    std::vector<std::string> keep;
};

TEST(AudioOnCard, TheTrackPageAddsOnlyTheConfirmedFilesAndPutsTheFilesInTrackOrder) {
    Inputs in;
    PageOnCard<CTrackSetup> p(TrackFiles(2));
    EditHistory history(p.doc, nullptr);
    Choices choices;
    choices.picked = {QString::fromStdString((in.dir.path() / "Bell.wav").string()),
                      QString::fromStdString((in.dir.path() / "Alarm.wav").string())};
    choices.keep = {"Alarm.wav"};
    p.page.SetAudioChoices(&choices);
    p.Activate();
    p.Click("addAudioButton");
    EXPECT_TRUE(p.prompter.shown.empty());
    EXPECT_TRUE(fs::exists(p.card.Path("SOUNDS/Alarm.wav")));
    EXPECT_FALSE(fs::exists(p.card.Path("SOUNDS/Bell.wav")));
    EXPECT_EQ(p.Config().TrackName(3), "ALARM.WAV");
    EXPECT_EQ(p.Config().Get(field::kEndAction, 3), playcode::kStopNow);
    EXPECT_EQ(p.page.findChild<QTreeWidget*>("trackList")->topLevelItemCount(), 3);
    EXPECT_TRUE(p.doc.IsModified());

    // Track 1's file moved to track 2: the files lie out of track order
    // until they are put in it.
    p.page.findChild<QTreeWidget*>("trackList")
        ->setCurrentItem(p.page.findChild<QTreeWidget*>("trackList")->topLevelItem(0));
    p.Click("moveDownButton");
    EXPECT_TRUE(soundsorder::OutOfTrackOrder(p.Config()));
    p.Click("trackOrderButton");
    EXPECT_TRUE(p.prompter.shown.empty());
    EXPECT_FALSE(soundsorder::OutOfTrackOrder(p.Config()));
    for (const char* name : {"TRACK01.MP3", "TRACK02.MP3", "Alarm.wav"}) {
        EXPECT_TRUE(fs::exists(p.card.Path(QString("SOUNDS/") + name))) << name;
    }
    EXPECT_FALSE(fs::exists(p.card.Path(soundsorder::kJournalName)));

    // Undo puts the files and the settings back as they were; redo again.
    const CardConfig ordered = p.Config();
    history.Stack().undo();
    EXPECT_TRUE(soundsorder::OutOfTrackOrder(p.Config()));
    history.Stack().redo();
    EXPECT_EQ(p.Config(), ordered);
    EXPECT_TRUE(p.prompter.shown.empty());
    EXPECT_TRUE(fs::exists(p.card.Path("SOUNDS/Alarm.wav")));
    EXPECT_FALSE(fs::exists(p.card.Path(soundsorder::kHoldingFolderName)));
}

TEST(AudioOnCard, TheTrackWarningPageOffersToAddAudioToACardWithNone) {
    TestCard card;
    card.SaveConfig(PlayerModel::Tunbox);
    ScriptedPrompter prompter;
    CCardwrightDoc doc(prompter);
    ASSERT_TRUE(doc.OnOpenDocument(card.Path("TUNBOX.CFG")));
    DummyPage page(doc);
    page.show();
    page.BeforeShow();
    page.OnSetActive();
    EXPECT_TRUE(page.findChild<QPushButton*>("addAudioButton")->isVisible());
    EXPECT_FALSE(page.findChild<QPushButton*>("trackOrderButton")->isVisible());
}

}  // namespace
