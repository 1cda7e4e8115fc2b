// The Track Setup page on real card folders: what the list and the controls
// show, what typing and picking store, moving files between track numbers,
// copying settings to every track, and the keyboard.

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>

#include "AppTestSupport.h"
#include "app/MainFrame.h"
#include "pages/TrackSetup.h"

namespace {

const std::string kDelayNotNumber = "Please enter a number for the delay in seconds.";

// A document on a card folder with the track list built from its files, and
// the page over it, shown on its own. The card lists its files in the order
// given, so the n-th file is track n.
struct PageOnCard {
    explicit PageOnCard(const QStringList& files) : card(files), doc(prompter) {
        doc.SetDirectoryLister([files](const std::filesystem::path& dir, std::error_code& ec) {
            auto list = platform::ListDirectory(dir, ec, platform::ListDetail::KindOnly);
            std::stable_sort(list.begin(), list.end(), [&files](const auto& a, const auto& b) {
                return files.indexOf(QString::fromStdString(a.longName)) <
                       files.indexOf(QString::fromStdString(b.longName));
            });
            return list;
        });
        doc.OnNewDocument();
        doc.SetPathName(card.Path("TUNBOX.CFG"));
        doc.CountTracks(true);
        page.SetPrompter(&prompter);
        page.resize(900, 500);
    }

    void Activate() {
        page.show();
        page.OnSetActive();
    }

    CardConfig& Config() { return *doc.GetConfig(); }
    QTreeWidget* List() { return page.findChild<QTreeWidget*>("trackList"); }
    QLineEdit* Edit(const char* name) { return page.findChild<QLineEdit*>(name); }
    QComboBox* Combo(const char* name) { return page.findChild<QComboBox*>(name); }
    QSpinBox* Spin(const char* name) { return page.findChild<QSpinBox*>(name); }
    QPushButton* Button(const char* name) { return page.findChild<QPushButton*>(name); }
    QCheckBox* StepOn() { return page.findChild<QCheckBox*>("stepOnCheck"); }

    QStringList RowTexts(int row) {
        QStringList texts;
        for (int column = 0; column < List()->columnCount(); ++column) {
            texts.append(List()->topLevelItem(row)->text(column));
        }
        return texts;
    }
    int SelectedTrack() {
        const QList<QTreeWidgetItem*> selected = List()->selectedItems();
        return selected.size() == 1 ? selected.front()->data(0, Qt::UserRole).toInt() : -1;
    }
    void SelectRow(int row) { List()->setCurrentItem(List()->topLevelItem(row)); }
    // Replaces the text as a user would, without leaving the field.
    void Retype(const char* name, const QString& text) {
        QTest::keyClick(Edit(name), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Edit(name), text);
    }

