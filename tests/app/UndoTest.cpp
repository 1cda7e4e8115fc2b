// Undo and Redo across the whole program: every kind of change, from every
// page and menu, is one step that puts back the card files' exact bytes and
// shows the page it was made on; the saved point decides what is modified.

#include <gtest/gtest.h>
#include <QAction>
#include <QLineEdit>
#include <QTreeWidget>
#include <QUndoStack>

#include "AppTestSupport.h"
#include "calendar/YearCalendarCtrl.h"
#include "model/ConfigFile.h"
#include "schedule/SchedulePage.h"

namespace {

// What a save would write: the record and the schedule file.
struct Images {
    std::vector<std::uint8_t> record;
    std::vector<std::uint8_t> schedule;
    bool operator==(const Images&) const = default;
};

void PrintTo(const Images& images, std::ostream* os) {
    *os << "record of " << images.record.size() << " bytes, schedules of "
        << images.schedule.size();
}

Images Of(CCardwrightDoc& doc) {
    ScheduleSet schedules = doc.Schedules();
    return {configfile::Encode(*doc.GetConfig()),
            schedules.Serialize(
                static_cast<std::uint8_t>(doc.GetConfig()->Get(field::kSerialAddress)))};
}

struct Change {
    PageId page;       // where it is made, and shown again on undo
    const char* step;  // the name the Edit menu gives it, when checked
    std::function<void(AppHarness&)> make;
};

// A control of the page in front.
template <class T = QWidget>
T* Find(AppHarness& h, const char* name) {
    return h.Sheet().GetActivePage()->findChild<T*>(QString::fromLatin1(name));
}

QAction* Action(AppHarness& h, const char* name) {
    return h.Frame().findChild<QAction*>(QString::fromLatin1(name));
}

void Trigger(AppHarness& h, const char* action) {
    Action(h, action)->trigger();
}

// Replaces a field's text by typing, then leaves it with Tab.
void TypeInto(AppHarness& h, const char* name, const QString& text) {
    auto* edit = Find<QLineEdit>(h, name);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

void Pick(AppHarness& h, const char* name, int index) {
    auto* combo = Find<QComboBox>(h, name);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void SelectRows(AppHarness& h, const char* list, std::initializer_list<int> rows) {
    auto* tree = Find<QTreeWidget>(h, list);
    tree->clearSelection();
    for (int row : rows) {
        tree->setCurrentItem(tree->topLevelItem(row), 0, QItemSelectionModel::Select);
    }
}

// A clock player's card with four tracks that differ and a schedule, open
// in the program with its window active.
void OpenCard(AppHarness& h, const TestCard& card) {
    card.SaveConfig(PlayerModel::TunboxC40, [](CCardwrightDoc& doc) {
        for (int n = 1; n <= 4; ++n) {
            doc.GetConfig()->Set(field::kEndDelay, n, static_cast<std::uint32_t>(10 * n));
            doc.GetConfig()->Set(field::kWaitForInput, n, false);
        }
        doc.Schedules().AddScheduleEntry(1, ScheduleSet::MakeEntry(9, 30, true, 2));
        doc.Schedules().SetDaySchedule(0, 9, 1);
    });
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.App().OpenDocumentFile(card.ConfigPath()));
    h.Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&h.Frame()));
}

