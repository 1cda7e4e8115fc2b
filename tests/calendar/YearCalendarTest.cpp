// The year calendar as its user meets it: what it draws where, what a click,
// a drag or a key picks, and what the host is told.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <ostream>
#include <stdexcept>

#include "calendar/YearCalendarCtrl.h"

void PrintTo(const CalendarDate& d, std::ostream* os) {
    *os << (d.IsValid() ? d.Date().toString(Qt::ISODate).toStdString() : "invalid")
        << (d.Seconds() != 0 ? " 00:00:01" : "");
}

namespace {

CalendarDate Day(int month, int day, int seconds = 0) {
    return CalendarDate::FromDate(QDate(2026, month, day), seconds);
}

struct Pick {
    bool doubleClick;
    CalendarDate start, end;
    bool operator==(const Pick&) const = default;
    friend void PrintTo(const Pick& p, std::ostream* os) {
        *os << (p.doubleClick ? "double " : "") << ::testing::PrintToString(p.start) << " to "
            << ::testing::PrintToString(p.end);
    }
};

// The year 2026 in 3 rows of 4 months, Sunday first, as the Schedule page
// sets it up, with every report recorded.
struct Year {
    std::vector<Pick> picks;  // outlives the calendar, which may report as it goes
    QWidget host;
    QLineEdit* before = new QLineEdit(&host);
    CYearCalendarCtrl* cal = new CYearCalendarCtrl(&host);

    Year() {
        cal->SetFirstMonth(1, 2026);
        cal->SetRangeSelection(true);
        cal->SetFirstDayOfWeek(1);
        cal->SetGrid(3, 4);
        auto* layout = new QVBoxLayout(&host);
        layout->addWidget(before);
        layout->addWidget(cal);
        QObject::connect(cal, &CYearCalendarCtrl::Clicked, [this](auto s, auto e) {
            picks.push_back({false, s, e});
        });
        QObject::connect(cal, &CYearCalendarCtrl::DoubleClicked, [this](auto s, auto e) {
            picks.push_back({true, s, e});
        });
    }
    QPoint At(int month, int day) const { return cal->DayRect(QDate(2026, month, day)).center(); }
    std::pair<CalendarDate, CalendarDate> Selection() const {
        CalendarDate s, e;
        cal->GetSelection(s, e);
        return {s, e};
    }
    QImage Look() const { return cal->grab().toImage(); }
};

TEST(YearCalendar, SettersIgnoreWhatIsOutOfRangeAndOrderTheSelection) {
    Year y;
    y.cal->SetFirstMonth(13, 2027);
    EXPECT_EQ(std::make_pair(y.cal->FirstMonth(), y.cal->FirstYear()), std::make_pair(1, 2027));
    y.cal->SetFirstMonth(3, 99);
    EXPECT_EQ(std::make_pair(y.cal->FirstMonth(), y.cal->FirstYear()), std::make_pair(3, 2027));
    y.cal->SetGrid(0, 4);
    y.cal->SetGrid(2, 100);
    // Still twelve months, now from March: the last day shown is a leap day.
    EXPECT_TRUE(y.cal->DayRect(QDate(2028, 2, 29)).isValid());
    EXPECT_FALSE(y.cal->DayRect(QDate(2028, 3, 1)).isValid());
    EXPECT_FALSE(y.cal->DayRect(QDate(2027, 2, 28)).isValid());
    EXPECT_FALSE(y.cal->WeekdayRowRect(13, 2027).isValid());

    y.cal->SetSelection(Day(5, 10), Day(5, 3, 1));
    EXPECT_EQ(y.Selection(), std::make_pair(Day(5, 3), Day(5, 10)));
    y.cal->SetSelection(Day(5, 7), CalendarDate());
    EXPECT_FALSE(y.Selection().first.IsValid() || y.Selection().second.IsValid());
    y.cal->SetCurrentDate(Day(6, 1, 1));
    EXPECT_EQ(y.Selection(), std::make_pair(Day(6, 1), Day(6, 1)));

    CalendarFont font = y.cal->GetCalendarFont(CYearCalendarCtrl::FontRole::kDay);
    font.pointSize = 73;
    EXPECT_FALSE(y.cal->SetCalendarFont(CYearCalendarCtrl::FontRole::kDay, font));
    font.pointSize = 9;
    font.face.clear();
    EXPECT_FALSE(y.cal->SetCalendarFont(CYearCalendarCtrl::FontRole::kDay, font));
    EXPECT_NE(y.cal->GetCalendarFont(CYearCalendarCtrl::FontRole::kDay).pointSize, 9);
}

TEST(YearCalendar, FitsTheParentFromEightPointsOnAnEightHundredPixelScreen) {
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().width(), 800);
    for (const QSize parentSize : {QSize(2000, 2000), QSize(300, 200)}) {
        QWidget parent;
        parent.resize(parentSize);
        CYearCalendarCtrl cal(&parent);
        cal.Create(CYearCalendarCtrl::kSizeToFit);
        cal.SetGrid(3, 4);
        const bool fits = parentSize.width() > 1000;
        EXPECT_EQ(cal.GetCalendarFont(CYearCalendarCtrl::FontRole::kHeader).pointSize,
                  fits ? 8 : 5);
        EXPECT_EQ(cal.size(), cal.sizeHint());
        EXPECT_EQ(cal.width() <= parentSize.width(), fits);
    }
}