    TestCard card;
    ScriptedPrompter prompter;
    CCardwrightDoc doc;
    CTrackSetup page{doc};
};

// Everything the page may change about track n.
struct TrackState {
    std::string name;
    std::uint32_t action, delay, position;
    bool stepOn, wait;
    bool operator==(const TrackState&) const = default;
};
TrackState StateOf(const CardConfig& c, int n) {
    return {c.TrackName(n),    c.EndAction(n), c.EndDelay(n),
            c.FilePosition(n), c.StepOn(n),    c.WaitForInput(n)};
}

TEST(TrackSetup, EmptyCardListsNothingAndWritesNoTrack) {
    PageOnCard p({});
    p.Config().SetPowerUpTrack(5);
    p.Config().SetTrackRecordWord(0, 0, 0);
    p.Config().SetTrackRecordWord(0, 1, 0);
    p.Activate();

    EXPECT_EQ(p.List()->topLevelItemCount(), 0);
    QStringList then;
    for (int i = 0; i < p.Combo("thenCombo")->count(); ++i) {
        then.append(p.Combo("thenCombo")->itemText(i));
    }
    EXPECT_EQ(then, (QStringList{"Stop", "Play Next higher selection", "Play Random selection",
                                 "Play Same selection again"}));
    EXPECT_EQ(p.Spin("powerUpSpin")->maximum(), 0);
    EXPECT_EQ(p.Edit("powerUpEdit")->text(), "0");
    EXPECT_EQ(p.page.CurrentTrack(), 0);

    p.StepOn()->click();
    p.Button("allButton")->click();
    p.Button("moveDownButton")->click();
    EXPECT_EQ(p.Config().TrackRecordWord(0, 0), 0u);
    EXPECT_EQ(p.Config().TrackRecordWord(0, 1), 0u);
}

TEST(TrackSetup, RowsShowEachTracksFileAndEndBehaviour) {
    PageOnCard p(TrackFiles(4) << "Long Song Title.mp3");
    CardConfig& c = p.Config();
    c.SetEndAction(1, playcode::kNextHigher);
    c.SetEndDelay(1, 25);
    c.SetWaitForInput(1, false);
    c.SetEndAction(2, playcode::kSameAgain);
    c.SetEndDelay(2, 25);  // waiting for an input, so no delay is listed
    c.SetStepOn(2, false);
    c.SetEndAction(3, playcode::kRandom);
    c.SetEndAction(4, 2);
    c.SetWaitForInput(4, false);
    p.Activate();

    QStringList headings;
    for (int column = 0; column < p.List()->columnCount(); ++column) {
        headings.append(p.List()->headerItem()->text(column));
    }
    EXPECT_EQ(headings, (QStringList{"Sel", "ID", "Selection", "At End", "Wait  ", "Step On?"}));

    const QStringList rows[] = {
        {"  1   1", "TRACK01.MP3", "TRACK01.MP3", "Next", "2.5", "Yes"},
        {"  2   2", "TRACK02.MP3", "TRACK02.MP3", "Same", "Input", ""},
        {"  3   3", "TRACK03.MP3", "TRACK03.MP3", "Random", "Input", "Yes"},
        {"  4   4", "TRACK04.MP3", "TRACK04.MP3", "Track 2", "0", "Yes"},
        {"  5   5", "LONGSO~1.MP3", "Long Song Title.mp3", "Stop", "Input", "Yes"},
    };
    ASSERT_EQ(p.List()->topLevelItemCount(), 5);
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(p.RowTexts(row), rows[row]) << "row " << row;
        EXPECT_EQ(p.List()->topLevelItem(row)->data(0, Qt::UserRole).toInt(), row + 1);
    }
    EXPECT_EQ(p.Combo("thenCombo")->count(), 4 + 5);
    EXPECT_EQ(p.Combo("thenCombo")->itemText(8), "Play 5: Long Song Title.mp3");
    EXPECT_EQ(p.Combo("thenCombo")->itemData(8).toInt(), 5);

    // The first track is shown.
    EXPECT_EQ(p.page.findChild<QLabel*>("trackNameLabel")->text(), "TRACK01.MP3");
    EXPECT_EQ(p.Combo("thenCombo")->currentIndex(), 1);
    EXPECT_EQ(p.Edit("delayEdit")->text(), "2.5");
    EXPECT_EQ(p.Spin("delaySpin")->value(), 25);
    EXPECT_TRUE(p.Edit("delayEdit")->isEnabled());
    // Showing a track rewrites what it holds unchanged.
    EXPECT_EQ(StateOf(c, 1).action, playcode::kNextHigher);
    EXPECT_EQ(StateOf(c, 1).delay, 25u);
}

TEST(TrackSetup, TypedDelaysAreStoredInTenthsWithinTheField) {
    struct Case {
        const char* typed;
        std::uint32_t stored;
        const char* listed;
        int spin;
        bool refused;
    };
    const Case cases[] = {
        {"2.5", 25, "2.5", 25, false},
        {"2.3", 23, "2.3", 23, false},
        {"1200", 12000, "1200", 9999, false},
        {"2000", 16383, "1638.3", 9999, false},
        {"-5", 0, "0", 0, false},
        {"0.05", 0, "0", 0, false},
        {"abc", 40, "4", 40, true},
        {"", 40, "4", 40, true},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.typed);
        PageOnCard p(TrackFiles(2));
        p.Config().SetEndDelay(1, 40);
        p.Config().SetWaitForInput(1, false);
        p.Activate();

        p.Retype("delayEdit", tc.typed);
        if (tc.typed[0] == '\0') {
            QTest::keyClick(p.Edit("delayEdit"), Qt::Key_Backspace);
        }
        if (!tc.refused) {
            // Stored as it is typed, before the field is left.
            EXPECT_EQ(p.Config().EndDelay(1), tc.stored);
            EXPECT_EQ(p.Spin("delaySpin")->value(), tc.spin);
        }
        QTest::keyClick(p.Edit("delayEdit"), Qt::Key_Return);

        EXPECT_EQ(p.Config().EndDelay(1), tc.stored);
        EXPECT_EQ(p.RowTexts(0)[CTrackSetup::kWaitColumn], tc.listed);
        EXPECT_EQ(p.Edit("delayEdit")->text(), tc.listed);
        EXPECT_EQ(p.Spin("delaySpin")->value(), tc.spin);
        ASSERT_EQ(p.prompter.shown.size(), tc.refused ? 1u : 0u);
        if (tc.refused) {
            EXPECT_EQ(p.prompter.shown[0].text, kDelayNotNumber);
        }
    }
}

