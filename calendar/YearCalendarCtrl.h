#pragma once

#include <QFont>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "calendar/CalendarDate.h"
#include "calendar/ColorRef.h"

// How one of the calendar's four kinds of text is drawn. A point size outside
// 1 to 72 or a face without a name is refused.
struct CalendarFont {
    QString face;
    int pointSize = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    ColorRef colour = 0;
};

// Asked, while the calendar paints, for the colour of a day (at 00:00:00) or
// of a weekday header (its weekday marker); 0 draws it as usual. Gets the
// calendar's parent widget. An exception thrown out of it counts as 0.
using DayColourCallback = std::function<ColorRef(QWidget* parent, const CalendarDate& date)>;

// A grid of whole months on which the user picks a day, a range of days (by
// dragging, across months too) or a weekday of a month (by clicking its
// letter above the month). It has no navigation of its own: the host sets the
// months shown, and after each pick reads the picked range from the signal or
// from GetSelection(). The host keeps whatever set of days it builds from the
// picks and shows it through the colour callback.
//
// The setters change what is shown without repainting; the host calls
// update() when it is done.
//
// Keyboard: the arrows move a day cursor (shown as a focus frame), Page Up
// and Page Down move it by a month, Space or Enter picks the cursor's day as
// a click would, Ctrl+Space or Ctrl+Enter picks its weekday as a click on the
// weekday letter would, and Shift with the movement keys stretches a range
// from where the cursor stood, reported when Shift is let go.
class CYearCalendarCtrl : public QWidget {
    Q_OBJECT

  public:
    // Style bits for Create().
    enum Style : unsigned {
        // Shrink the fonts until the grid fits the parent, now and whenever
        // the grid changes.
        kSizeToFit = 0x0400,
    };
    enum class FontRole { kHeader, kWeekday, kDay, kSpecialDay };

    explicit CYearCalendarCtrl(QWidget* parent = nullptr);
    ~CYearCalendarCtrl() override;

    // Takes the style bits; with kSizeToFit the control fits itself at once.
    void Create(unsigned style);

    // A valid date selects its day; an invalid one selects nothing.
    void SetCurrentDate(const CalendarDate& date);
    // The days from the earlier to the later (times of day dropped); nothing
    // when either is invalid.
    void SetSelection(const CalendarDate& from, const CalendarDate& to);
    // Both valid, or both invalid when nothing is selected. A weekday pick
    // gives the same weekday marker at both ends.
    void GetSelection(CalendarDate& start, CalendarDate& end) const;

    // The month in the top-left cell. A month outside 1 to 12 and a year
    // outside 100 to 9999 are each ignored on their own.
    void SetFirstMonth(int month, int year);
    // Months run left to right, then top to bottom. Ignored unless both are
    // 1 to 99.
    void SetGrid(int rows, int columns);
    // 1 (Sunday) to 7 (Saturday); anything else is ignored.
    void SetFirstDayOfWeek(int weekday);
    void SetColourCallback(DayColourCallback callback);
    // Whether a drag selects the range from where it started (the usual way)
    // or only the day under the pointer. Off until the host switches it on.
    void SetRangeSelection(bool on) { rangeSelection_ = on; }

    // False, and nothing changes, when `wanted` is refused.
    bool SetCalendarFont(FontRole role, const CalendarFont& wanted);
    const CalendarFont& GetCalendarFont(FontRole role) const;

    // Sizes the fonts to the screen, then shrinks them a point at a time
    // (never below 5 points) until the grid fits between the control's
    // top-left corner and the parent's far edges, and takes that size.
    void SizeToFit();
    // Measures the months in the current fonts; returns the size of the
    // whole control, frame included.
    QSize CalcMonthSize();

    int FirstMonth() const { return firstMonth_; }
    int FirstYear() const { return firstYear_; }
    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    int FirstDayOfWeek() const { return firstDayOfWeek_; }
    // Month names and weekday initials as drawn (the initials in column order).
    const QStringList& MonthNames() const { return monthNames_; }
    const QStringList& WeekdayInitials() const { return weekdayInitials_; }

