// The calendar's fonts, measurements, layout and painting.

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "calendar/YearCalendarCtrl.h"

namespace {

enum : std::size_t { kHeader, kWeekday, kDay, kSpecialDay };

constexpr int kTextFlags = Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine | Qt::TextDontClip;

// A rectangle from its left, top, right and bottom edges, right and bottom
// lying just outside it.
QRect Span(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

int WeekdayOf(const QDate& date) {
    return date.dayOfWeek() % 7 + 1;
}

// A raised or sunken edge one pixel wide: top and left in one colour, right
// and bottom in the other.
void Draw3dRect(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p.fillRect(QRect(r.left() + r.width() - 1, r.top(), 1, r.height()), bottomRight);
    p.fillRect(QRect(r.left(), r.top() + r.height() - 1, r.width(), 1), bottomRight);
}

}  // namespace

void CYearCalendarCtrl::EnsureFonts() const {
    if (fontsValid_) {
        return;
    }
    const int dpi = logicalDpiY();
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        const CalendarFont& wanted = fontChoices_[i];
        QFont font(wanted.face);
        font.setPixelSize(std::max(1, qRound(wanted.pointSize * dpi / 72.0)));
        // The face has only a regular and a bold cut, so anything lighter
        // than bold draws regular there; a substitute face asked for a light
        // weight could pick a hairline cut instead.
        font.setWeight(wanted.bold ? QFont::Bold : QFont::Normal);
        font.setItalic(wanted.italic);
        font.setUnderline(wanted.underline);
        font.setStyleStrategy(QFont::PreferQuality);
        fonts_[i] = font;
    }
    fontsValid_ = true;
}

const CYearCalendarCtrl::Metrics& CYearCalendarCtrl::EnsureMetrics() const {
    if (!metricsValid_) {
        Measure();
    }
    return metrics_;
}

void CYearCalendarCtrl::Measure() const {
    EnsureFonts();
    const QFontMetrics dayFont(fonts_[kDay]);
    const QFontMetrics specialFont(fonts_[kSpecialDay]);
    int dayWidth = 0;
    const int dayHeight = std::max(dayFont.height(), specialFont.height());
    for (int d = 1; d <= 31; ++d) {
        const QString text = QString::asprintf("%02d", d);
        dayWidth = std::max(
            {dayWidth, dayFont.horizontalAdvance(text), specialFont.horizontalAdvance(text)});
    }

    const QFontMetrics weekdayFont(fonts_[kWeekday]);
    int weekdayWidth = 0;
    for (const char* letter : {"S", "M", "T", "W", "F"}) {
        weekdayWidth = std::max(weekdayWidth, weekdayFont.horizontalAdvance(QLatin1String(letter)));
    }

    // Wide enough for any year the host may step to nearby.
    const QFontMetrics headerFont(fonts_[kHeader]);
    int headerWidth = 0;
    for (const QString& name : monthNames_) {
        for (int year = firstYear_ - 10; year <= firstYear_ + 10; ++year) {
            headerWidth = std::max(
                headerWidth, headerFont.horizontalAdvance(name + u' ' + QString::number(year)));
        }
    }

    Metrics& m = metrics_;
    m.dayColumnWidth = std::max(dayWidth, weekdayWidth);
    m.dayHeight = dayHeight;
    m.weekdayHeight = weekdayFont.height();
    m.headerHeight = headerFont.height() + 6;
    m.cellWidth = std::max({headerWidth + 30, 7 * weekdayWidth + 60, 7 * dayWidth + 60});
    m.cellHeight = m.headerHeight + m.weekdayHeight + 6 * m.dayHeight + 24;
    metricsValid_ = true;
    layoutValid_ = false;
}

void CYearCalendarCtrl::EnsureLayout() const {
    if (layoutValid_ && metricsValid_) {
        return;
    }
    const Metrics& m = EnsureMetrics();
    const QDate first(firstYear_, firstMonth_, 1);
    for (std::size_t i = 0; i < months_.size(); ++i) {
        MonthCell& month = months_[i];
        month.first = first.addMonths(static_cast<int>(i));
        LayoutMonth(month, 4 + (month.column - 1) * m.cellWidth,
                    4 + (month.row - 1) * m.cellHeight);
    }
    layoutValid_ = true;
}

void CYearCalendarCtrl::LayoutMonth(MonthCell& month, int left, int top) const {
    const Metrics& m = metrics_;
    const int gridWidth = 7 * m.dayColumnWidth + 30;
    const int x0 = left + m.cellWidth / 2 - gridWidth / 2;
    const int x1 = left + m.cellWidth / 2 + gridWidth / 2;
    const int weekdayTop = top + m.headerHeight;
    const int daysTop = weekdayTop + m.weekdayHeight + 4;
    month.weekdayRect = Span(x0 + 3, weekdayTop, x1 + 3, weekdayTop + m.weekdayHeight);
    month.daysRect = Span(x0, daysTop, x1, daysTop + 6 * (m.dayHeight + 2));

    // Only the month's own days get a cell that can be hit.
    month.leadingBlanks = (WeekdayOf(month.first) - firstDayOfWeek_ + 7) % 7;
    const int length = month.first.daysInMonth();
    for (int i = 0; i < static_cast<int>(month.days.size()); ++i) {
        DayCell& cell = month.days[static_cast<std::size_t>(i)];
        const int day = i - month.leadingBlanks + 1;
        if (day < 1 || day > length) {
            cell = {};
            continue;
        }
        const int x = x0 + (i % 7) * (m.dayColumnWidth + 5);
        const int y = daysTop + (i / 7) * (m.dayHeight + 2);
        cell.rect = Span(x - 3, y, x + m.dayColumnWidth + 2, y + m.dayHeight + 2);
        cell.date = CalendarDate::FromDate(month.first.addDays(day - 1));
    }
}