TEST(TrackSetup, SpinAndCombosStoreWhatTheyShow) {
    PageOnCard p(TrackFiles(3));
    p.Activate();
    // New tracks wait for an input, and the delay cannot be edited.
    EXPECT_FALSE(p.Edit("delayEdit")->isEnabled());
    QTest::keyClick(p.Combo("atEndCombo"), Qt::Key_Up);
    EXPECT_FALSE(p.Config().WaitForInput(1));
    EXPECT_EQ(p.RowTexts(0)[CTrackSetup::kWaitColumn], "0");
    EXPECT_TRUE(p.Edit("delayEdit")->isEnabled());

    QTest::keyClick(p.Spin("delaySpin"), Qt::Key_Up);
    EXPECT_EQ(p.Config().EndDelay(1), 1u);
    EXPECT_EQ(p.Edit("delayEdit")->text(), "0.1");
    EXPECT_EQ(p.RowTexts(0)[CTrackSetup::kWaitColumn], "0.1");

    // From "Stop" two entries down: "Play Random selection".
    QTest::keyClick(p.Combo("thenCombo"), Qt::Key_Down);
    QTest::keyClick(p.Combo("thenCombo"), Qt::Key_Down);
    EXPECT_EQ(p.Config().EndAction(1), playcode::kRandom);
    QTest::keyClick(p.Combo("thenCombo"), Qt::Key_End);
    EXPECT_EQ(p.Config().EndAction(1), 3u);
    EXPECT_EQ(p.RowTexts(0)[CTrackSetup::kAtEndColumn], "Track 3");

    p.StepOn()->click();
    EXPECT_FALSE(p.Config().StepOn(1));
    EXPECT_EQ(p.RowTexts(0)[CTrackSetup::kStepOnColumn], "");

    QTest::keyClick(p.Combo("atEndCombo"), Qt::Key_Down);
    EXPECT_TRUE(p.Config().WaitForInput(1));
    EXPECT_EQ(p.RowTexts(0)[CTrackSetup::kWaitColumn], "Input");
    EXPECT_FALSE(p.Edit("delayEdit")->isEnabled());
}

TEST(TrackSetup, AnEndActionWithoutAnEntryIsKeptUntilAnotherIsPicked) {
    PageOnCard p(TrackFiles(3));
    p.Config().SetEndAction(1, 9);
    p.Activate();
    EXPECT_EQ(p.Combo("thenCombo")->currentIndex(), -1);
    EXPECT_EQ(p.RowTexts(0)[CTrackSetup::kAtEndColumn], "Track 9");

    p.StepOn()->click();
    EXPECT_EQ(p.Config().EndAction(1), 9u);

    // The next track's choice is shown, and not carried back.
    QTest::keyClick(p.List(), Qt::Key_Down);
    EXPECT_EQ(p.Combo("thenCombo")->currentIndex(), 0);
    QTest::keyClick(p.List(), Qt::Key_Up);
    EXPECT_EQ(p.Combo("thenCombo")->currentIndex(), -1);
    EXPECT_EQ(p.Config().EndAction(1), 9u);

    QTest::keyClick(p.Combo("thenCombo"), Qt::Key_Down);
    EXPECT_EQ(p.Config().EndAction(1), playcode::kStopNow);
}

TEST(TrackSetup, PowerUpTrackStaysWithinTheTracks) {
    PageOnCard p(TrackFiles(3));
    p.Config().SetPowerUpTrack(9);
    p.Activate();
    EXPECT_EQ(p.Spin("powerUpSpin")->maximum(), 3);
    EXPECT_EQ(p.Edit("powerUpEdit")->text(), "0");

    p.Retype("powerUpEdit", "2");
    EXPECT_EQ(p.Config().PowerUpTrack(), 2u);
    p.Retype("powerUpEdit", "255");
    QTest::keyClick(p.Edit("powerUpEdit"), Qt::Key_Return);
    EXPECT_EQ(p.Config().PowerUpTrack(), 3u);
    EXPECT_EQ(p.Edit("powerUpEdit")->text(), "3");

    QTest::keyClick(p.Spin("powerUpSpin"), Qt::Key_Down);
    EXPECT_EQ(p.Config().PowerUpTrack(), 2u);
    EXPECT_EQ(p.Edit("powerUpEdit")->text(), "2");
    EXPECT_TRUE(p.prompter.shown.empty());
}

