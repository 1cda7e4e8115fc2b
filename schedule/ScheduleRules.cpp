#include "schedule/ScheduleRules.h"

#include <algorithm>

#include "model/CardwrightDoc.h"
#include "model/ScheduleText.h"

namespace {

constexpr const char* kCreateNew = "Create New Schedule";
constexpr const char* kInUseQuestion =
    "This schedule is in use.  If you delete this schedule, all of the days where it is used will "
    "be cleared.\nDo you still want to delete this schedule?";
constexpr const char* kExpandQuestion =
    "The selected days include one schedule and some unscheduled days.\nDo you want to expand "
    "this schedule to all of the selected days?";
// The wider-schedule question, spaces and all.
const std::string kWiderQuestion =
    std::string(21, ' ') +
    "The selected schedule covers more days than you have selected.\nDo you want to edit the "
    "current schedule, or create a new schedule for just the selected days? \n\nEditing the "
    "current schedule will affect all days where it exists, not just the selected days.\n\n" +
    std::string(16, ' ') + "YES to edit the current schedule." + std::string(16, ' ') +
    "NO to create a new schedule.";

}  // namespace

ScheduleRules::ScheduleRules(ScheduleDays& days, CCardwrightDoc& doc, ScheduleDialogs& dialogs,
                             SchedulePageHooks& page)
    : days_(days), doc_(doc), dialogs_(dialogs), page_(page) {}

std::string& ScheduleRules::Name(int n) {
    std::vector<std::string>& names = doc_.ScheduleNames();
    if (names.size() <= static_cast<std::size_t>(n)) {
        names.resize(static_cast<std::size_t>(n) + 1);
    }
    return names[static_cast<std::size_t>(n)];
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
                look(days_.weekdayMap[m][w]);
            }
        }
    }
    for (int d = 1; d < ScheduleDays::kDaySlots; ++d) {
        if (days_.daySelected[d] != 0) {
            look(days_.dayMap[d]);
        }
    }
    if (!any) {
        return result;
    }
    if (result.found.size() == 1) {
        result.schedule = result.found.front();
        bool wider = false;
        for (int d = 1; d < ScheduleDays::kDaySlots && !wider; ++d) {
            wider = days_.daySelected[d] == 0 && days_.dayMap[d] == result.schedule;
        }
        result.kind = unscheduled ? SelOnePlusUnscheduled : wider ? SelOneWider : SelOneExact;
    } else {
        result.kind = result.found.empty() ? SelUnscheduled : SelMultiple;
    }
    return result;
}

