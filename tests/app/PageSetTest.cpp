// The sheet's page sets by player model and card, the track warning page,
// Reset Everything to Defaults and the track list after Save As.

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QTabWidget>
#include <QTreeWidget>

#include "AppTestSupport.h"
#include "app/CardwrightView.h"
#include "app/MainFrame.h"
#include "app/MyPropertySheet.h"
#include "pages/AudioSetup.h"
#include "pages/DummyPage.h"
#include "pages/InputSetup.h"
#include "pages/TrackSetup.h"

namespace {

const QStringList kClockPages{"Track Setup",
                              "Playlists",
                              "Audio Setup",
                              "Input Setup",
                              "Animation Input Setup",
                              "Animation Control Setup",
                              "Schedule"};

QString WarningText(AppHarness& h) {
    return h.Sheet().TrackWarningPage()->MessageText();
}

TEST(PageSet, WhatACardHoldsDecidesThePagesAndTheWarning) {
    AppHarness h;
    ASSERT_TRUE(h.Start());
    EXPECT_EQ(h.PageCaptions(), QStringList{"Track Warning"});
    EXPECT_EQ(h.ActiveCaption(), "Track Warning");
    EXPECT_EQ(WarningText(h), QString::fromUtf8(DummyPage::kTemplateText));
    EXPECT_TRUE(h.prompter.shown.empty());

    TestCard silent;
    silent.SaveConfig(PlayerModel::TunboxC40);
    ASSERT_TRUE(h.App().OpenDocumentFile(silent.ConfigPath()));
    EXPECT_EQ(h.PageCaptions(), QStringList{"Track Warning"});
    EXPECT_EQ(WarningText(h), QString::fromUtf8(DummyPage::kNoSoundFilesText));
    EXPECT_EQ(h.Frame().windowTitle(), "TUNBOX.CFG (" + silent.Dir() + ") - TUNBOX Configuration");

    TestCard card(TrackFiles(3));
    card.SaveConfig(PlayerModel::TunboxC40);
    ASSERT_TRUE(h.App().OpenDocumentFile(card.ConfigPath()));
    EXPECT_EQ(h.PageCaptions(), kClockPages);
    EXPECT_EQ(h.ActiveCaption(), "Track Setup");
    EXPECT_EQ(h.Sheet().Tabs()->currentWidget(),
              static_cast<QWidget*>(h.Sheet().FrameOf(h.Sheet().GetActivePage())));
    EXPECT_FALSE(h.Doc().IsModified());
}

TEST(PageSet, ChangedCardOpensOnTheWarningWhichGoesOnceLeft) {
    TestCard card(TrackFiles(3));
    card.SaveConfig(PlayerModel::TunboxC40, [](CCardwrightDoc& doc) {
        CardConfig& c = *doc.GetConfig();
        c.Set(field::kEndAction, 3, 2);
        c.SetPlaylistEntry(0, 0, "TRACK02.MP3");
        c.SetPlaylistCount(0, 1);
        c.Set(field::kInputMode, InputSet::Player, 0, inputs::kIndependent);
        c.Set(field::kCloseCode, InputSet::Player, 0, 2);
    });
    card.RemoveSound("TRACK02.MP3");
    card.AddSound("EXTRA.WAV");

    AppHarness h;
    ASSERT_TRUE(h.Start({card.ConfigPath()}));
    EXPECT_EQ(h.PageCaptions(), QStringList{"Track Warning"} + kClockPages);
    EXPECT_EQ(h.ActiveCaption(), "Track Warning");
    EXPECT_EQ(WarningText(h), QString::fromUtf8(DummyPage::kTracksChangedText));
    // The reconciliation has given the new file a free slot and cleared the
    // slot of the file that went.
    EXPECT_EQ(h.Doc().GetConfig()->TrackName(4), "EXTRA.WAV");
    EXPECT_EQ(h.Doc().GetConfig()->TrackName(2), "");
    EXPECT_EQ(h.Sheet().TrackWarningPage()->ChangesText(),
              "New on the card: EXTRA.WAV\nGone from the card: TRACK02.MP3");

    // Clicking another tab removes the warning and shows that tab.
    h.Sheet().Tabs()->setCurrentIndex(3);
    EXPECT_EQ(h.PageCaptions(), kClockPages);
    EXPECT_EQ(h.ActiveCaption(), "Audio Setup");
    EXPECT_EQ(h.Sheet().Tabs()->currentWidget(),
              static_cast<QWidget*>(h.Sheet().FrameOf(h.Sheet().GetActivePage())));
    EXPECT_FALSE(h.Sheet().TrackWarningPage()->isVisible());
    // What pointed at the track that went is marked on the Track page.
    h.Frame().GoToPage(PageId::TrackSetup);
    auto* note = h.Sheet().GetActivePage()->findChild<QLabel*>("emptyTrackNote");
    EXPECT_EQ(note->text(),
              "No file on the card for: track 3 going on to track 2; input 0 on closing playing "
              "track 2; entry 1 of playlist 1 (TRACK02.MP3).");
    auto* list = h.Sheet().GetActivePage()->findChild<QTreeWidget*>("trackList");
    EXPECT_EQ(list->topLevelItem(1)->toolTip(CTrackSetup::kAtEndColumn),
              "Track 2 has no file on the card");

    // Put back by a later page set with nothing changed, it keeps its text.
    h.Sheet().BuildPageSet();
    h.Sheet().AddPage(h.Sheet().TrackWarningPage());
    h.Sheet().SetActivePage(h.Sheet().GetPageCount() - 1);
    EXPECT_EQ(h.ActiveCaption(), "Track Warning");
    EXPECT_EQ(WarningText(h), QString::fromUtf8(DummyPage::kTracksChangedText));
}

// Going through the models without a clock keeps the schedules and the
// reset time for the clock models after them.
TEST(PageSet, EachPlayerTypeIsCheckedShowsItsPagesAndMarksTheDocumentWhenItChangesTheModel) {
    const QStringList audioOnly{"Track Setup", "Playlists", "Audio Setup", "Input Setup"};
    const QStringList animation = kClockPages.mid(0, 6);
    const std::pair<PlayerModel, QStringList> cases[] = {
        {PlayerModel::TunboxC40, kClockPages}, {PlayerModel::Tunlet, audioOnly},
        {PlayerModel::Tunbox, audioOnly},      {PlayerModel::TunboxA8, animation},
        {PlayerModel::TunboxA40, animation},   {PlayerModel::TunboxC8, kClockPages},
    };
    TestCard card(TrackFiles(2));
    card.SaveConfig(PlayerModel::TunboxC8, [](CCardwrightDoc& doc) {
        doc.Schedules().AddScheduleEntry(1, ScheduleSet::MakeEntry(9, 30, true, 1));
        doc.Schedules().SetDaySchedule(0, 0, 1);
        doc.Schedules().SetResetTime(0x12, 0x34, 0x56);
    });
    AppHarness h;
    ASSERT_TRUE(h.Start({card.ConfigPath()}));
    // The menu checks the item of the model word, and no other.
    auto* menu = h.Frame().findChild<QMenu*>("playerTypeMenu");
    auto checked = [&] {
        emit menu->aboutToShow();
        QList<QAction*> on = menu->actions();
        on.removeIf([](QAction* a) { return !a->isChecked(); });
        return on;
    };
    EXPECT_EQ(checked(), QList{h.Frame().PlayerTypeAction(PlayerModel::TunboxC8)});
    for (const auto& [model, pages] : cases) {
        h.Doc().SetModifiedFlag(false);
        h.Frame().PlayerTypeAction(model)->trigger();
        EXPECT_EQ(checked(), QList{h.Frame().PlayerTypeAction(model)});
        EXPECT_EQ(h.PageCaptions(), pages) << static_cast<int>(model);
        EXPECT_EQ(h.ActiveCaption(), "Track Setup");
        EXPECT_TRUE(h.Doc().IsModified());
        const bool audioOnly = pages.size() == 4;
        EXPECT_EQ(h.Frame().findChild<CAudioSetup*>()->CoverFlag(), audioOnly ? 1 : 0);
        EXPECT_EQ(h.Frame().findChild<CInputSetup*>("Input Setup")->TableSelector(),
                  InputSet::Player);
        EXPECT_EQ(h.Frame().findChild<CInputSetup*>("Animation Input Setup")->TableSelector(),
                  InputSet::Animation);
    }
    const ScheduleSet& s = h.Doc().Schedules();
    EXPECT_TRUE(s.InUse(1));
    EXPECT_EQ(s.DaySchedule(0, 0), 1);
    EXPECT_EQ(s.ResetTime(), (std::array<std::uint8_t, 3>{0x12, 0x34, 0x56}));
    // Choosing the checked item again changes nothing and keeps its mark.
    h.Doc().SetModifiedFlag(false);
    h.Frame().PlayerTypeAction(PlayerModel::TunboxC8)->trigger();
    EXPECT_FALSE(h.Doc().IsModified());
    EXPECT_EQ(checked(), QList{h.Frame().PlayerTypeAction(PlayerModel::TunboxC8)});
    // A model word the menu does not know (no size bit) checks nothing.
    h.Doc().GetConfig()->Set(field::kPlayerModelWord, CardConfig::kModelClock);
    EXPECT_TRUE(checked().isEmpty());
}

// The rules themselves are the model's.
TEST(ResetEverything, RunsForTheCardsFilesAndMarksTheDocument) {
    TestCard card(TrackFiles(20));
    card.SaveConfig(PlayerModel::TunboxC40,
                    [](CCardwrightDoc& doc) { doc.GetConfig()->Set(field::kMainVolumeLeft, 10); });
    AppHarness h;
    ASSERT_TRUE(h.Start({card.ConfigPath()}));
    h.Sheet().SetActivePage(2);
    h.Frame().findChild<QAction*>("resetEverything")->trigger();

    const CardConfig& c = *h.Doc().GetConfig();
    EXPECT_EQ(c.Get(field::kMainVolumeLeft), 60u);
    EXPECT_EQ(c.Get(field::kInputMode, InputSet::Animation, 4), 6u);  // 20 files: binary bit 4
    EXPECT_EQ(h.Doc().Schedules().ResetTime(), (std::array<std::uint8_t, 3>{0x03, 0x05, 0x01}));
    EXPECT_TRUE(h.Doc().IsModified());
    EXPECT_EQ(h.ActiveCaption(), "Track Setup");
    EXPECT_EQ(h.PageCaptions(), kClockPages);
}

TEST(SaveAs, TracksKeepTheirSettingsUnlessTheirFilesAreNotOnTheCardSavedTo) {
    TestCard card(TrackFiles(3));
    card.SaveConfig(PlayerModel::TunboxA8, [](CCardwrightDoc& doc) {
        for (int n = 1; n <= 3; ++n) {
            doc.GetConfig()->Set(field::kEndAction, n, playcode::kNextHigher);
            doc.GetConfig()->Set(field::kEndDelay, n, 10 * n);
        }
    });
    TestCard target({"TRACK03.MP3", "NEW.MP3", "TRACK01.MP3"});
    AppHarness h;
    ASSERT_TRUE(h.Start({card.ConfigPath()}));
    auto* list = h.Frame().findChild<QTreeWidget*>("trackList");
    list->setCurrentItem(list->topLevelItem(1));  // the track shown goes with the others
    const CardConfig& c = *h.Doc().GetConfig();
    const CardConfig before = c;

    h.files.names = {std::nullopt, target.ConfigPath()};
    EXPECT_FALSE(h.Frame().View()->OnFileSaveAs());
    EXPECT_TRUE(c == before);

    EXPECT_TRUE(h.Frame().View()->OnFileSaveAs());
    EXPECT_EQ(h.files.suggested.last(), card.ConfigPath());
    EXPECT_EQ(h.Doc().GetPathName(), target.Path("TUNBOX.CFG"));
    for (int n : {1, 3}) {
        EXPECT_EQ(c.TrackRecordWord(n, 0), before.TrackRecordWord(n, 0)) << n;  // the settings
    }
    EXPECT_FALSE(c.TrackExists(2));
    EXPECT_EQ(c.Get(field::kEndDelay, 2), 0u);
    EXPECT_EQ(c.TrackName(4), "NEW.MP3");

    ScriptedPrompter quiet;
    CCardwrightDoc saved(quiet);
    ASSERT_TRUE(saved.OnOpenDocument(target.Path("TUNBOX.CFG")));
    EXPECT_EQ(saved.GetConfig()->Get(field::kEndDelay, 2), 20u);
}

TEST(Save, ATypedValueThePageRefusesIsReportedOnceAndSavesNothing) {
    TestCard card(TrackFiles(2));
    card.SaveConfig(PlayerModel::Tunbox);
    AppHarness h;
    ASSERT_TRUE(h.Start({card.ConfigPath()}));
    h.Frame().show();
    ASSERT_EQ(h.ActiveCaption(), "Track Setup");
    auto* delay = h.Frame().findChild<QLineEdit*>("delayEdit");
    ASSERT_NE(delay, nullptr);
    delay->setFocus();
    delay->setText(QStringLiteral("abc"));
    QFile::remove(card.ConfigPath());
    h.Doc().GetConfig()->Set(field::kEndAction, 2, playcode::kRandom);

    for (const char* action : {"fileSave", "fileSaveAs"}) {
        SCOPED_TRACE(action);
        h.prompter.shown.clear();
        h.Frame().findChild<QAction*>(action)->trigger();
        QApplication::processEvents();
        EXPECT_EQ(h.prompter.shown.size(), 1u);
        EXPECT_EQ(h.ActiveCaption(), "Track Setup");
        EXPECT_FALSE(QFile::exists(card.ConfigPath()));
        EXPECT_TRUE(h.files.suggested.isEmpty());
        EXPECT_EQ(h.Doc().GetConfig()->Get(field::kEndAction, 2), playcode::kRandom);
        delay->setText(QStringLiteral("abc"));
    }
}

TEST(Save, NewDocumentAsksForANameAndTheRebuildDropsTheWarning) {
    TestCard target(TrackFiles(2));
    AppHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_EQ(h.PageCaptions(), QStringList{"Track Warning"});

    h.files.names.push_back(target.ConfigPath());
    h.Frame().findChild<QAction*>("fileSave")->trigger();
    EXPECT_EQ(h.files.suggested.size(), 1);
    EXPECT_TRUE(QFile::exists(target.ConfigPath()));
    EXPECT_EQ(h.Frame().windowTitle(), "TUNBOX.CFG (" + target.Dir() + ") - TUNBOX Configuration");
    EXPECT_EQ(h.App().RecentFiles().Files(), QStringList{target.ConfigPath()});
    // Plain Save keeps the track list; the page set follows the card.
    EXPECT_EQ(h.PageCaptions().first(), "Track Warning");
    EXPECT_EQ(WarningText(h), QString::fromUtf8(DummyPage::kTracksChangedText));
}

TEST(Save, KeepsThePageInFrontAndWhatItShows) {
    TestCard card(TrackFiles(5));
    card.SaveConfig(PlayerModel::TunboxC40);
    TestCard other(TrackFiles(5));
    AppHarness h;
    ASSERT_TRUE(h.Start({card.ConfigPath()}));
    h.Frame().show();
    auto* list = h.Frame().findChild<QTreeWidget*>("trackList");
    list->setCurrentItem(list->topLevelItem(3));
    h.Frame().GoToPage(PageId::Schedule);
    h.Frame().findChild<QAction*>("fileSave")->trigger();
    EXPECT_EQ(h.ActiveCaption(), "Schedule");

    h.Frame().GoToPage(PageId::InputSetup);
    auto* inputs = h.Frame().findChild<QComboBox*>("inputCombo");
    inputs->setCurrentIndex(3);
    emit inputs->activated(3);
    h.Frame().findChild<QAction*>("fileSave")->trigger();
    EXPECT_EQ(h.ActiveCaption(), "Input Setup");
    EXPECT_EQ(inputs->currentIndex(), 3);

    // Save As to another card rebuilds the pages, and the place stays.
    h.Frame().GoToPage(PageId::TrackSetup);
    h.files.names.push_back(other.ConfigPath());
    h.Frame().findChild<QAction*>("fileSaveAs")->trigger();
    EXPECT_EQ(h.ActiveCaption(), "Track Setup");
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->indexOfTopLevelItem(list->currentItem()), 3);
}

}  // namespace
