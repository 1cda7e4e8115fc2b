// The Track Setup page on real card folders: what the list and the controls
// show, what typing and picking store, moving files between track numbers,
// copying settings to every track, and the keyboard.

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>

#include "AppTestSupport.h"
#include "pages/TrackSetup.h"

namespace {

// The page on a card whose n-th file (in the order given) is track n.
struct TrackPage : PageOnCard<CTrackSetup> {
    using PageOnCard::PageOnCard;
    QTreeWidget* List() { return Find<QTreeWidget>("trackList"); }
    QString Cell(int row, int column) { return List()->topLevelItem(row)->text(column); }
    int SelectedTrack() {
        const auto selected = List()->selectedItems();
        return selected.size() == 1 ? selected.front()->data(0, Qt::UserRole).toInt() : -1;
    }
    void SelectRow(int row) { List()->setCurrentItem(List()->topLevelItem(row)); }
    // Whether the cell's text has room in its column, beside the margins.
    bool Fits(int row, int column) {
        return List()->fontMetrics().horizontalAdvance(Cell(row, column)) + 6 <=
               List()->columnWidth(column);
    }
};

// Everything of track n that the page may change, bar the derived slot value.
struct TrackState {
    std::string name;
    std::uint32_t action, delay, position;
    bool stepOn, wait;
    bool operator==(const TrackState&) const = default;
};
TrackState StateOf(const CardConfig& c, int n) {
    return {c.TrackName(n),
            c.Get(field::kEndAction, n),
            c.Get(field::kEndDelay, n),
            c.Get(field::kFilePosition, n),
            c.Get(field::kStepOn, n),
            c.Get(field::kWaitForInput, n)};
}

TEST(TrackSetup, EmptyCardListsNothingAndWritesNoTrack) {
    TrackPage p(QStringList{});
    p.Config().Set(field::kPowerUpTrack, 5);
    p.Config().SetTrackRecordWord(0, 0, 0);
    p.Config().SetTrackRecordWord(0, 1, 0);
    p.Activate();

    EXPECT_EQ(p.List()->topLevelItemCount(), 0);
    EXPECT_EQ(p.Find<QComboBox>("thenCombo")->count(), 4);
    EXPECT_EQ(p.Find<QSpinBox>("powerUpSpin")->maximum(), 0);
    EXPECT_EQ(p.Find<QLineEdit>("powerUpEdit")->text(), "0");

    p.Click("stepOnCheck");
    p.Click("allButton");
    p.Click("moveDownButton");
    EXPECT_EQ(p.page.CurrentTrack(), 0);
    EXPECT_EQ(p.Config().TrackRecordWord(0, 0), 0u);
    EXPECT_EQ(p.Config().TrackRecordWord(0, 1), 0u);
}

TEST(TrackSetup, RowsShowEachTracksFileAndEndBehaviour) {
    TrackPage p(TrackFiles(3) << "Long Song Title.mp3");
    CardConfig& c = p.Config();
    c.Set(field::kEndAction, 1, playcode::kNextHigher);
    c.Set(field::kEndDelay, 1, 25);
    c.Set(field::kWaitForInput, 1, false);
    c.Set(field::kEndAction, 2, playcode::kSameAgain);
    c.Set(field::kEndDelay, 2, 25);  // waits for an input, so no delay is listed
    c.Set(field::kStepOn, 2, false);
    c.Set(field::kEndAction, 3, 2);
    c.Set(field::kWaitForInput, 3, false);
    p.Activate();

    const QStringList rows[] = {
        {"  1   1", "TRACK01.MP3", "TRACK01.MP3", "Next", "2.5", "Yes"},
        {"  2   2", "TRACK02.MP3", "TRACK02.MP3", "Same", "Input", ""},
        {"  3   3", "TRACK03.MP3", "TRACK03.MP3", "Track 2", "0", "Yes"},
        {"  4   4", "LONGSO~1.MP3", "Long Song Title.mp3", "Stop", "Input", "Yes"},
    };
    ASSERT_EQ(p.List()->topLevelItemCount(), 4);
    for (int row = 0; row < 4; ++row) {
        const QTreeWidgetItem* item = p.List()->topLevelItem(row);
        EXPECT_EQ(QStringList({item->text(0), item->text(1), item->text(2), item->text(3),
                               item->text(4), item->text(5)}),
                  rows[row]);
    }
    auto* then = p.Find<QComboBox>("thenCombo");
    EXPECT_EQ(then->itemText(7), "Play 4: Long Song Title.mp3");
    EXPECT_EQ(then->itemData(7).toInt(), 4);

    // The first track is shown, and showing it stores it unchanged.
    EXPECT_EQ(p.Find<QLabel>("trackNameLabel")->text(), "TRACK01.MP3");
    EXPECT_EQ(then->currentIndex(), 1);
    EXPECT_EQ(p.Find<QLineEdit>("delayEdit")->text(), "2.5");
    EXPECT_EQ(c.Get(field::kEndDelay, 1), 25u);
    EXPECT_EQ(c.Get(field::kEndAction, 1), playcode::kNextHigher);
}

TEST(TrackSetup, TypedDelaysAreStoredInTenthsWithinTheField) {
    struct Case {
        const char* typed;
        std::uint32_t stored;
        const char* shown;  // in the list, and in the field once left
        int spin;
    };
    const Case cases[] = {{"2.5", 25, "2.5", 25},
                          {"2.3", 23, "2.3", 23},
                          {"1200", 12000, "1200", 9999},
                          {"2000", 16383, "1638.3", 9999},
                          {"-5", 0, "0", 0},
                          {"0.05", 0, "0", 0},
                          {"abc", 40, "4", 40},
                          {"", 40, "4", 40}};
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.typed);
        TrackPage p(TrackFiles(2));
        p.Config().Set(field::kEndDelay, 1, 40);
        p.Config().Set(field::kWaitForInput, 1, false);
        p.Activate();

