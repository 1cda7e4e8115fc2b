#include "schedule/ScheduleRules.h"

#include <algorithm>

#include "model/CardwrightDoc.h"
#include "model/ScheduleText.h"

namespace {

using Answer = Prompter::Answer;
using Buttons = Prompter::Buttons;

constexpr const char* kCreateNew = "Create New Schedule";
constexpr const char* kInUseQuestion =
    "This schedule is in use.  If you delete this schedule, all of the days where it is used will "
    "be cleared.\nDo you still want to delete this schedule?";
constexpr const char* kExpandQuestion =
    "The selected days include one schedule and some unscheduled days.\nDo you want to expand "
    "this schedule to all of the selected days?";
constexpr const char* kRemoveQuestion = "Remove schedule from selected days?";
// The wider-schedule question, spaces and all.
const std::string kWiderQuestion =
    std::string(21, ' ') +
    "The selected schedule covers more days than you have selected.\nDo you want to edit the "
    "current schedule, or create a new schedule for just the selected days? \n\nEditing the "
    "current schedule will affect all days where it exists, not just the selected days.\n\n" +
    std::string(16, ' ') + "YES to edit the current schedule." + std::string(16, ' ') +
    "NO to create a new schedule.";

std::string QuestionText(ScheduleRules::Question question) {
    switch (question) {
        case ScheduleRules::Question::Expand:
            return kExpandQuestion;
        case ScheduleRules::Question::Wider:
            return kWiderQuestion;
        case ScheduleRules::Question::InUse:
            return kInUseQuestion;
        case ScheduleRules::Question::Remove:
            return kRemoveQuestion;
        case ScheduleRules::Question::None:
            break;
    }
    return {};
}

// What followed a question: it keeps the question and its answer unless it
// asked one of its own.
ScheduleRules::Outcome After(const ScheduleRules::Outcome& question, ScheduleRules::Outcome next) {
    if (next.asked == ScheduleRules::Question::None) {
        next.asked = question.asked;
        next.answer = question.answer;
    }
    return next;
}

}  // namespace

ScheduleRules::ScheduleRules(ScheduleDays& days, CCardwrightDoc& doc, ScheduleDialogs& dialogs)
    : days_(days), doc_(doc), dialogs_(dialogs) {}

std::string ScheduleRules::NameOf(const std::vector<std::string>& names, int n) {
    const auto at = static_cast<std::size_t>(n);
    if (n >= 0 && at < names.size() && !names[at].empty()) {
        return names[at];
    }
    return n == 0 ? "No Schedule" : scheduletext::DefaultName(n);
}

std::string ScheduleRules::Name(int n) const {
    return NameOf(doc_.ScheduleNames(), n);
}

void ScheduleRules::SetName(int n, const std::string& name) {
    std::vector<std::string>& names = doc_.ScheduleNames();
    if (names.size() <= static_cast<std::size_t>(n)) {
        names.resize(static_cast<std::size_t>(n) + 1);
    }
    names[static_cast<std::size_t>(n)] = name;
}

Prompter::Answer ScheduleRules::Ask(Outcome& outcome, Question question,
                                    Prompter::Buttons buttons) {
    outcome.asked = question;
    outcome.answer = doc_.GetPrompter().Ask(QuestionText(question), buttons, Prompter::Icon::None);
    return outcome.answer;
}

ScheduleRules::Classification ScheduleRules::ClassifySelection() const {
    Classification result;
    bool any = false, unscheduled = false;
    const auto look = [&](std::uint8_t value) {
        any = true;
        if (value == 0) {
            unscheduled = true;
        } else if (std::find(result.found.begin(), result.found.end(), value) ==
                   result.found.end()) {
            result.found.push_back(value);
        }
    };
    for (int m = 0; m < 12; ++m) {
        for (int w = 0; w < 7; ++w) {
            if (days_.weekdaySelected[m][w] != 0) {
                look(days_.WeekdaySchedule(m, w));
            }
        }
    }
    for (int d = 1; d < ScheduleDays::kDaySlots; ++d) {
        if (days_.daySelected[d] != 0) {
            look(days_.DaySchedule(d));
        }
    }
    if (!any) {
        return result;
    }
    if (result.found.size() == 1) {
        result.schedule = result.found.front();
        bool wider = false;
        for (int d = 1; d < ScheduleDays::kDaySlots && !wider; ++d) {
            wider = days_.daySelected[d] == 0 && days_.DaySchedule(d) == result.schedule;
        }
        result.kind = unscheduled ? SelOnePlusUnscheduled : wider ? SelOneWider : SelOneExact;
    } else {
        result.kind = result.found.empty() ? SelUnscheduled : SelMultiple;
    }
    return result;
}

ScheduleRules::Outcome ScheduleRules::AssignScheduleToSelection(int n, const std::string& name) {
    const auto value = static_cast<std::uint8_t>(n);
    for (int m = 0; m < 12; ++m) {
        for (int w = 0; w < 7; ++w) {
            if (days_.weekdaySelected[m][w] != 0) {
                days_.SetWeekdaySchedule(m, w, value);
            }
        }
    }
    for (int d = 1; d < ScheduleDays::kDaySlots; ++d) {
        if (days_.daySelected[d] != 0) {
            days_.SetDaySchedule(d, value);
        }
    }
    if (!name.empty()) {
        SetName(n, name);
    }
    Outcome outcome;
    outcome.done = outcome.redraw = outcome.store = true;
    outcome.schedule = n;
    return outcome;
}

int ScheduleRules::FreeSchedule() {
    const int n = doc_.Schedules().FindFreeSchedule();
    if (n < 1 || n > ScheduleSet::kMaxSchedule) {
        doc_.GetPrompter().Tell(
            "All 255 schedules are in use.\nDelete a schedule before making another one.",
            Prompter::Icon::Warning);
        return 0;
    }
    return n;
}