    // Where a shown day can be clicked; empty when the day is not shown.
    QRect DayRect(const QDate& date) const;
    // Where the weekday letters of a shown month can be clicked; empty when
    // the month is not shown.
    QRect WeekdayRowRect(int month, int year) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  signals:
    // After each pick, carrying the selection as GetSelection() gives it.
    void Clicked(CalendarDate start, CalendarDate end);
    // After a double-click on a day or a weekday letter; the click before it
    // was reported as Clicked.
    void DoubleClicked(CalendarDate start, CalendarDate end);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // A day as drawn: where it can be hit. An empty rectangle and an
    // invalid date for a cell that shows no day.
    struct DayCell {
        QRect rect;
        CalendarDate date;
    };
    // One month of the grid, row and column counted from 1.
    struct MonthCell {
        int row = 1;
        int column = 1;
        QDate first;  // the month's first day
        int leadingBlanks = 0;
        QRect weekdayRect;
        QRect daysRect;
        std::array<DayCell, 42> days;  // 6 weeks of 7 days
    };
    // The measurements the grid is laid out from, in pixels.
    struct Metrics {
        int dayColumnWidth = 0;
        int dayHeight = 0;
        int weekdayHeight = 0;
        int headerHeight = 0;
        int cellWidth = 0;
        int cellHeight = 0;
    };

    void BuildMonthNames();
    void BuildWeekdayInitials();
    void SetAllFonts(int pointSize);
    void EnsureFonts() const;
    const Metrics& EnsureMetrics() const;
    void Measure() const;
    void EnsureLayout() const;
    void LayoutMonth(MonthCell& month, int left, int top) const;
    QSize WholeSize() const;

    void Paint(QPainter& p, const QRect& area) const;
    void PaintFrame(QPainter& p) const;
    void PaintMonth(QPainter& p, const MonthCell& month, int left, int top) const;
    void PaintCursor(QPainter& p) const;
    ColorRef AskColour(const CalendarDate& date) const;

    const MonthCell* WeekdayRowAt(const QPoint& pos) const;
    const DayCell* DayAt(const QPoint& pos) const;
    const DayCell* CellOf(const QDate& date) const;
    // The day below a weekday letter at `x`: in the first week row, or in
    // the second where the first is blank there.
    const DayCell* ProbeBelowWeekday(const MonthCell& month, int x) const;
    // Selects the weekday marker of that day; false when there is none.
    bool SelectWeekdayBelow(const MonthCell& month, int x);

    QDate FirstShownDay() const;
    QDate LastShownDay() const;
    bool IsShown(const QDate& date) const;
    // On the selected day when it is shown, else on the first day shown,
    // unless the cursor already stands on a shown day.
    void PlaceCursor();
    void MoveCursor(const QDate& to, bool stretch);
    void EndKeyboardRange();
    void Select(const CalendarDate& start, const CalendarDate& end);
    void Report();

    int firstMonth_ = 1;
    int firstYear_ = 2000;
    int rows_ = 1;
    int columns_ = 1;
    int firstDayOfWeek_ = 1;
    QStringList monthNames_;
    QStringList weekdayInitials_;
    std::array<CalendarFont, 4> fontChoices_{};
    bool sizeToFit_ = false;
    bool rangeSelection_ = false;
    ColorRef background_ = 0;
    DayColourCallback colourCallback_;

    CalendarDate selStart_;
    CalendarDate selEnd_;
    CalendarDate anchor_;
    bool dragging_ = false;
    QDate cursor_;
    bool keyboardRange_ = false;

    // Caches, rebuilt when what they are measured from changes.
    mutable std::array<QFont, 4> fonts_;
    mutable bool fontsValid_ = false;
    mutable Metrics metrics_;
    mutable bool metricsValid_ = false;
    mutable std::vector<MonthCell> months_;
    mutable bool layoutValid_ = false;
};