        p.Retype("delayEdit", tc.typed);
        // Stored as typed; text that is no number keeps the page in front.
        const bool refused = tc.stored == 40;
        EXPECT_EQ(p.Config().Get(field::kEndDelay, 1), tc.stored);
        EXPECT_EQ(p.Find<QSpinBox>("delaySpin")->value(), tc.spin);
        EXPECT_EQ(p.page.OnKillActive(), !refused);
        p.Key("delayEdit", Qt::Key_Return);

        EXPECT_EQ(p.Config().Get(field::kEndDelay, 1), tc.stored);
        EXPECT_EQ(p.Cell(0, CTrackSetup::kWaitColumn), tc.shown);
        EXPECT_TRUE(p.Fits(0, CTrackSetup::kWaitColumn));
        EXPECT_EQ(p.Find<QLineEdit>("delayEdit")->text(), tc.shown);
        ASSERT_EQ(p.prompter.shown.size(), refused ? 1u : 0u);
        if (refused) {
            EXPECT_EQ(p.prompter.shown[0].text, "Please enter a number for the delay in seconds.");
        }
    }
}

TEST(TrackSetup, SpinAndCombosStoreWhatTheyShow) {
    TrackPage p(TrackFiles(3));
    p.Activate();
    // A new track waits for an input; its delay cannot be edited.
    EXPECT_FALSE(p.Find("delayEdit")->isEnabled());
    p.Key("atEndCombo", Qt::Key_Up);
    EXPECT_FALSE(p.Config().Get(field::kWaitForInput, 1));
    p.Key("delaySpin", Qt::Key_Up);
    EXPECT_EQ(p.Config().Get(field::kEndDelay, 1), 1u);
    EXPECT_EQ(p.Cell(0, CTrackSetup::kWaitColumn), "0.1");

    p.Key("thenCombo", Qt::Key_Down);
    p.Key("thenCombo", Qt::Key_Down);
    EXPECT_EQ(p.Config().Get(field::kEndAction, 1), playcode::kRandom);
    p.Key("thenCombo", Qt::Key_End);
    EXPECT_EQ(p.Config().Get(field::kEndAction, 1), 3u);
    EXPECT_EQ(p.Cell(0, CTrackSetup::kAtEndColumn), "Track 3");

    p.Key("atEndCombo", Qt::Key_Down);
    EXPECT_TRUE(p.Config().Get(field::kWaitForInput, 1));
    EXPECT_EQ(p.Cell(0, CTrackSetup::kWaitColumn), "Input");
    EXPECT_FALSE(p.Find("delayEdit")->isEnabled());
}

