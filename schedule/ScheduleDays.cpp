#include "schedule/ScheduleDays.h"

#include <tuple>
#include <utility>

#include "model/ScheduleSet.h"

using namespace std::chrono;

ScheduleDays::ScheduleDays(int year) : year_(year) {}

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

void ScheduleDays::Clear() {
    for (DayArray* a : {&dayMap, &daySelected, &savedDaySelected}) {
        a->fill(0);
    }
    for (WeekdayGrid* g : {&weekdayMap, &weekdaySelected, &savedWeekdaySelected}) {
        *g = {};
    }
}

void ScheduleDays::Load(const ScheduleSet& schedules) {
    for (int m = 0; m < 12; ++m) {
        for (int k = 0; k < 31; ++k) {
            const Date date{std::chrono::year(year_), month(m + 1), day(k + 1)};
            if (date.ok()) {
                dayMap[DayOfYear(date)] = schedules.DaySchedule(m, k);
            }
        }
        for (int w = 0; w < 7; ++w) {
            weekdayMap[m][w] = schedules.WeekdaySchedule(m, w);
        }
    }
}

bool ScheduleDays::Store(ScheduleSet& schedules) const {
    bool changed = false;
    for (int m = 0; m < 12; ++m) {
        for (int w = 0; w < 7; ++w) {
            changed = changed || schedules.WeekdaySchedule(m, w) != weekdayMap[m][w];
            schedules.SetWeekdaySchedule(m, w, weekdayMap[m][w]);
        }
        for (int k = 0; k < 31; ++k) {
            const Date date{std::chrono::year(year_), month(m + 1), day(k + 1)};
            if (!date.ok()) {
                continue;  // a date this year does not have keeps its cell
            }
            const std::uint8_t value = dayMap[DayOfYear(date)];
            changed = changed || schedules.DaySchedule(m, k) != value;
            schedules.SetDaySchedule(m, k, value);
        }
    }
    return changed;
}

bool ScheduleDays::Click(std::optional<Date> start, std::optional<Date> end, bool marker,
                         bool shift) {
    // What a double-click brings back: the schedules as they are now.
    savedDaySelected = dayMap;
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
            weekdaySelected[m][w] = weekdayMap[m][w] == n ? 1 : 0;
        }
    }
    for (int d = 1; d < kDaySlots; ++d) {
        daySelected[d] = d <= DaysInYear() && dayMap[d] == n ? 1 : 0;
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
