#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <utility>

class ScheduleSet;

// The Schedule page's view of the document's day and weekday maps for one
// year, and what the user has selected there. Days are numbered by day of the
// year, 1 to 366; a weekday cell stands for every such weekday of a month.
// The maps are read from and written to the schedules themselves, so nothing
// here can fall behind them; only the selection is the page's own. The
// gestures take the dates the calendar reports; a weekday marker is the first
// day of a month on a weekday, standing for that weekday's header.
class ScheduleDays {
  public:
    using Date = std::chrono::year_month_day;
    static constexpr int kDaySlots = 367;  // slot 0 holds no day
    using DayArray = std::array<std::uint8_t, kDaySlots>;
    using WeekdayGrid = std::array<std::array<std::uint8_t, 7>, 12>;  // [month 0-11][0 = Sunday]

    ScheduleDays(ScheduleSet& schedules, int year);

    int Year() const { return year_; }
    int DaysInYear() const;
    // The day of the year of `date`, or 0 when it is not in this year.
    int DayOfYear(const Date& date) const;
    // The weekday cell of a date: its month (0-11) and weekday (0 = Sunday).
    static std::pair<int, int> CellOf(const Date& date);

    // The schedule of a day of this year (0 for a day the year does not
    // have), and of a weekday cell; setting a day the year lacks does nothing.
    std::uint8_t DaySchedule(int dayOfYear) const;
    void SetDaySchedule(int dayOfYear, std::uint8_t schedule);
    std::uint8_t WeekdaySchedule(int month, int weekday) const;
    void SetWeekdaySchedule(int month, int weekday, std::uint8_t schedule);
    // Whether any day of this year, or any weekday cell, has schedule n.
    bool AnyDayHas(int n) const;
    bool AnyWeekdayHas(int n) const;

    // The selection and the saved one emptied; the anchor stays.
    void ClearSelections();

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

    DayArray daySelected{}, savedDaySelected{};
    WeekdayGrid weekdaySelected{}, savedWeekdaySelected{};

  private:
    void ClickWeekdays(Date start, Date end, bool shift);
    bool ClickDays(Date start, Date end, bool shift);
    // The date of a day of this year, or nothing.
    std::optional<Date> DateOf(int dayOfYear) const;

    ScheduleSet& schedules_;
    int year_;
    std::optional<Date> anchor_;
};