TEST(TrackSetup, AnEndActionWithoutAnEntryIsKeptUntilAnotherIsPicked) {
    TrackPage p(TrackFiles(3));
    p.Config().Set(field::kEndAction, 1, 9);
    p.Activate();
    auto* then = p.Find<QComboBox>("thenCombo");
    EXPECT_EQ(then->currentIndex(), -1);
    p.Click("stepOnCheck");
    EXPECT_EQ(p.Config().Get(field::kEndAction, 1), 9u);

    // The next track's choice is shown, and not carried back.
    p.Key("trackList", Qt::Key_Down);
    EXPECT_EQ(then->currentIndex(), 0);
    p.Key("trackList", Qt::Key_Up);
    EXPECT_EQ(then->currentIndex(), -1);
    EXPECT_EQ(p.Config().Get(field::kEndAction, 1), 9u);

    p.Key("thenCombo", Qt::Key_Down);
    EXPECT_EQ(p.Config().Get(field::kEndAction, 1), playcode::kStopNow);
}

TEST(TrackSetup, PowerUpTrackStaysWithinTheTracks) {
    TrackPage p(TrackFiles(3));
    p.Config().Set(field::kPowerUpTrack, 9);
    p.Activate();
    EXPECT_EQ(p.Find<QSpinBox>("powerUpSpin")->maximum(), 3);
    EXPECT_EQ(p.Find<QLineEdit>("powerUpEdit")->text(), "0");

    p.Retype("powerUpEdit", "255");
    p.Key("powerUpEdit", Qt::Key_Return);
    EXPECT_EQ(p.Config().Get(field::kPowerUpTrack), 3u);
    EXPECT_EQ(p.Find<QLineEdit>("powerUpEdit")->text(), "3");
    p.Key("powerUpSpin", Qt::Key_Down);
    EXPECT_EQ(p.Config().Get(field::kPowerUpTrack), 2u);
    EXPECT_EQ(p.Find<QLineEdit>("powerUpEdit")->text(), "2");
}

TEST(TrackSetup, MovesTradeFileAndSettingsWithTheNeighbourRowAndPlaylistsFollow) {
    TrackPage p(TrackFiles(7));
    CardConfig& c = p.Config();
    c.Set(field::kEndDelay, 5, 50);
    c.Set(field::kStepOn, 5, false);
    c.Set(field::kEndAction, 7, playcode::kRandom);
    c.Set(field::kEndDelay, 7, 70);
    c.Set(field::kWaitForInput, 7, false);
    const char* entries[] = {"TRACK05.MP3", "TRACK03.MP3", "TRACK01.MP3", "TRACK06.MP3",
                             "TRACK04.MP3", "TRACK02.MP3", "TRACK07.MP3"};
    c.SetPlaylistCount(0, 7);
    for (int k = 0; k < 7; ++k) {
        c.SetPlaylistEntry(0, k, entries[k]);
    }
    p.card.RemoveSound("TRACK06.MP3");
    p.Activate();
    std::vector<TrackState> before;
    for (int n = 0; n <= 7; ++n) {
        before.push_back(StateOf(c, n));
    }
    ASSERT_EQ(before[7].position, 6u);

    // Nothing lies above the first row or below the last.
    p.Click("moveUpButton");
    p.SelectRow(5);
    p.Click("moveDownButton");
    for (int n = 0; n <= 7; ++n) {
        EXPECT_EQ(StateOf(c, n), before[n]) << "track " << n;
    }

    p.Click("moveUpButton");
    EXPECT_EQ(StateOf(c, 5), before[7]);
    EXPECT_EQ(StateOf(c, 7), before[5]);
    EXPECT_EQ(StateOf(c, 6), before[6]);
    EXPECT_EQ(p.SelectedTrack(), 5);
    EXPECT_EQ(p.page.CurrentTrack(), 5);
    EXPECT_EQ(p.Find<QLineEdit>("delayEdit")->text(), "7");
    EXPECT_EQ(p.Find<QComboBox>("thenCombo")->itemText(8), "Play 5: TRACK07.MP3");

    // Down trades with the row below. The playlist slot values are worked out
    // again from the names.
    p.SelectRow(3);
    p.Click("moveDownButton");
    EXPECT_EQ(c.TrackName(5), "TRACK04.MP3");
    EXPECT_EQ(p.SelectedTrack(), 5);
    const std::uint32_t wanted[] = {7, 3, 1, 0, 5, 2, 4};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(c.Get(field::kPlaylistSlot, 1 + k), wanted[k]) << "entry " << k;
    }

    // Reloading numbers the files afresh in card order, with cleared settings.
    p.Click("reloadButton");
    EXPECT_EQ(c.TrackName(6), "TRACK07.MP3");
    EXPECT_EQ(c.Get(field::kEndAction, 6), playcode::kStopNow);
    EXPECT_EQ(p.List()->topLevelItemCount(), 6);
}

