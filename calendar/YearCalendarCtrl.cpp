#include "calendar/YearCalendarCtrl.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QScreen>
#include <algorithm>
#include <utility>

namespace {

constexpr int kMinPointSize = 5;

// Qt counts Monday 1 to Sunday 7; the calendar's interface Sunday 1 to
// Saturday 7.
int FromQtWeekday(int qtDay) {
    return qtDay % 7 + 1;
}

int FontIndex(CYearCalendarCtrl::FontRole role) {
    return static_cast<int>(role);
}

}  // namespace

CYearCalendarCtrl::CYearCalendarCtrl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("yearCalendar"));
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted from one buffer, so nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    background_ = ToColorRef(palette().color(QPalette::Base));
    firstDayOfWeek_ = FromQtWeekday(QLocale().firstDayOfWeek());
    const QDate today = QDate::currentDate();
    firstMonth_ = today.month();
    firstYear_ = std::clamp(today.year(), 100, 9999);
    BuildMonthNames();
    BuildWeekdayInitials();
    SetAllFonts(8);
    months_.resize(1);
    selStart_ = selEnd_ = CalendarDate::FromDays(0);
}

CYearCalendarCtrl::~CYearCalendarCtrl() = default;

void CYearCalendarCtrl::Create(unsigned style) {
    sizeToFit_ = (style & kSizeToFit) != 0;
    if (sizeToFit_) {
        SizeToFit();
    }
}

void CYearCalendarCtrl::BuildMonthNames() {
    const QLocale locale;
    monthNames_.clear();
    for (int m = 1; m <= 12; ++m) {
        monthNames_ << locale.standaloneMonthName(m, QLocale::LongFormat);
    }
}

void CYearCalendarCtrl::BuildWeekdayInitials() {
    const QLocale locale;
    weekdayInitials_.clear();
    for (int k = 0; k < 7; ++k) {
        // Column k's weekday, in Qt's numbering.
        const int qtDay = (firstDayOfWeek_ + k + 5) % 7 + 1;
        const QString name = locale.dayName(qtDay, QLocale::LongFormat);
        const int length = !name.isEmpty() && name.at(0).isHighSurrogate() ? 2 : 1;
        weekdayInitials_ << name.left(length);
    }
}

void CYearCalendarCtrl::SetCurrentDate(const CalendarDate& date) {
    selStart_ = selEnd_ = date.DatePart();
}

void CYearCalendarCtrl::SetSelection(const CalendarDate& from, const CalendarDate& to) {
    if (!from.IsValid() || !to.IsValid()) {
        selStart_ = selEnd_ = {};
        return;
    }
    selStart_ = std::min(from, to).DatePart();
    selEnd_ = std::max(from, to).DatePart();
}

void CYearCalendarCtrl::GetSelection(CalendarDate& start, CalendarDate& end) const {
    start = selStart_;
    end = selEnd_;
}

void CYearCalendarCtrl::SetFirstMonth(int month, int year) {
    if (month >= 1 && month <= 12) {
        firstMonth_ = month;
    }
    if (year >= 100 && year <= 9999 && year != firstYear_) {
        firstYear_ = year;
        // The headers are measured for the years around the first one.
        metricsValid_ = false;
    }
    layoutValid_ = false;
}

void CYearCalendarCtrl::SetGrid(int rows, int columns) {
    if (rows < 1 || rows > 99 || columns < 1 || columns > 99) {
        return;
    }
    rows_ = rows;
    columns_ = columns;
    months_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), {});
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= columns; ++c) {
            MonthCell& month = months_[static_cast<std::size_t>(columns * (r - 1) + (c - 1))];
            month.row = r;
            month.column = c;
        }
    }
    layoutValid_ = false;
    if (sizeToFit_) {
        SizeToFit();
    }
}

void CYearCalendarCtrl::SetFirstDayOfWeek(int weekday) {
    if (weekday < 1 || weekday > 7) {
        return;
    }
    firstDayOfWeek_ = weekday;
    BuildWeekdayInitials();
    layoutValid_ = false;
}

void CYearCalendarCtrl::SetColourCallback(DayColourCallback callback) {
    colourCallback_ = std::move(callback);
}

bool CYearCalendarCtrl::SetCalendarFont(FontRole role, const CalendarFont& wanted) {
    const int i = FontIndex(role);
    if (i < 0 || i >= static_cast<int>(fontChoices_.size()) || wanted.pointSize < 1 ||
        wanted.pointSize > 72 || wanted.face.trimmed().isEmpty()) {
        return false;
    }
    fontChoices_[static_cast<std::size_t>(i)] = wanted;
    fontsValid_ = false;
    metricsValid_ = false;
    layoutValid_ = false;
    return true;
}

const CalendarFont& CYearCalendarCtrl::GetCalendarFont(FontRole role) const {
    const int i = std::clamp(FontIndex(role), 0, static_cast<int>(fontChoices_.size()) - 1);
    return fontChoices_[static_cast<std::size_t>(i)];
}