TEST(YearCalendar, BlankCellsBeforeASaturdayAreEmptyAndWeekdayLettersPickTheFirstSuchDay) {
    Year y;
    y.host.show();
    const QImage plain = y.Look();
    // August 2026 starts on a Saturday: the six cells before the 1st are blank.
    const QRect first = y.cal->DayRect(QDate(2026, 8, 1));
    const QPoint blank(y.At(8, 2).x(), first.center().y());
    const QColor background = y.cal->palette().color(QPalette::Base);
    for (int x = blank.x(); x < first.left(); ++x) {
        ASSERT_EQ(plain.pixelColor(x, blank.y()), background) << x;
    }
    y.cal->SetSelection(Day(8, 3), Day(8, 3));
    QTest::mouseClick(y.cal, Qt::LeftButton, {}, blank);
    EXPECT_FALSE(y.Selection().first.IsValid());
    EXPECT_TRUE(y.picks.empty());

    // Sunday's letter finds the 2nd in the second week; Saturday's the 1st.
    const int row = y.cal->WeekdayRowRect(8, 2026).center().y();
    QTest::mouseClick(y.cal, Qt::LeftButton, {}, QPoint(blank.x(), row));
    QTest::mouseClick(y.cal, Qt::LeftButton, {}, QPoint(first.center().x(), row));
    EXPECT_EQ(y.picks, (std::vector<Pick>{{false, Day(8, 2, 1), Day(8, 2, 1)},
                                          {false, Day(8, 1, 1), Day(8, 1, 1)}}));
    // A weekday marker never shows as a selected day, a day does.
    EXPECT_EQ(y.Look(), plain);
    QTest::mouseClick(y.cal, Qt::LeftButton, {}, y.At(8, 1));
    EXPECT_NE(y.Look(), plain);

    // The host's colour reaches the day; a host that throws changes nothing.
    y.cal->SetSelection(CalendarDate(), CalendarDate());
    const QImage unselected = y.Look();
    y.cal->SetColourCallback([&y](QWidget* parent, const CalendarDate& d) -> ColorRef {
        EXPECT_EQ(parent, &y.host);
        return d == Day(8, 1) ? MakeColorRef(255, 0, 0) : 0;
    });
    EXPECT_FALSE(y.Look().copy(first).allGray());
    y.cal->SetColourCallback(
        [](QWidget*, const CalendarDate&) -> ColorRef { throw std::runtime_error("no colour"); });
    EXPECT_EQ(y.Look(), unselected);
}

TEST(YearCalendar, DragSpansMonthsAndTurnsAtTheAnchor) {
    Year y;
    y.host.show();
    QTest::mousePress(y.cal, Qt::LeftButton, {}, y.At(1, 30));
    QTest::mouseMove(y.cal, y.At(3, 2));
    EXPECT_EQ(y.Selection(), std::make_pair(Day(1, 30), Day(3, 2)));
    QTest::mouseMove(y.cal, y.At(1, 10));
    EXPECT_EQ(y.Selection(), std::make_pair(Day(1, 10), Day(1, 30)));
    QTest::mouseMove(y.cal, QPoint(2, 2));
    EXPECT_TRUE(y.picks.empty());
    QTest::mouseRelease(y.cal, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(y.cal, Qt::LeftButton, {}, y.At(4, 4));
    QTest::mouseDClick(y.cal, Qt::LeftButton, {}, y.At(4, 4));
    QTest::mouseRelease(y.cal, Qt::LeftButton, {}, y.At(4, 4));
    EXPECT_EQ(y.picks, (std::vector<Pick>{{false, Day(1, 10), Day(1, 30)},
                                          {false, Day(4, 4), Day(4, 4)},
                                          {true, Day(4, 4), Day(4, 4)}}));
}

TEST(YearCalendar, KeyboardMovesACursorAndPicksAsTheMouseWould) {
    Year y;
    y.host.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&y.host));
    y.before->setFocus();
    QTest::keyClick(y.before, Qt::Key_Tab);
    ASSERT_TRUE(y.cal->hasFocus());
    const QImage unfocused = [&] {
        y.before->setFocus();
        return y.Look();
    }();
    y.cal->setFocus();
    EXPECT_NE(y.Look(), unfocused);  // the cursor's frame

    // Nothing is selected in view, so the cursor starts on the first day.
    QTest::keyClick(y.cal, Qt::Key_Up);
    QTest::keyClick(y.cal, Qt::Key_Space);
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_PageDown}) {
        QTest::keyClick(y.cal, key);
    }
    QTest::keyClick(y.cal, Qt::Key_Return);
    QTest::keyClick(y.cal, Qt::Key_Space, Qt::ControlModifier);
    // Shift held down over two moves.
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Down}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ShiftModifier);
        QApplication::sendEvent(y.cal, &press);
    }
    EXPECT_EQ(y.Selection(), std::make_pair(Day(2, 9), Day(2, 17)));
    EXPECT_EQ(y.picks.size(), 3u);
    QTest::keyRelease(y.cal, Qt::Key_Shift);
    EXPECT_EQ(y.picks, (std::vector<Pick>{{false, Day(1, 1), Day(1, 1)},
                                          {false, Day(2, 9), Day(2, 9)},
                                          {false, Day(2, 2, 1), Day(2, 2, 1)},
                                          {false, Day(2, 9), Day(2, 17)}}));
}

}  // namespace
