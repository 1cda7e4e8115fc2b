#include "schedule/ScheduleDays.h"

#include <tuple>
#include <utility>

#include "model/ScheduleSet.h"

using namespace std::chrono;

ScheduleDays::ScheduleDays(ScheduleSet& schedules, int year) : schedules_(schedules), year_(year) {}

int ScheduleDays::DaysInYear() const {
    return std::chrono::year(year_).is_leap() ? 366 : 365;
}

int ScheduleDays::DayOfYear(const Date& date) const {
    if (!date.ok() || date.year() != std::chrono::year(year_)) {
        return 0;
    }
    return static_cast<int>(
               (sys_days(date) - sys_days(std::chrono::year(year_) / January / 1)).count()) +
           1;
}

std::pair<int, int> ScheduleDays::CellOf(const Date& date) {
    return {static_cast<int>(static_cast<unsigned>(date.month())) - 1,
            static_cast<int>(weekday(sys_days(date)).c_encoding())};
}

std::optional<ScheduleDays::Date> ScheduleDays::DateOf(int dayOfYear) const {
    if (dayOfYear < 1 || dayOfYear > DaysInYear()) {
        return std::nullopt;
    }
    return Date(sys_days(std::chrono::year(year_) / January / 1) + days(dayOfYear - 1));
}

std::uint8_t ScheduleDays::DaySchedule(int dayOfYear) const {
    const auto date = DateOf(dayOfYear);
    if (!date) {
        return 0;
    }
    return schedules_.DaySchedule(static_cast<int>(static_cast<unsigned>(date->month())) - 1,
                                  static_cast<int>(static_cast<unsigned>(date->day())) - 1);
}

void ScheduleDays::SetDaySchedule(int dayOfYear, std::uint8_t schedule) {
    // A date this year does not have keeps its cell.
    if (const auto date = DateOf(dayOfYear)) {
        schedules_.SetDaySchedule(static_cast<int>(static_cast<unsigned>(date->month())) - 1,
                                  static_cast<int>(static_cast<unsigned>(date->day())) - 1,
                                  schedule);
    }
}

std::uint8_t ScheduleDays::WeekdaySchedule(int month, int weekday) const {
    return schedules_.WeekdaySchedule(month, weekday);
}

void ScheduleDays::SetWeekdaySchedule(int month, int weekday, std::uint8_t schedule) {
    schedules_.SetWeekdaySchedule(month, weekday, schedule);
}

bool ScheduleDays::AnyDayHas(int n) const {
    for (int d = 1; d <= DaysInYear(); ++d) {
        if (DaySchedule(d) == n) {
            return true;
        }
    }
    return false;
}

bool ScheduleDays::AnyWeekdayHas(int n) const {
    for (int m = 0; m < 12; ++m) {
        for (int w = 0; w < 7; ++w) {
            if (schedules_.WeekdaySchedule(m, w) == n) {
                return true;
            }
        }
    }
    return false;
}

void ScheduleDays::ClearSelections() {
    for (DayArray* a : {&daySelected, &savedDaySelected}) {
        a->fill(0);
    }
    for (WeekdayGrid* g : {&weekdaySelected, &savedWeekdaySelected}) {
        *g = {};
    }
}

bool ScheduleDays::Click(std::optional<Date> start, std::optional<Date> end, bool marker,
                         bool shift) {
    // What a double-click brings back: the schedules as they are now.
    for (int d = 0; d < kDaySlots; ++d) {
        savedDaySelected[d] = DaySchedule(d);
    }
    if (!start || !start->ok() || !end || !end->ok()) {
        return true;
    }
    if (!(shift && anchor_ && anchor_->year() == start->year())) {
        anchor_ = start;
    }
    if (marker) {
        ClickWeekdays(*start, *end, shift);
        return true;
    }
    return ClickDays(*start, *end, shift);
}

void ScheduleDays::ClickWeekdays(Date start, Date end, bool shift) {
    daySelected.fill(0);
    savedDaySelected.fill(0);
    auto [m, w] = CellOf(start);
    bool state = weekdaySelected[m][w] != 0;
    if (shift) {
        // The same weekday, from the anchor's month.
        const weekday wanted = weekday(sys_days(start));
        start = Date(sys_days(year_month_weekday(anchor_->year() / anchor_->month() / wanted[1])));
        if (sys_days(start) > sys_days(end)) {
            std::swap(start, end);
        }
        std::tie(m, w) = CellOf(start);
        state = weekdaySelected[m][w] != 0;
    }
    while (start.month() <= end.month() && start.year() <= end.year()) {
        const auto [cm, cw] = CellOf(start);
        weekdaySelected[cm][cw] = state ? 0 : 1;
        start = Date(sys_days(start) + days(7));
    }
}

bool ScheduleDays::ClickDays(Date start, Date end, bool shift) {
    for (WeekdayGrid* g : {&weekdaySelected, &savedWeekdaySelected}) {
        *g = {};
    }
    if (start.year() < end.year()) {
        start = end.year() / January / 1;
    }
    if (start.year() != std::chrono::year(year_)) {
        return false;
    }
    const bool state = daySelected[DayOfYear(end)] != 0;
    if (start == end && shift) {
        if (sys_days(*anchor_) < sys_days(start)) {
            start = *anchor_;
        } else {
            end = *anchor_;
        }
    }
    const int last = DayOfYear(end);
    for (int d = DayOfYear(start); d >= 1 && d <= last; ++d) {
        daySelected[d] = state ? 0 : 1;
    }
    return true;
}

void ScheduleDays::DoubleClick(const Date& start, bool marker) {
    if (!start.ok()) {
        return;
    }
    if (marker) {
        const auto [m, w] = CellOf(start);
        if (weekdaySelected[m][w] == 0 && savedWeekdaySelected[m][w] != 0) {
            weekdaySelected[m][w] = savedWeekdaySelected[m][w];
        }
        return;
    }
    const int d = DayOfYear(start);
    if (d != 0 && daySelected[d] == 0 && savedDaySelected[d] != 0) {
        daySelected[d] = savedDaySelected[d];
    }
}

void ScheduleDays::ClearSelection() {
    savedDaySelected = daySelected;
    daySelected.fill(0);
    savedWeekdaySelected = weekdaySelected;
    weekdaySelected = {};
}

void ScheduleDays::SelectSchedule(int n) {
    for (int m = 0; m < 12; ++m) {
        for (int w = 0; w < 7; ++w) {
            weekdaySelected[m][w] = schedules_.WeekdaySchedule(m, w) == n ? 1 : 0;
        }
    }
    for (int d = 1; d < kDaySlots; ++d) {
        daySelected[d] = d <= DaysInYear() && DaySchedule(d) == n ? 1 : 0;
    }
}

bool ScheduleDays::AnySelected() const {
    for (const auto& row : weekdaySelected) {
        for (std::uint8_t cell : row) {
            if (cell != 0) {
                return true;
            }
        }
    }
    for (int d = 1; d < kDaySlots; ++d) {
        if (daySelected[d] != 0) {
            return true;
        }
    }
    return false;
}