void CYearCalendarCtrl::SetAllFonts(int pointSize) {
    const ColorRef text = ToColorRef(QApplication::palette().color(QPalette::ButtonText));
    for (FontRole role :
         {FontRole::kHeader, FontRole::kWeekday, FontRole::kDay, FontRole::kSpecialDay}) {
        CalendarFont wanted;
        wanted.face = QStringLiteral("Tahoma");
        wanted.pointSize = pointSize;
        wanted.bold = role == FontRole::kHeader || role == FontRole::kSpecialDay;
        wanted.colour = text;
        SetCalendarFont(role, wanted);
    }
}

void CYearCalendarCtrl::SizeToFit() {
    const QScreen* where = screen();
    const int screenWidth = where != nullptr ? where->geometry().width() : 1024;
    int points = screenWidth < 800 ? 7 : screenWidth < 1024 ? 8 : screenWidth < 1280 ? 10 : 12;
    SetAllFonts(points);

    QSize limit;
    if (const QWidget* parent = parentWidget()) {
        limit = QSize(parent->width() - x(), parent->height() - y());
    } else if (where != nullptr) {
        limit = where->availableGeometry().size();
    } else {
        limit = QSize(1024, 768);
    }
    QSize size = CalcMonthSize();
    while ((size.width() > limit.width() || size.height() > limit.height()) &&
           points > kMinPointSize) {
        SetAllFonts(--points);
        size = CalcMonthSize();
    }
    resize(size);
    updateGeometry();
}

QSize CYearCalendarCtrl::CalcMonthSize() {
    Measure();
    return WholeSize();
}

QSize CYearCalendarCtrl::sizeHint() const {
    EnsureMetrics();
    return WholeSize();
}

QSize CYearCalendarCtrl::WholeSize() const {
    // 6 for the frame.
    return QSize(columns_ * metrics_.cellWidth + 6, rows_ * metrics_.cellHeight + 6);
}

QRect CYearCalendarCtrl::DayRect(const QDate& date) const {
    const DayCell* cell = CellOf(date);
    return cell != nullptr ? cell->rect : QRect();
}

QRect CYearCalendarCtrl::WeekdayRowRect(int month, int year) const {
    const QDate first(year, month, 1);
    if (!IsShown(first)) {
        return {};
    }
    EnsureLayout();
    const int index = (year - firstYear_) * 12 + (month - firstMonth_);
    return months_[static_cast<std::size_t>(index)].weekdayRect;
}

ColorRef CYearCalendarCtrl::AskColour(const CalendarDate& date) const {
    if (!colourCallback_) {
        return 0;
    }
    try {
        return colourCallback_(parentWidget(), date);
    } catch (...) {
        // A host that cannot say leaves the day in its usual colour.
        return 0;
    }
}

// ---------------------------------------------------------------------------
// Picking

void CYearCalendarCtrl::Select(const CalendarDate& start, const CalendarDate& end) {
    selStart_ = start;
    selEnd_ = end;
}

void CYearCalendarCtrl::Report() {
    emit Clicked(selStart_, selEnd_);
}

const CYearCalendarCtrl::MonthCell* CYearCalendarCtrl::WeekdayRowAt(const QPoint& pos) const {
    EnsureLayout();
    for (const MonthCell& month : months_) {
        if (month.weekdayRect.contains(pos)) {
            return &month;
        }
    }
    return nullptr;
}

const CYearCalendarCtrl::DayCell* CYearCalendarCtrl::DayAt(const QPoint& pos) const {
    EnsureLayout();
    for (const MonthCell& month : months_) {
        if (!month.daysRect.contains(pos)) {
            continue;
        }
        for (const DayCell& cell : month.days) {
            if (cell.date.IsValid() && cell.rect.contains(pos)) {
                return &cell;
            }
        }
    }
    return nullptr;
}

const CYearCalendarCtrl::DayCell* CYearCalendarCtrl::ProbeBelowWeekday(const MonthCell& month,
                                                                       int x) const {
    const int y = month.weekdayRect.bottom() + 1 + 10;
    const DayCell* cell = DayAt(QPoint(x, y));
    return cell != nullptr ? cell : DayAt(QPoint(x, y + metrics_.dayHeight));
}

bool CYearCalendarCtrl::SelectWeekdayBelow(const MonthCell& month, int x) {
    const DayCell* cell = ProbeBelowWeekday(month, x);
    if (cell == nullptr) {
        return false;
    }
    const CalendarDate marker = CalendarDate::FromDays(cell->date.Days(), 1);
    Select(marker, marker);
    dragging_ = false;
    return true;
}

void CYearCalendarCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    anchor_ = {};
    keyboardRange_ = false;
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    if (const MonthCell* month = WeekdayRowAt(pos)) {
        selStart_ = selEnd_ = {};
        // With no day below the letter the pick ends here, unreported.
        if (SelectWeekdayBelow(*month, pos.x())) {
            Report();
            update();
        }
        return;
    }
    selStart_ = selEnd_ = {};
    if (const DayCell* cell = DayAt(pos)) {
        Select(cell->date, cell->date);
        anchor_ = cell->date;
        cursor_ = cell->date.Date();
        dragging_ = true;
    } else {
        dragging_ = false;
    }
    update();
}

void CYearCalendarCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const DayCell* cell = DayAt(event->position().toPoint());
    if (cell == nullptr) {
        return;
    }
    if (rangeSelection_ && anchor_.IsValid()) {
        Select(std::min(anchor_, cell->date), std::max(anchor_, cell->date));
    } else {
        Select(cell->date, cell->date);
    }
    cursor_ = cell->date.Date();
    update();
}

void CYearCalendarCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (dragging_) {
        dragging_ = false;
        Report();
    }
    update();
}

void CYearCalendarCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    // The press before it has already picked; this only adds the report.
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (const MonthCell* month = WeekdayRowAt(pos)) {
        if (SelectWeekdayBelow(*month, pos.x())) {
            emit DoubleClicked(selStart_, selEnd_);
            update();
        }
        return;
    }
    if (const DayCell* cell = DayAt(pos)) {
        Select(cell->date, cell->date);
        update();
        emit DoubleClicked(selStart_, selEnd_);
    }
}

// ---------------------------------------------------------------------------
// Keyboard

QDate CYearCalendarCtrl::FirstShownDay() const {
    return QDate(firstYear_, firstMonth_, 1);
}

QDate CYearCalendarCtrl::LastShownDay() const {
    return FirstShownDay().addMonths(rows_ * columns_).addDays(-1);
}

bool CYearCalendarCtrl::IsShown(const QDate& date) const {
    return date.isValid() && date >= FirstShownDay() && date <= LastShownDay();
}

void CYearCalendarCtrl::MoveCursor(const QDate& to, bool stretch) {
    if (!stretch) {
        EndKeyboardRange();
    }
    if (!IsShown(to)) {
        return;
    }
    if (stretch && !keyboardRange_) {
        keyboardRange_ = true;
        anchor_ = CalendarDate::FromDate(cursor_);
    }
    cursor_ = to;
    if (stretch) {
        const CalendarDate day = CalendarDate::FromDate(to);
        if (rangeSelection_) {
            Select(std::min(anchor_, day), std::max(anchor_, day));
        } else {
            Select(day, day);
        }
    }
    update();
}

void CYearCalendarCtrl::EndKeyboardRange() {
    if (keyboardRange_) {
        keyboardRange_ = false;
        Report();
        update();
    }
}

void CYearCalendarCtrl::PlaceCursor() {
    if (!IsShown(cursor_)) {
        const QDate selected = selStart_.Date();
        cursor_ = IsShown(selected) ? selected : FirstShownDay();
    }
}

void CYearCalendarCtrl::keyPressEvent(QKeyEvent* event) {
    PlaceCursor();
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    switch (event->key()) {
        case Qt::Key_Left:
            MoveCursor(cursor_.addDays(-1), shift);
            break;
        case Qt::Key_Right:
            MoveCursor(cursor_.addDays(1), shift);
            break;
        case Qt::Key_Up:
            MoveCursor(cursor_.addDays(-7), shift);
            break;
        case Qt::Key_Down:
            MoveCursor(cursor_.addDays(7), shift);
            break;
        case Qt::Key_PageUp:
            MoveCursor(cursor_.addMonths(-1), shift);
            break;
        case Qt::Key_PageDown:
            MoveCursor(cursor_.addMonths(1), shift);
            break;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            keyboardRange_ = false;
            CalendarDate day = CalendarDate::FromDate(cursor_);
            anchor_ = day;
            if ((event->modifiers() & Qt::ControlModifier) != 0) {
                // The weekday letter's pick: the month's first such weekday.
                const int back = (cursor_.day() - 1) / 7 * 7;
                day = CalendarDate::FromDate(cursor_.addDays(-back), 1);
            }
            Select(day, day);
            Report();
            update();
            break;
        }
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void CYearCalendarCtrl::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Shift && !event->isAutoRepeat()) {
        EndKeyboardRange();
    }
    QWidget::keyReleaseEvent(event);
}

void CYearCalendarCtrl::focusInEvent(QFocusEvent* event) {
    PlaceCursor();
    update();
    QWidget::focusInEvent(event);
}

void CYearCalendarCtrl::focusOutEvent(QFocusEvent* event) {
    // Focus also leaves while the window closes and the host is torn down,
    // so a range still open is reported once the event loop is back, and
    // only if the calendar still exists then.
    if (keyboardRange_) {
        keyboardRange_ = false;
        QMetaObject::invokeMethod(this, &CYearCalendarCtrl::Report, Qt::QueuedConnection);
    }
    update();
    QWidget::focusOutEvent(event);
}

void CYearCalendarCtrl::changeEvent(QEvent* event) {
    // The colours are read at every paint; the background keeps the colour
    // it was built with.
    switch (event->type()) {
        case QEvent::FontChange:
        case QEvent::StyleChange:
        case QEvent::PaletteChange:
        case QEvent::LocaleChange:
            update();
            break;
        default:
            break;
    }
    QWidget::changeEvent(event);
}
