// The Schedule page over a card: picking days on the calendar with the
// mouse and the keyboard, the schedule combo, the reset time, and the
// schedule file it leaves, also when saved from the page in the program.

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QUndoStack>

#include "AppTestSupport.h"
#include "TestSupport.h"
#include "app/CardwrightView.h"
#include "app/MainFrame.h"
#include "calendar/YearCalendarCtrl.h"
#include "schedule/SchedulePage.h"

namespace {

struct SchedulePageOnCard : PageOnCard<SchedulePage> {
    SchedulePageOnCard() : PageOnCard(TrackFiles(2), static_cast<QWidget*>(nullptr), 2026) {
        for (int n : {1, 3}) {
            doc.Schedules().AddScheduleEntry(n, ScheduleSet::MakeEntry(8, n, false, 0));
        }
        doc.Schedules().SetDaySchedule(0, 4, 3);  // 5 January
    }
    void ClickDay(int month, int day) {
        CYearCalendarCtrl* calendar = page.Calendar();
        QTest::mouseClick(calendar, Qt::LeftButton, {},
                          calendar->DayRect(QDate(2026, month, day)).center());
    }
    QComboBox* Combo() { return Find<QComboBox>("scheduleCombo"); }
};

TEST(SchedulePage, ClicksSelectDaysAndTheComboShowsTheirSchedule) {
    SchedulePageOnCard p;
    p.Activate();
    ASSERT_EQ(p.Combo()->count(), 6);
    EXPECT_EQ(p.Combo()->itemData(3), 1);
    EXPECT_EQ(p.Combo()->itemData(4), 3);
    EXPECT_EQ(p.Combo()->currentIndex(), -1);
    // Each schedule carries a swatch of its days' colour (3 is 0x008F4F).
    EXPECT_EQ(p.Combo()->itemIcon(4).pixmap(8, 8).toImage().pixelColor(4, 4),
              QColor(0x4F, 0x8F, 0x00));
    EXPECT_FALSE(p.doc.IsModified());  // showing the page changes nothing

    p.ClickDay(1, 5);
    EXPECT_EQ(p.Combo()->currentText(), "Schedule 3");
    p.ClickDay(1, 6);
    p.ClickDay(1, 5);
    EXPECT_EQ(p.Combo()->currentText(), "No Schedule");
    p.ClickDay(1, 6);
    EXPECT_EQ(p.Combo()->currentIndex(), -1);

    // A schedule chosen with nothing selected selects its days and changes nothing.
    p.Pick("scheduleCombo", 4);
    EXPECT_EQ(p.page.Days().daySelected[5], 1);
    EXPECT_FALSE(p.doc.IsModified());
    // Coming back to the page clears the selection and keeps the schedules.
    p.page.OnKillActive();
    p.page.OnSetActive();
    EXPECT_FALSE(p.page.Days().AnySelected());
    EXPECT_EQ(p.page.Days().DaySchedule(5), 3);
}

TEST(SchedulePage, TheKeyboardPicksAndAssignsAndTheFileComesBackTheSame) {
    SchedulePageOnCard p;
    p.Activate();
    p.page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.page));
    p.ClickDay(3, 2);
    p.ClickDay(3, 2);  // the cursor now stands on 2 March
    QWidget* calendar = p.page.Calendar();
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Space, Qt::Key_Down, Qt::Key_Space}) {
        QTest::keyClick(calendar, key);
    }
    EXPECT_EQ(p.page.Days().daySelected[62], 1);  // 3 March
    EXPECT_EQ(p.page.Days().daySelected[69], 1);  // 10 March
    p.prompter.answers = {Prompter::Answer::Yes};
    p.Pick("scheduleCombo", 3);
    EXPECT_TRUE(p.doc.IsModified());
    EXPECT_EQ(p.doc.Schedules().DaySchedule(2, 9), 1);

    p.Retype("resetTimeEdit", "1:2");
    p.Click("resetClockCheck");
    ASSERT_TRUE(p.page.OnKillActive());
    EXPECT_EQ(p.doc.Schedules().ResetTime(), (std::array<std::uint8_t, 3>{0x01, 0x02, 0x00}));
    ASSERT_TRUE(p.doc.OnSaveDocument(p.card.Path("TUNBOX.CFG")));
    const Bytes saved = ReadBytes(p.card.Path("SCHEDULE.SCH"));
    ASSERT_TRUE(p.doc.OnOpenDocument(p.card.Path("TUNBOX.CFG")));
    p.page.OnSetActive();
    ASSERT_TRUE(p.page.OnKillActive());
    ASSERT_TRUE(p.doc.OnSaveDocument(p.card.Path("TUNBOX.CFG")));
    EXPECT_EQ(ReadBytes(p.card.Path("SCHEDULE.SCH")), saved);

    // A refused reset time is told, keeps the stored one, and lets the page go.
    p.prompter.shown.clear();
    p.Retype("resetTimeEdit", "24:00:00");
    EXPECT_TRUE(p.page.OnKillActive());
    ASSERT_EQ(p.prompter.shown.size(), 1u);
    EXPECT_EQ(p.prompter.shown[0].text,
              "Reset Time value is invalid, fix it: HH:MM:SS, max 23:59:59");
    EXPECT_EQ(p.doc.Schedules().ResetTime()[0], 0x01);
}