void ScheduleRules::AssignScheduleToSelection(int n, const std::string& name) {
    const auto value = static_cast<std::uint8_t>(n);
    for (int m = 0; m < 12; ++m) {
        for (int w = 0; w < 7; ++w) {
            if (days_.weekdaySelected[m][w] != 0) {
                days_.weekdayMap[m][w] = value;
            }
        }
    }
    for (int d = 1; d < ScheduleDays::kDaySlots; ++d) {
        if (days_.daySelected[d] != 0) {
            days_.dayMap[d] = value;
        }
    }
    page_.RedrawCalendar();
    if (!name.empty()) {
        Name(n) = name;
    }
    page_.StoreToDocument();
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

bool ScheduleRules::NewScheduleForSelection() {
    const int n = FreeSchedule();
    return n != 0 && EditScheduleForSelection(n);
}

bool ScheduleRules::EditScheduleForSelection(int n) {
    std::string name = Name(n);
    if (!dialogs_.EditEntries(n, name)) {
        return false;
    }
    AssignScheduleToSelection(n, name);
    return true;
}

bool ScheduleRules::DuplicateScheduleForSelection(int s) {
    const int n = FreeSchedule();
    if (n == 0) {
        return false;
    }
    ScheduleSet& schedules = doc_.Schedules();
    schedules.CopyScheduleToScratch(s);
    schedules.CopyScratchToSchedule(n);
    if (EditScheduleForSelection(n)) {
        return true;
    }
    Name(n) = scheduletext::DefaultName(n);
    schedules.ClearSchedule(n);
    page_.StoreToDocument();
    return false;
}

bool ScheduleRules::DeleteSchedule(int s) {
    bool onWeekdays = false, onDays = false;
    for (const auto& row : days_.weekdayMap) {
        onWeekdays = onWeekdays || std::count(row.begin(), row.end(), s) > 0;
    }
    for (int d = 1; d < ScheduleDays::kDaySlots; ++d) {
        onDays = onDays || days_.dayMap[d] == s;
    }
    Prompter& prompter = doc_.GetPrompter();
    for (const bool used : {onWeekdays, onDays}) {
        if (used && prompter.Ask(kInUseQuestion, Prompter::Buttons::YesNo, Prompter::Icon::None) !=
                        Prompter::Answer::Yes) {
            return false;
        }
    }
    for (auto& row : days_.weekdayMap) {
        std::replace(row.begin(), row.end(), static_cast<std::uint8_t>(s), std::uint8_t{0});
    }
    std::replace(days_.dayMap.begin() + 1, days_.dayMap.end(), static_cast<std::uint8_t>(s),
                 std::uint8_t{0});
    Name(s) = scheduletext::DefaultName(s);
    doc_.Schedules().ClearSchedule(s);
    page_.StoreToDocument();
    return true;
}

void ScheduleRules::EditFlow() {
    const Classification c = ClassifySelection();
    Prompter& prompter = doc_.GetPrompter();
    std::vector<std::pair<int, std::string>> list{{0, kCreateNew}};
    switch (c.kind) {
        case SelNone:
        case SelUnscheduled:
            for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
                if (doc_.Schedules().InUse(n)) {
                    list.emplace_back(n, Name(n));
                }
            }
            ActOnChoice(dialogs_.SelectSchedule(false, list));
            return;
        case SelOnePlusUnscheduled: {
            const auto answer =
                prompter.Ask(kExpandQuestion, Prompter::Buttons::YesNo, Prompter::Icon::None);
            if (answer != Prompter::Answer::Yes || EditScheduleForSelection(c.schedule)) {
                page_.CommitSelection();
            }
            return;
        }
        case SelOneWider: {
            const auto answer =
                prompter.Ask(kWiderQuestion, Prompter::Buttons::YesNoCancel, Prompter::Icon::None);
            if ((answer == Prompter::Answer::Yes && EditScheduleForSelection(c.schedule)) ||
                (answer == Prompter::Answer::No && NewScheduleForSelection())) {
                page_.CommitSelection();
            }
            return;
        }
        case SelOneExact:
            if (EditScheduleForSelection(c.schedule)) {
                page_.CommitSelection();
            }
            return;
        case SelMultiple:
            for (int n : c.found) {
                list.emplace_back(n, Name(n));
            }
            ActOnChoice(dialogs_.SelectSchedule(true, list));
            return;
    }
}

void ScheduleRules::ActOnChoice(const ScheduleDialogs::Choice& choice) {
    if (!choice.ok) {
        return;
    }
    if (choice.erase) {
        DeleteSchedule(choice.chosen);
        page_.CommitSelection();
    } else if (choice.chosen == 0) {
        if (NewScheduleForSelection()) {
            page_.CommitSelection();
        }
    } else if (choice.edit) {
        if (EditScheduleForSelection(choice.chosen)) {
            page_.CommitSelection();
        }
    } else {
        AssignScheduleToSelection(choice.chosen, Name(choice.chosen));
        page_.CommitSelection();
    }
}

void ScheduleRules::NewFlow() {
    if (ClassifySelection().kind == SelNone) {
        doc_.GetPrompter().Tell("Select some dates first!");
        return;
    }
    if (NewScheduleForSelection()) {
        page_.CommitSelection();
    }
}

void ScheduleRules::RemoveFlow() {
    if (doc_.GetPrompter().Ask("Remove schedule from selected days?", Prompter::Buttons::YesNo,
                               Prompter::Icon::None) == Prompter::Answer::Yes) {
        AssignScheduleToSelection(0, "");
        page_.CommitSelection();
    }
}
