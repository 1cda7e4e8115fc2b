#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

class ScheduleSet;

// The Schedule page's working copy of the day and weekday maps for one year,
// with what the user has selected. Days are numbered by day of the year,
// 1 to 366; a weekday cell stands for every such weekday of a month. The
// gestures take the dates the calendar reports; a weekday marker is the
// first day of a month on a weekday, standing for that weekday's header.
class ScheduleDays {
  public:
    using Date = std::chrono::year_month_day;
    static constexpr int kDaySlots = 367;  // slot 0 holds no day
    using DayArray = std::array<std::uint8_t, kDaySlots>;
    using WeekdayGrid = std::array<std::array<std::uint8_t, 7>, 12>;  // [month 0-11][0 = Sunday]

    explicit ScheduleDays(int year);

    int Year() const { return year_; }
    int DaysInYear() const;
    // The day of the year of `date`, or 0 when it is not in this year.
    int DayOfYear(const Date& date) const;
    // The weekday cell of a date: its month (0-11) and weekday (0 = Sunday).
    static std::pair<int, int> CellOf(const Date& date);

    // Every map and selection emptied.
    void Clear();
    // The maps from the document's schedules (real dates of this year only),
    // and back; Store says whether any cell changed.
    void Load(const ScheduleSet& schedules);
    bool Store(ScheduleSet& schedules) const;

    // A click (or drag) the calendar reports: the range from `start` to
    // `end`, or a weekday header when `marker`. Shift extends from the
    // anchor. A click toggles; a drag sets the range to the opposite of the
    // day it ends on. False when the range lies outside this year and was
    // ignored.
    bool Click(std::optional<Date> start, std::optional<Date> end, bool marker, bool shift);
    // A double-click brings back the cell's selection from before the click
    // that came with it.
    void DoubleClick(const Date& start, bool marker);
    // The selection moves to the saved one and is cleared.
    void ClearSelection();
    // Selects exactly the cells whose schedule is `n`.
    void SelectSchedule(int n);
    bool AnySelected() const;

    DayArray dayMap{}, daySelected{}, savedDaySelected{};
    WeekdayGrid weekdayMap{}, weekdaySelected{}, savedWeekdaySelected{};

  private:
    void ClickWeekdays(Date start, Date end, bool shift);
    bool ClickDays(Date start, Date end, bool shift);

    int year_;
    std::optional<Date> anchor_;
};