// The program open on a clock player's card, its window active.
struct ProgramOnCard {
    ProgramOnCard() : card(TrackFiles(2)) {
        card.SaveConfig(PlayerModel::TunboxC40);
        if (h.Start({card.ConfigPath()})) {
            h.Frame().activateWindow();
            active = QTest::qWaitForWindowActive(&h.Frame());
        }
    }
    TestCard card;
    AppHarness h;
    bool active = false;
};

std::uint32_t Evening() {
    return ScheduleSet::MakeEntry(19, 0, true, 2);
}

// What the saved card runs on 6 January.
std::vector<std::uint32_t> SixthOfJanuary(const std::vector<std::uint8_t>& file) {
    ScheduleSet saved;
    EXPECT_TRUE(saved.Parse(file, 0).ok());
    return saved.Entries(saved.DaySchedule(0, 5));
}

TEST(SchedulePage, SavingFromThePageKeepsEveryDayOnItsSchedule) {
    ProgramOnCard p;
    ASSERT_TRUE(p.active);
    // Schedules 2 and 5 in use, as after deleting the others.
    ScheduleSet& schedules = p.h.Doc().Schedules();
    schedules.AddScheduleEntry(2, ScheduleSet::MakeEntry(8, 0, false, 1));
    schedules.AddScheduleEntry(5, Evening());
    schedules.SetDaySchedule(0, 4, 2);  // 5 January
    schedules.SetDaySchedule(0, 5, 5);  // 6 January
    p.h.Doc().SetModifiedFlag();
    QUndoStack& steps = p.h.App().History().Stack();
    const int stepCount = steps.count();

    p.h.Frame().GoToPage(PageId::Schedule);
    ASSERT_TRUE(p.h.Frame().View()->OnFileSave());
    const auto first = ReadBytes(p.card.Path(QStringLiteral("SCHEDULE.SCH")));
    EXPECT_EQ(SixthOfJanuary(first), std::vector<std::uint32_t>{Evening()});
    // Coming back to the page and leaving it stores nothing old.
    p.h.Frame().GoToPage(PageId::Schedule);
    auto* combo = p.h.Sheet().GetActivePage()->findChild<QComboBox*>("scheduleCombo");
    EXPECT_EQ(combo->itemData(4), 2);  // the schedules as renumbered
    p.h.Frame().GoToPage(PageId::TrackSetup);
    EXPECT_FALSE(p.h.Doc().IsModified());
    EXPECT_EQ(steps.count(), stepCount);
    ASSERT_TRUE(p.h.Frame().View()->OnFileSave());
    EXPECT_EQ(ReadBytes(p.card.Path(QStringLiteral("SCHEDULE.SCH"))), first);
    EXPECT_EQ(p.h.Doc().Schedules().Entries(p.h.Doc().Schedules().DaySchedule(0, 5)),
              std::vector<std::uint32_t>{Evening()});
    EXPECT_FALSE(p.h.Doc().IsModified());
    EXPECT_EQ(steps.count(), stepCount);
}

TEST(SchedulePage, ABadResetTimeIsToldOnceWhenThePageIsLeftByItsTab) {
    ProgramOnCard p;
    ASSERT_TRUE(p.active);
    p.h.Frame().GoToPage(PageId::Schedule);
    auto* edit = p.h.Sheet().GetActivePage()->findChild<QLineEdit*>("resetTimeEdit");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, "25:00:00");
    p.h.prompter.shown.clear();
    QTabBar* tabs = p.h.Sheet().Tabs()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(p.h.ActiveCaption(), "Track Setup");
    ASSERT_EQ(p.h.prompter.shown.size(), 1u);
    EXPECT_EQ(p.h.prompter.shown[0].text,
              "Reset Time value is invalid, fix it: HH:MM:SS, max 23:59:59");
}

}  // namespace
