// The schedule page's day maps and gestures, and the rules that give a
// selection its schedule, with the dialogs answered by a script.

#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "model/CardwrightDoc.h"
#include "model/ScheduleText.h"
#include "schedule/ScheduleRules.h"

namespace {

using namespace std::chrono;
using Answer = Prompter::Answer;
constexpr int kYear = 2026;  // not a leap year

ScheduleDays::Date Day(int month, int day) {
    return year(kYear) / month / day;
}

struct Rules : ScheduleDialogs, SchedulePageHooks {
    Rules() {
        doc.ScheduleNames().assign(256, "");
        for (int n = 1; n <= 255; ++n) {
            doc.ScheduleNames()[n] = scheduletext::DefaultName(n);
        }
    }
    // Schedule n in use, on the given days of the year.
    void Use(int n, std::initializer_list<int> onDays) {
        doc.Schedules().AddScheduleEntry(n, ScheduleSet::MakeEntry(8, 0, false, 1));
        for (int d : onDays) {
            days.dayMap[d] = static_cast<std::uint8_t>(n);
        }
    }
    void Select(std::initializer_list<int> onDays) {
        for (int d : onDays) {
            days.daySelected[d] = 1;
        }
    }

    bool EditEntries(int n, std::string& name) override {
        edited.push_back(n);
        name = "Edited";
        if (editOk) {
            doc.Schedules().AddScheduleEntry(n, ScheduleSet::MakeEntry(9, 0, false, 2));
        }
        return editOk;
    }
    Choice SelectSchedule(bool several,
                          const std::vector<std::pair<int, std::string>>& list) override {
        offered.clear();
        for (const auto& [n, name] : list) {
            offered.push_back(n);
        }
        selectedSeveral = several;
        return choice;
    }
    void StoreToDocument() override { ++stores; }
    void CommitSelection() override { ++commits; }
    void RedrawCalendar() override {}

