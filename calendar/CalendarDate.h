#pragma once

#include <QDate>
#include <compare>

// A day on the calendar, counted from 30 December 1899 (day 0), with a time
// of day in seconds and a valid flag. The calendar uses the time of day for
// one thing only: a date at 00:00:01 is a weekday marker, standing for every
// day of its month that falls on its weekday.
class CalendarDate {
  public:
    // An invalid date: nothing.
    CalendarDate() = default;

    // A time of day outside 0 to 86399 seconds counts as 00:00:00.
    static CalendarDate FromDays(int days, int seconds = 0);
    // Invalid when `date` is.
    static CalendarDate FromDate(const QDate& date, int seconds = 0);
    static CalendarDate WeekdayMarker(const QDate& date) { return FromDate(date, 1); }

    bool IsValid() const { return valid_; }
    bool IsWeekdayMarker() const { return valid_ && seconds_ == 1; }
    int Days() const { return days_; }
    int Seconds() const { return seconds_; }
    // The same day at 00:00:00; invalid stays invalid.
    CalendarDate DatePart() const;
    // The day as a QDate; a null QDate when invalid.
    QDate Date() const;

    // Valid dates order by day and then time; an invalid date orders before
    // every valid one and equals only another invalid date.
    friend std::strong_ordering operator<=>(const CalendarDate& a, const CalendarDate& b);
    friend bool operator==(const CalendarDate& a, const CalendarDate& b) {
        return (a <=> b) == std::strong_ordering::equal;
    }

  private:
    int days_ = 0;
    int seconds_ = 0;
    bool valid_ = false;
};