TEST(Undo, EveryKindOfChangeIsOneStepThatUndoesAndRedoesExactly) {
    TestCard card(TrackFiles(4));
    AppHarness h;
    OpenCard(h, card);
    const Images opened = Of(h.Doc());
    QUndoStack& stack = h.App().History().Stack();

    const Change changes[] = {
        // Typing in a field is one step, however many keys it took.
        {PageId::TrackSetup, nullptr, [](AppHarness& h) { TypeInto(h, "delayEdit", "2.5"); }},
        {PageId::TrackSetup, "Move Up",
         [](AppHarness& h) {
             SelectRows(h, "trackList", {2});
             Find<QAbstractButton>(h, "moveUpButton")->click();
         }},
        {PageId::TrackSetup, "All",
         [](AppHarness& h) { Find<QAbstractButton>(h, "allButton")->click(); }},
        {PageId::TrackSetup, "Reload Track List From Player Directory",
         [](AppHarness& h) { Find<QAbstractButton>(h, "reloadButton")->click(); }},
        {PageId::Playlists, "Move selected tracks to Playlist",
         [](AppHarness& h) {
             SelectRows(h, "availableTracks", {0, 2});
             Find<QAbstractButton>(h, "addTracksButton")->click();
         }},
        {PageId::AudioSetup, nullptr,
         [](AppHarness& h) { TypeInto(h, "mainVolumeLeftEdit", "40"); }},
        {PageId::InputSetup, nullptr, [](AppHarness& h) { Pick(h, "modeCombo", 1); }},
        {PageId::AnimationControlSetup, "Enable MIDI Reception",
         [](AppHarness& h) { Find<QAbstractButton>(h, "midiReceptionRadio")->click(); }},
        {PageId::Schedule, nullptr,
         [](AppHarness& h) {
             CYearCalendarCtrl* calendar = Find<CYearCalendarCtrl>(h, "yearCalendar");
             QTest::mouseClick(calendar, Qt::LeftButton, {},
                               calendar->DayRect(QDate(calendar->FirstYear(), 2, 3)).center());
             h.prompter.Script({Prompter::Answer::Yes});
             Pick(h, "scheduleCombo", 3);
         }},
        {PageId::Schedule, "Reset Clock on D/White to",
         [](AppHarness& h) { Find<QAbstractButton>(h, "resetClockCheck")->click(); }},
        {PageId::TrackSetup, "Reset Everything to Defaults",
         [](AppHarness& h) { Trigger(h, "resetEverything"); }},
        {PageId::TrackSetup, "Change Player Type",
         [](AppHarness& h) { Trigger(h, "playerTypeA8"); }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(PageCaption(change.page).toStdString() + " " +
                     (change.step != nullptr ? change.step : ""));
        h.Frame().GoToPage(change.page);
        ASSERT_EQ(h.ActivePage(), change.page);
        const Images before = Of(h.Doc());
        const int steps = stack.count();
        change.make(h);
        const Images after = Of(h.Doc());
        ASSERT_NE(after, before);
        ASSERT_EQ(stack.count(), steps + 1);
        if (change.step != nullptr) {
            EXPECT_EQ(Action(h, "editUndo")->text(),
                      QStringLiteral("&Undo %1\tCtrl+Z").arg(QString::fromLatin1(change.step)));
        }

        h.Frame().GoToPage(PageId::TrackSetup);
        Trigger(h, "editUndo");
        EXPECT_EQ(Of(h.Doc()), before);
        EXPECT_EQ(h.ActivePage(), change.page);
        Trigger(h, "editRedo");
        EXPECT_EQ(Of(h.Doc()), after);
        EXPECT_EQ(h.ActivePage(), change.page);
    }

    // Saved in the middle of the history: the saved point is what is not
    // modified, on either side of it.
    Trigger(h, "editUndo");
    h.files.names.push_back(card.ConfigPath());
    Trigger(h, "fileSave");
    EXPECT_FALSE(h.Doc().IsModified());
    Trigger(h, "editRedo");
    EXPECT_TRUE(h.Doc().IsModified());
    EXPECT_TRUE(h.Frame().windowTitle().startsWith(QLatin1Char('*')));
    Trigger(h, "editUndo");
    EXPECT_FALSE(h.Doc().IsModified());
    EXPECT_FALSE(h.Frame().windowTitle().startsWith(QLatin1Char('*')));

    while (stack.canUndo()) {
        Trigger(h, "editUndo");
    }
    EXPECT_EQ(Of(h.Doc()), opened);
    EXPECT_TRUE(h.Doc().IsModified());  // the card holds the later save
    // Back to what was saved: Exit asks nothing.
    while (stack.index() != stack.cleanIndex()) {
        Trigger(h, "editRedo");
    }
    const std::size_t told = h.prompter.shown.size();
    EXPECT_TRUE(h.Frame().close());
    EXPECT_EQ(h.prompter.shown.size(), told);
}

TEST(Undo, KeysSteppingOneControlAreOneStepUntilTheFocusLeavesIt) {
    TestCard card(TrackFiles(4));
    AppHarness h;
    OpenCard(h, card);
    QUndoStack& stack = h.App().History().Stack();
    const auto keys = [&](const char* control, Qt::Key key, int times) {
        QWidget* widget = Find(h, control);
        widget->setFocus();
        for (int i = 0; i < times; ++i) {
            QTest::keyClick(widget, key);
        }
    };

    // Choosing tracks in the list changes nothing of the card.
    keys("trackList", Qt::Key_Down, 3);
    EXPECT_EQ(stack.count(), 0);
    keys("thenCombo", Qt::Key_Down, 4);
    EXPECT_EQ(stack.count(), 1);
    keys("atEndCombo", Qt::Key_Down, 1);
    keys("thenCombo", Qt::Key_Down, 2);
    EXPECT_EQ(stack.count(), 3);
    Trigger(h, "editUndo");
    Trigger(h, "editUndo");
    EXPECT_EQ(Find<QComboBox>(h, "thenCombo")->currentIndex(), 4);

    h.Frame().GoToPage(PageId::InputSetup);
    Pick(h, "modeCombo", 1);
    Find<QAbstractButton>(h, "closeStartRadio")->click();
    const int steps = stack.count();
    keys("closeChoiceCombo", Qt::Key_Down, 5);
    EXPECT_EQ(stack.count(), steps + 1);
}

TEST(Undo, TheTitleNamesTheCardFolderCutFromTheLeft) {
    AppHarness h;
    ASSERT_TRUE(h.Start());
    const QString deep = QStringLiteral("/media/user/some/deeply/nested/folder/of/cards/show-card");
    h.Doc().SetPathName(
        std::filesystem::path((deep + QStringLiteral("/TUNBOX.CFG")).toStdString()));
    const QString title = h.App().FrameTitle();
    EXPECT_EQ(title,
              QStringLiteral("TUNBOX.CFG (\u2026/some/deeply/nested/folder/of/cards/show-card) - "
                             "TUNBOX Configuration"));
    h.Doc().SetModifiedFlag(true);
    EXPECT_TRUE(h.App().FrameTitle().startsWith(QStringLiteral("*TUNBOX.CFG (")));
}

}  // namespace

namespace {

// An undo shows the document as it was: bringing back the Track page looks
// at the card only when the user next turns to a page of tracks.
TEST(Undo, ShowingTheRestoredPageLeavesTheDocumentAsTheUndoMadeIt) {
    TestCard card(TrackFiles(4));
    AppHarness h;
    OpenCard(h, card);
    const Images opened = Of(h.Doc());
    TypeInto(h, "delayEdit", "2.5");
    ASSERT_TRUE(h.Sheet().GoToPage(PageId::AudioSetup));
    card.RemoveSound("TRACK02.MP3");

    Trigger(h, "editUndo");
    EXPECT_EQ(h.Sheet().GetActivePage()->Id(), PageId::TrackSetup);
    EXPECT_EQ(Of(h.Doc()), opened);
    EXPECT_TRUE(h.Doc().GetConfig()->TrackExists(2));

    ASSERT_TRUE(h.Sheet().GoToPage(PageId::Playlists));
    EXPECT_FALSE(h.Doc().GetConfig()->TrackExists(2));
}

}  // namespace