TEST(TrackSetup, MovingPastEitherEndChangesNothing) {
    PageOnCard p(TrackFiles(3));
    for (int n = 1; n <= 3; ++n) {
        p.Config().SetEndDelay(n, 10 * n);
    }
    p.Activate();
    std::vector<TrackState> before;
    for (int n = 1; n <= 3; ++n) {
        before.push_back(StateOf(p.Config(), n));
    }

    p.Button("moveUpButton")->click();
    p.SelectRow(2);
    p.Button("moveDownButton")->click();

    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(StateOf(p.Config(), n), before[n - 1]) << "track " << n;
    }
    EXPECT_EQ(p.SelectedTrack(), 3);
}

TEST(TrackSetup, MoveUpOverAGapTradesFileAndSettingsWithTheTrackAbove) {
    PageOnCard p(TrackFiles(7));
    CardConfig& c = p.Config();
    c.SetEndDelay(5, 50);
    c.SetStepOn(5, false);
    c.SetEndAction(7, playcode::kRandom);
    c.SetEndDelay(7, 70);
    c.SetWaitForInput(7, false);
    p.card.RemoveSound("TRACK06.MP3");
    p.Activate();
    const TrackState five = StateOf(c, 5);
    const TrackState seven = StateOf(c, 7);
    ASSERT_EQ(seven.position, 6u);  // the reconciliation closed the gap on the card

    p.SelectRow(5);
    ASSERT_EQ(p.page.CurrentTrack(), 7);
    p.Button("moveUpButton")->click();

    EXPECT_EQ(StateOf(c, 5), seven);
    EXPECT_EQ(StateOf(c, 7), five);
    EXPECT_FALSE(c.TrackExists(6));
    EXPECT_EQ(p.SelectedTrack(), 5);
    EXPECT_EQ(p.page.CurrentTrack(), 5);
    EXPECT_EQ(p.Edit("delayEdit")->text(), "7");
    EXPECT_EQ(p.RowTexts(4)[CTrackSetup::kIdColumn], "TRACK07.MP3");
    EXPECT_EQ(p.Combo("thenCombo")->itemText(4 + 4), "Play 5: TRACK07.MP3");

    // Reloading numbers the files afresh in card order with cleared settings.
    p.Button("reloadButton")->click();
    EXPECT_EQ(c.TrackName(5), "TRACK05.MP3");
    EXPECT_EQ(c.TrackName(6), "TRACK07.MP3");
    EXPECT_EQ(c.EndAction(6), playcode::kStopNow);
    EXPECT_EQ(p.List()->topLevelItemCount(), 6);
}

TEST(TrackSetup, PlaylistSlotsFollowTheFilesAfterAMove) {
    PageOnCard p(TrackFiles(7));
    CardConfig& c = p.Config();
    const char* entries[] = {"TRACK05.MP3", "TRACK03.MP3", "TRACK01.MP3", "TRACK06.MP3",
                             "TRACK04.MP3", "TRACK02.MP3", "TRACK07.MP3"};
    c.SetPlaylistCount(0, 7);
    for (int k = 0; k < 7; ++k) {
        c.SetPlaylistEntry(0, k, entries[k]);
    }
    p.Activate();
    p.SelectRow(4);
    p.Button("moveDownButton")->click();

    // Track 5 now plays TRACK06.MP3 and track 6 TRACK05.MP3; the slot values
    // that travelled with the two records are worked out again.
    const std::uint32_t expected[] = {6, 3, 1, 5, 4, 2, 7};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(c.PlaylistSlot(1 + k), expected[k]) << "entry " << k;
    }
    EXPECT_EQ(p.SelectedTrack(), 6);
}

TEST(TrackSetup, AllCopiesTheShownSettingsToEveryTrack) {
    PageOnCard p(TrackFiles(4));
    p.Activate();
    p.SelectRow(1);
    QTest::keyClick(p.Combo("atEndCombo"), Qt::Key_Up);
    p.Retype("delayEdit", "3.5");
    QTest::keyClick(p.Combo("thenCombo"), Qt::Key_Down);
    QTest::keyClick(p.Combo("thenCombo"), Qt::Key_Down);
    p.StepOn()->click();
    p.Button("allButton")->click();

    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(p.Config().EndAction(n), playcode::kRandom);
        EXPECT_EQ(p.Config().EndDelay(n), 35u);
        EXPECT_FALSE(p.Config().StepOn(n));
        EXPECT_FALSE(p.Config().WaitForInput(n));
        EXPECT_EQ(p.RowTexts(n - 1).mid(3), (QStringList{"Random", "3.5", ""}));
    }
    EXPECT_EQ(p.page.CurrentTrack(), 2);
    EXPECT_EQ(p.SelectedTrack(), 2);
}