TEST(TrackSetup, AllCopiesTheShownSettingsToEveryTrack) {
    TrackPage p(TrackFiles(4));
    p.Activate();
    p.SelectRow(1);
    p.Key("atEndCombo", Qt::Key_Up);
    p.Retype("delayEdit", "3.5");
    p.Key("thenCombo", Qt::Key_Down);
    p.Key("thenCombo", Qt::Key_Down);
    p.Click("stepOnCheck");
    p.Click("allButton");

    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(p.Config().Get(field::kEndAction, n), playcode::kRandom);
        EXPECT_EQ(p.Config().Get(field::kEndDelay, n), 35u);
        EXPECT_FALSE(p.Config().Get(field::kStepOn, n));
        EXPECT_FALSE(p.Config().Get(field::kWaitForInput, n));
        EXPECT_EQ(p.Cell(n - 1, CTrackSetup::kWaitColumn), "3.5");
    }
    EXPECT_EQ(p.SelectedTrack(), 2);
    EXPECT_EQ(p.page.CurrentTrack(), 2);
}

TEST(TrackSetup, ArrowKeysAndClicksStoreTheShownTrackAndLoadAnotherWhichActivationKeeps) {
    TrackPage p(TrackFiles(3));
    for (int n = 1; n <= 3; ++n) {
        p.Config().Set(field::kEndDelay, n, 10 * n);
        p.Config().Set(field::kWaitForInput, n, false);
    }
    p.Activate();
    p.Retype("delayEdit", "7");
    auto* delay = p.Find<QLineEdit>("delayEdit");

    p.Key("trackList", Qt::Key_Down);
    EXPECT_EQ(p.Config().Get(field::kEndDelay, 1), 70u);
    EXPECT_EQ(delay->text(), "2");
    p.Key("trackList", Qt::Key_Down);
    EXPECT_EQ(delay->text(), "3");
    p.Key("trackList", Qt::Key_Up);
    EXPECT_EQ(p.page.CurrentTrack(), 2);

    const QRect first = p.List()->visualItemRect(p.List()->topLevelItem(0));
    QTest::mouseClick(p.List()->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(p.page.CurrentTrack(), 1);
    EXPECT_EQ(delay->text(), "7");

    // Activation keeps the shown track while it has a row.
    p.SelectRow(2);
    p.page.OnKillActive();
    p.page.OnSetActive();
    EXPECT_EQ(p.SelectedTrack(), 3);

    p.page.OnKillActive();
    p.card.RemoveSound("TRACK03.MP3");
    p.Activate();
    EXPECT_EQ(p.page.CurrentTrack(), 1);
    EXPECT_EQ(p.SelectedTrack(), 1);
    EXPECT_EQ(p.Find<QLabel>("trackNameLabel")->text(), "TRACK01.MP3");
}

}  // namespace