ScheduleRules::Outcome ScheduleRules::EditAs(int n, const std::vector<std::uint32_t>& entries) {
    auto edited = dialogs_.EditEntries(entries, Name(n));
    if (!edited) {
        return {};
    }
    doc_.Schedules().SetEntries(n, edited->entries);
    return AssignScheduleToSelection(n, edited->name);
}

ScheduleRules::Outcome ScheduleRules::NewScheduleForSelection() {
    const int n = FreeSchedule();
    if (n == 0) {
        return {};
    }
    Outcome outcome = EditAs(n, {});
    if (outcome.done && !doc_.Schedules().InUse(n)) {
        doc_.GetPrompter().Tell("\"" + Name(n) +
                                "\" has no events yet.\nThe selected days will run nothing until "
                                "you add some to it.");
    }
    return outcome;
}

ScheduleRules::Outcome ScheduleRules::EditScheduleForSelection(int n) {
    const std::vector<std::uint32_t> entries = doc_.Schedules().Entries(n);
    return EditAs(n, entries);
}

ScheduleRules::Outcome ScheduleRules::DuplicateScheduleForSelection(int s) {
    const int n = FreeSchedule();
    if (n == 0) {
        return {};
    }
    const std::vector<std::uint32_t> copy = doc_.Schedules().Entries(s);
    Outcome outcome = EditAs(n, copy);
    if (!outcome.done) {
        // The copy never became a schedule; the number goes back as it was.
        SetName(n, scheduletext::DefaultName(n));
        doc_.Schedules().ClearSchedule(n);
        outcome.store = true;
    }
    return outcome;
}

ScheduleRules::Outcome ScheduleRules::DeleteSchedule(int s) {
    Outcome outcome;
    for (const bool used : {days_.AnyWeekdayHas(s), days_.AnyDayHas(s)}) {
        if (used && Ask(outcome, Question::InUse, Buttons::YesNo) != Answer::Yes) {
            return outcome;
        }
    }
    for (int m = 0; m < 12; ++m) {
        for (int w = 0; w < 7; ++w) {
            if (days_.WeekdaySchedule(m, w) == s) {
                days_.SetWeekdaySchedule(m, w, 0);
            }
        }
    }
    for (int d = 1; d <= days_.DaysInYear(); ++d) {
        if (days_.DaySchedule(d) == s) {
            days_.SetDaySchedule(d, 0);
        }
    }
    SetName(s, scheduletext::DefaultName(s));
    doc_.Schedules().ClearSchedule(s);
    outcome.done = outcome.redraw = outcome.store = true;
    return outcome;
}

ScheduleRules::Outcome ScheduleRules::EditFlow() {
    const Classification c = ClassifySelection();
    Outcome outcome;
    switch (c.kind) {
        case SelOnePlusUnscheduled:
            if (Ask(outcome, Question::Expand, Buttons::YesNo) != Answer::Yes) {
                outcome.commit = true;  // nothing assigned, the selection still goes
                return outcome;
            }
            outcome = After(outcome, EditScheduleForSelection(c.schedule));
            break;
        case SelOneWider:
            switch (Ask(outcome, Question::Wider, Buttons::YesNoCancel)) {
                case Answer::Yes:
                    outcome = After(outcome, EditScheduleForSelection(c.schedule));
                    break;
                case Answer::No:
                    outcome = After(outcome, NewScheduleForSelection());
                    break;
                default:
                    return outcome;
            }
            break;
        case SelOneExact:
            outcome = EditScheduleForSelection(c.schedule);
            break;
        default:
            return EditOrChoose(c);
    }
    outcome.commit = outcome.done;
    return outcome;
}

ScheduleRules::Outcome ScheduleRules::EditOrChoose(const Classification& c) {
    // No schedule selected: any schedule in use may be chosen; several: one
    // of those, in the order they were met.
    std::vector<std::pair<int, std::string>> list{{0, kCreateNew}};
    if (c.kind == SelMultiple) {
        for (int n : c.found) {
            list.emplace_back(n, Name(n));
        }
    } else {
        for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
            if (doc_.Schedules().InUse(n)) {
                list.emplace_back(n, Name(n));
            }
        }
    }
    return ActOnChoice(dialogs_.SelectSchedule(c.kind == SelMultiple, list));
}

ScheduleRules::Outcome ScheduleRules::ActOnChoice(const ScheduleDialogs::Choice& choice) {
    if (!choice.ok) {
        return {};
    }
    Outcome outcome;
    if (choice.erase) {
        outcome = DeleteSchedule(choice.chosen);
        outcome.commit = true;  // whether deleted or not
        return outcome;
    }
    if (choice.chosen == 0) {
        outcome = NewScheduleForSelection();
    } else if (choice.edit) {
        outcome = EditScheduleForSelection(choice.chosen);
    } else {
        outcome = AssignScheduleToSelection(choice.chosen, Name(choice.chosen));
    }
    outcome.commit = outcome.done;
    return outcome;
}

ScheduleRules::Outcome ScheduleRules::NewFlow() {
    if (ClassifySelection().kind == SelNone) {
        doc_.GetPrompter().Tell("Select some dates first!");
        return {};
    }
    Outcome outcome = NewScheduleForSelection();
    outcome.commit = outcome.done;
    return outcome;
}

ScheduleRules::Outcome ScheduleRules::RemoveFlow() {
    Outcome outcome;
    if (Ask(outcome, Question::Remove, Buttons::YesNo) == Answer::Yes) {
        outcome = After(outcome, AssignScheduleToSelection(0, ""));
        outcome.commit = true;
    }
    return outcome;
}