const CYearCalendarCtrl::DayCell* CYearCalendarCtrl::CellOf(const QDate& date) const {
    if (!IsShown(date)) {
        return nullptr;
    }
    EnsureLayout();
    const int index = (date.year() - firstYear_) * 12 + (date.month() - firstMonth_);
    const MonthCell& month = months_[static_cast<std::size_t>(index)];
    return &month.days[static_cast<std::size_t>(month.leadingBlanks + date.day() - 1)];
}

void CYearCalendarCtrl::paintEvent(QPaintEvent* event) {
    const QRect area = event->rect();
    QPainter screen(this);
    const int device = screen.device()->devType();
    if (device != QInternal::Printer && device != QInternal::Picture) {
        // Drawn whole off screen and shown in one copy, so a drag that
        // repaints on every move never shows a half-drawn grid.
        const qreal ratio = devicePixelRatioF();
        QPixmap buffer(area.size() * ratio);
        if (!buffer.isNull()) {
            buffer.setDevicePixelRatio(ratio);
            QPainter p(&buffer);
            p.translate(-area.topLeft());
            Paint(p, area);
            p.end();
            screen.drawPixmap(area.topLeft(), buffer);
            return;
        }
    }
    Paint(screen, area);
}

void CYearCalendarCtrl::Paint(QPainter& p, const QRect& area) const {
    EnsureLayout();
    p.fillRect(area, ToQColor(background_));
    PaintFrame(p);
    const Metrics& m = metrics_;
    for (const MonthCell& month : months_) {
        const int left = 4 + (month.column - 1) * m.cellWidth;
        const int top = 4 + (month.row - 1) * m.cellHeight;
        if (area.intersects(QRect(left, top, m.cellWidth, m.cellHeight))) {
            PaintMonth(p, month, left, top);
        }
    }
    if (hasFocus()) {
        PaintCursor(p);
    }
}

void CYearCalendarCtrl::PaintFrame(QPainter& p) const {
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor text = pal.color(QPalette::ButtonText);
    const QColor window = pal.color(QPalette::Base);
    const QColor shadow = pal.color(QPalette::Dark);
    QRect r = rect();
    Draw3dRect(p, r, face, text);
    r.adjust(1, 1, -1, -1);
    Draw3dRect(p, r, window, shadow);
    r.adjust(1, 1, -1, -1);
    Draw3dRect(p, r, face, face);
    r.adjust(1, 1, -1, -1);
    Draw3dRect(p, r, shadow, window);
}

void CYearCalendarCtrl::PaintMonth(QPainter& p, const MonthCell& month, int left, int top) const {
    const Metrics& m = metrics_;
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor shadow = pal.color(QPalette::Dark);

    const QRect header(left, top, m.cellWidth - 1, m.headerHeight);
    p.fillRect(header, face);
    Draw3dRect(p, header, pal.color(QPalette::Base), shadow);
    p.setFont(fonts_[kHeader]);
    p.setPen(ToQColor(fontChoices_[kHeader].colour));
    const QString title =
        monthNames_.value(month.first.month() - 1) + u' ' + QString::number(month.first.year());
    p.drawText(Span(left + 1, top + 1, left + m.cellWidth - 10, top + m.headerHeight - 2),
               Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, title);

    // The weekday letters, each in the colour the host gives that weekday
    // of this month.
    const int x0 = month.daysRect.left();
    const int step = m.dayColumnWidth + 5;
    const int y = top + m.headerHeight;
    for (int k = 0; k < 7; ++k) {
        const int x = x0 + k * step;
        const int weekday = (firstDayOfWeek_ - 1 + k) % 7 + 1;
        const QDate firstSuch = month.first.addDays((weekday - WeekdayOf(month.first) + 7) % 7);
        const ColorRef colour = AskColour(CalendarDate::WeekdayMarker(firstSuch));
        p.setFont(fonts_[colour != 0 ? kSpecialDay : kWeekday]);
        p.setPen(ToQColor(colour != 0 ? colour : fontChoices_[kWeekday].colour));
        p.drawText(Span(x, y + 1, x + m.dayColumnWidth, y + m.weekdayHeight + 2), kTextFlags,
                   weekdayInitials_.value(k));
    }
    p.fillRect(
        Span(x0, y + m.weekdayHeight + 3, month.daysRect.right() + 1, y + m.weekdayHeight + 4),
        shadow);

    const bool anySelected = selStart_.IsValid() && selEnd_.IsValid();
    const QColor selectedText = ToQColor(background_);
    for (const DayCell& cell : month.days) {
        if (!cell.date.IsValid()) {
            continue;
        }
        const int x = cell.rect.left() + 3;
        const int dayY = cell.rect.top();
        QColor text = ToQColor(fontChoices_[kDay].colour);
        std::size_t font = kDay;
        if (anySelected && selStart_ <= cell.date && cell.date <= selEnd_) {
            p.fillRect(QRect(x - 3, dayY, m.dayColumnWidth + 5, m.dayHeight + 3), face);
            text = selectedText;
        }
        if (const ColorRef colour = AskColour(cell.date); colour != 0) {
            text = ToQColor(colour);
            font = kSpecialDay;
        }
        p.setFont(fonts_[font]);
        p.setPen(text);
        p.drawText(Span(x, dayY, x + m.dayColumnWidth, dayY + m.dayHeight), kTextFlags,
                   QString::number(cell.date.Date().day()));
    }
}

void CYearCalendarCtrl::PaintCursor(QPainter& p) const {
    const DayCell* cell = CellOf(cursor_);
    if (cell == nullptr) {
        return;
    }
    p.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(cell->rect.adjusted(0, 0, -1, -1));
}