TEST(TrackSetup, ArrowKeysAndClicksStoreTheShownTrackAndLoadTheNext) {
    PageOnCard p(TrackFiles(3));
    for (int n = 1; n <= 3; ++n) {
        p.Config().SetEndDelay(n, 10 * n);
        p.Config().SetWaitForInput(n, false);
    }
    p.Activate();
    p.Retype("delayEdit", "7");

    QTest::keyClick(p.List(), Qt::Key_Down);
    EXPECT_EQ(p.Config().EndDelay(1), 70u);
    EXPECT_EQ(p.page.CurrentTrack(), 2);
    EXPECT_EQ(p.Edit("delayEdit")->text(), "2");
    QTest::keyClick(p.List(), Qt::Key_Down);
    EXPECT_EQ(p.Edit("delayEdit")->text(), "3");
    QTest::keyClick(p.List(), Qt::Key_Up);
    EXPECT_EQ(p.page.CurrentTrack(), 2);

    const QRect first = p.List()->visualItemRect(p.List()->topLevelItem(0));
    QTest::mouseClick(p.List()->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(p.page.CurrentTrack(), 1);
    EXPECT_EQ(p.Edit("delayEdit")->text(), "7");
}

TEST(TrackSetup, ActivationKeepsTheShownTrackWhileItHasARow) {
    PageOnCard p(TrackFiles(3));
    p.Activate();
    p.SelectRow(2);
    p.page.OnKillActive();
    p.page.OnSetActive();
    EXPECT_EQ(p.page.CurrentTrack(), 3);
    EXPECT_EQ(p.SelectedTrack(), 3);

    p.page.OnKillActive();
    p.card.RemoveSound("TRACK03.MP3");
    p.page.OnSetActive();
    EXPECT_EQ(p.page.CurrentTrack(), 1);
    EXPECT_EQ(p.SelectedTrack(), 1);
    EXPECT_EQ(p.page.findChild<QLabel*>("trackNameLabel")->text(), "TRACK01.MP3");
}

TEST(TrackSetup, TabReachesEveryControl) {
    PageOnCard p(TrackFiles(3));
    p.Config().SetWaitForInput(1, false);
    p.Activate();
    p.page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.page));
    p.List()->setFocus();
    QStringList reached;
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.append(QApplication::focusWidget()->objectName());
    }
    for (const char* name : {"trackList", "atEndCombo", "delayEdit", "delaySpin", "thenCombo",
                             "allButton", "stepOnCheck", "powerUpEdit", "powerUpSpin",
                             "moveUpButton", "moveDownButton", "reloadButton"}) {
        EXPECT_TRUE(reached.contains(name)) << name << " in " << reached.join(' ').toStdString();
    }
}

TEST(TrackSetup, SaveStoresFirstAndARefusedDelaySavesNothing) {
    TestCard card(TrackFiles(2));
    card.SaveConfig(PlayerModel::Tunbox);
    AppHarness h;
    ASSERT_TRUE(h.Start({card.ConfigPath()}));
    ASSERT_EQ(h.ActiveCaption(), "Track Setup");
    auto* page = h.Sheet().findChild<CTrackSetup*>();
    page->SetPrompter(&h.prompter);
    auto* delay = page->findChild<QLineEdit*>("delayEdit");
    auto* atEnd = page->findChild<QComboBox*>("atEndCombo");
    QAction* save = h.Frame().findChild<QAction*>("fileSave");
    QFile::remove(card.ConfigPath());

    QTest::keyClick(atEnd, Qt::Key_Up);
    QTest::keyClick(delay, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(delay, "4.5x");
    save->trigger();
    ASSERT_EQ(h.prompter.shown.size(), 1u);
    EXPECT_EQ(h.prompter.shown[0].text, kDelayNotNumber);
    EXPECT_FALSE(QFile::exists(card.ConfigPath()));

    QTest::keyClick(delay, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(delay, "4.5");
    save->trigger();
    ScriptedPrompter quiet;
    CCardwrightDoc saved(quiet);
    ASSERT_TRUE(saved.OnOpenDocument(card.Path("TUNBOX.CFG")));
    EXPECT_EQ(saved.GetConfig()->EndDelay(1), 45u);
    EXPECT_FALSE(saved.GetConfig()->WaitForInput(1));
}

}  // namespace