    ScriptedPrompter prompter;
    CCardwrightDoc doc{prompter};
    ScheduleDays days{kYear};
    ScheduleRules rules{days, doc, *this, *this};
    bool editOk = true;
    Choice choice;
    std::vector<int> edited, offered;
    bool selectedSeveral = false;
    int stores = 0, commits = 0;
};

TEST(ScheduleDays, ClicksDragsAndTheDocumentsCells) {
    ScheduleDays days(kYear);
    // A drag ending on a selected day clears the whole range.
    days.Click(Day(3, 10), Day(3, 10), false, false);
    days.Click(Day(3, 8), Day(3, 10), false, false);
    EXPECT_FALSE(days.AnySelected());
    // Shift-click extends from the anchor; a weekday header clears the days.
    days.Click(Day(1, 30), Day(1, 30), false, false);
    days.Click(Day(2, 2), Day(2, 2), false, true);
    EXPECT_EQ(std::count(days.daySelected.begin(), days.daySelected.end(), 1), 4);
    days.Click(Day(4, 7), Day(4, 7), true, false);  // Tuesdays in April
    EXPECT_EQ(days.weekdaySelected[3][2], 1);
    EXPECT_EQ(std::count(days.daySelected.begin(), days.daySelected.end(), 1), 0);
    EXPECT_TRUE(days.Click(Day(4, 7), Day(4, 7), true, false));
    EXPECT_FALSE(days.Click(year(kYear + 1) / 1 / 3, year(kYear + 1) / 1 / 4, false, false));

    // 29 February does not exist this year: its document cell is left alone.
    ScheduleSet schedules;
    schedules.SetDaySchedule(1, 28, 9);
    schedules.SetDaySchedule(11, 30, 4);
    days.Load(schedules);
    EXPECT_EQ(days.dayMap[365], 4);
    days.dayMap[365] = 5;
    EXPECT_TRUE(days.Store(schedules));
    EXPECT_EQ(schedules.DaySchedule(1, 28), 9);
    EXPECT_EQ(schedules.DaySchedule(11, 30), 5);
    EXPECT_FALSE(days.Store(schedules));
}

TEST(ScheduleRules, EditFlowFollowsWhatTheSelectionHolds) {
    Rules r;
    r.Use(4, {10, 11, 12});
    r.Select({10, 11});
    EXPECT_EQ(r.rules.ClassifySelection().kind, ScheduleRules::SelOneWider);
    r.prompter.answers = {Answer::Cancel};
    r.rules.EditFlow();
    EXPECT_EQ(r.prompter.shown.at(0).text.substr(0, 22), std::string(21, ' ') + "T");
    EXPECT_TRUE(r.edited.empty());
    EXPECT_EQ(r.commits, 0);

    r.Select({12});  // all of schedule 4: straight to its entries
    r.rules.EditFlow();
    EXPECT_EQ(r.edited, std::vector<int>{4});
    EXPECT_EQ(r.doc.ScheduleNames()[4], "Edited");
    EXPECT_EQ(r.commits, 1);

    // One schedule and unscheduled days, not expanded: committed, nothing assigned.
    r.Select({20});
    r.prompter.answers = {Answer::No};
    r.rules.EditFlow();
    EXPECT_EQ(r.days.dayMap[20], 0);
    EXPECT_EQ(r.commits, 2);

    // Several schedules: chosen from those selected, in the order met.
    r.Use(2, {30});
    r.days.daySelected.fill(0);
    r.Select({30, 10});
    r.choice = {true, 2, false, false};
    r.rules.EditFlow();
    EXPECT_TRUE(r.selectedSeveral);
    EXPECT_EQ(r.offered, (std::vector<int>{0, 4, 2}));
    EXPECT_EQ(r.days.dayMap[10], 2);
}

TEST(ScheduleRules, DeleteDuplicateRemoveAndAFullSet) {
    Rules r;
    r.Use(2, {5});
    r.days.weekdayMap[0][1] = 2;
    r.prompter.answers = {Answer::Yes, Answer::No};
    EXPECT_FALSE(r.rules.DeleteSchedule(2));
    EXPECT_EQ(r.days.dayMap[5], 2);
    r.prompter.answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(r.rules.DeleteSchedule(2));
    EXPECT_EQ(r.days.dayMap[5] + r.days.weekdayMap[0][1], 0);
    EXPECT_FALSE(r.doc.Schedules().InUse(2));

    // A duplicate cancelled leaves no new schedule and resets its name.
    r.Use(3, {6});
    r.Select({6});
    r.editOk = false;
    r.doc.ScheduleNames()[1] = "Stale";
    EXPECT_FALSE(r.rules.DuplicateScheduleForSelection(3));
    EXPECT_FALSE(r.doc.Schedules().InUse(1));
    EXPECT_EQ(r.doc.ScheduleNames()[1], "Schedule 1");

    // Remove clears every selected schedule after one question.
    r.Use(4, {7});
    r.Select({7});
    r.prompter.shown.clear();
    r.rules.RemoveFlow();
    ASSERT_EQ(r.prompter.shown.size(), 1u);
    EXPECT_EQ(r.days.dayMap[6] + r.days.dayMap[7], 0);

    // With every schedule in use, New and Duplicate say so and change nothing.
    for (int n = 1; n <= 255; ++n) {
        r.doc.Schedules().AddScheduleEntry(n, ScheduleSet::MakeEntry(1, 0, false, 0));
    }
    r.Select({8});
    r.edited.clear();
    r.prompter.shown.clear();
    r.rules.NewFlow();
    EXPECT_FALSE(r.rules.DuplicateScheduleForSelection(3));
    EXPECT_TRUE(r.edited.empty());
    ASSERT_EQ(r.prompter.shown.size(), 2u);
    EXPECT_EQ(r.days.dayMap[8], 0);
}

}  // namespace
