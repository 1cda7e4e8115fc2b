// The schedule page's day maps and gestures, and the rules that give a
// selection its schedule, with the dialogs answered by a script.

#include <gtest/gtest.h>
#include <optional>

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

struct Rules : ScheduleDialogs {
    // Schedule n in use, on the given days of the year.
    void Use(int n, std::initializer_list<int> onDays) {
        doc.Schedules().AddScheduleEntry(n, ScheduleSet::MakeEntry(8, 0, false, 1));
        for (int d : onDays) {
            days.SetDaySchedule(d, static_cast<std::uint8_t>(n));
        }
    }
    void Select(std::initializer_list<int> onDays) {
        for (int d : onDays) {
            days.daySelected[d] = 1;
        }
    }

    std::optional<Edited> EditEntries(const std::vector<std::uint32_t>& entries,
                                      const std::string& name) override {
        given.push_back(entries);
        givenNames.push_back(name);
        if (!editOk) {
            return std::nullopt;
        }
        Edited edited{entries, "Edited"};
        if (addEntry) {
            ScheduleSet::InsertEntry(edited.entries, ScheduleSet::MakeEntry(9, 0, false, 2));
        }
        return edited;
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

    ScriptedPrompter prompter;
    CCardwrightDoc doc{prompter};
    ScheduleDays days{doc.Schedules(), kYear};
    ScheduleRules rules{days, doc, *this};
    bool editOk = true, addEntry = true;
    Choice choice;
    std::vector<std::vector<std::uint32_t>> given;
    std::vector<std::string> givenNames;
    std::vector<int> offered;
    bool selectedSeveral = false;
};

TEST(ScheduleDays, ClicksDragsAndTheDocumentsCells) {
    ScheduleSet schedules;
    ScheduleDays days(schedules, kYear);
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

    // Days of the year are the document's cells; 29 February does not exist
    // this year, so its cell is neither shown nor changed.
    schedules.SetDaySchedule(1, 28, 9);
    schedules.SetDaySchedule(11, 30, 4);
    EXPECT_EQ(days.DaySchedule(365), 4);
    days.SetDaySchedule(60, 5);  // 1 March
    days.SetDaySchedule(366, 7);
    days.SetWeekdaySchedule(3, 2, 6);
    EXPECT_EQ(schedules.DaySchedule(2, 0), 5);
    EXPECT_EQ(schedules.DaySchedule(1, 28), 9);
    EXPECT_EQ(days.DaySchedule(366), 0);
    EXPECT_EQ(schedules.WeekdaySchedule(3, 2), 6);
}

TEST(ScheduleRules, EditFlowFollowsWhatTheSelectionHolds) {
    Rules r;
    r.Use(4, {10, 11, 12});
    r.Select({10, 11});
    EXPECT_EQ(r.rules.ClassifySelection().kind, ScheduleRules::SelOneWider);
    r.prompter.answers = {Answer::Cancel};
    auto outcome = r.rules.EditFlow();
    EXPECT_EQ(r.prompter.shown.at(0).text.substr(0, 22), std::string(21, ' ') + "T");
    EXPECT_EQ(outcome.asked, ScheduleRules::Question::Wider);
    EXPECT_TRUE(r.given.empty());
    EXPECT_FALSE(outcome.commit || outcome.store);

    // All of schedule 4: straight to its entries, given as they are and
    // taken back as edited, with the name.
    r.Select({12});
    outcome = r.rules.EditFlow();
    EXPECT_EQ(r.given,
              (std::vector<std::vector<std::uint32_t>>{{ScheduleSet::MakeEntry(8, 0, false, 1)}}));
    EXPECT_EQ(r.givenNames[0], "Schedule 4");
    EXPECT_EQ(r.doc.Schedules().EntryCount(4), 2);
    EXPECT_EQ(r.doc.ScheduleNames()[4], "Edited");
    EXPECT_TRUE(outcome.commit && outcome.store && outcome.redraw);
    EXPECT_EQ(outcome.schedule, 4);

    // One schedule and unscheduled days, not expanded: committed, nothing assigned.
    r.Select({20});
    r.prompter.answers = {Answer::No};
    outcome = r.rules.EditFlow();
    EXPECT_EQ(outcome.asked, ScheduleRules::Question::Expand);
    EXPECT_TRUE(outcome.commit);
    EXPECT_EQ(r.days.DaySchedule(20), 0);

    // Several schedules: chosen from those selected, in the order met.
    r.Use(2, {30});
    r.days.daySelected.fill(0);
    r.Select({30, 10});
    r.choice = {true, 2, false, false};
    outcome = r.rules.EditFlow();
    EXPECT_TRUE(r.selectedSeveral);
    EXPECT_EQ(r.offered, (std::vector<int>{0, 4, 2}));
    EXPECT_EQ(r.doc.Schedules().DaySchedule(0, 9), 2);  // 10 January
    EXPECT_TRUE(outcome.commit);
}

TEST(ScheduleRules, DeleteDuplicateRemoveAndAFullSet) {
    Rules r;
    r.Use(2, {5});
    r.days.SetWeekdaySchedule(0, 1, 2);
    r.prompter.answers = {Answer::Yes, Answer::No};
    EXPECT_FALSE(r.rules.DeleteSchedule(2).done);
    EXPECT_EQ(r.days.DaySchedule(5), 2);
    r.prompter.answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(r.rules.DeleteSchedule(2).done);
    EXPECT_EQ(r.days.DaySchedule(5) + r.days.WeekdaySchedule(0, 1), 0);
    EXPECT_FALSE(r.doc.Schedules().InUse(2));

    // A duplicate is edited from a copy of the schedule; cancelled, it leaves
    // no new schedule and resets the new number's name.
    r.Use(3, {6});
    r.Select({6});
    r.editOk = false;
    r.doc.ScheduleNames()[1] = "Stale";
    const auto cancelled = r.rules.DuplicateScheduleForSelection(3);
    EXPECT_FALSE(cancelled.done);
    EXPECT_TRUE(cancelled.store);
    EXPECT_EQ(r.given.back(), r.doc.Schedules().Entries(3));
    EXPECT_FALSE(r.doc.Schedules().InUse(1));
    EXPECT_EQ(r.doc.ScheduleNames()[1], "Schedule 1");

    // Remove clears every selected schedule after one question.
    r.Use(4, {7});
    r.Select({7});
    r.prompter.shown.clear();
    EXPECT_TRUE(r.rules.RemoveFlow().commit);
    ASSERT_EQ(r.prompter.shown.size(), 1u);
    EXPECT_EQ(r.days.DaySchedule(6) + r.days.DaySchedule(7), 0);

    // A new schedule left without events is assigned, and the user is told
    // its days will run nothing yet.
    r.editOk = true;
    r.addEntry = false;
    r.prompter.shown.clear();
    const auto empty = r.rules.NewFlow();
    EXPECT_TRUE(empty.commit);
    EXPECT_EQ(r.days.DaySchedule(7), empty.schedule);
    ASSERT_EQ(r.prompter.shown.size(), 1u);
    EXPECT_NE(r.prompter.shown[0].text.find("will run nothing"), std::string::npos);

    // With every schedule in use, New and Duplicate say so and change nothing.
    for (int n = 1; n <= 255; ++n) {
        r.doc.Schedules().AddScheduleEntry(n, ScheduleSet::MakeEntry(1, 0, false, 0));
    }
    r.Select({8});
    r.given.clear();
    r.prompter.shown.clear();
    r.rules.NewFlow();
    EXPECT_FALSE(r.rules.DuplicateScheduleForSelection(3).done);
    EXPECT_TRUE(r.given.empty());
    ASSERT_EQ(r.prompter.shown.size(), 2u);
    EXPECT_EQ(r.days.DaySchedule(8), 0);
}

}  // namespace
