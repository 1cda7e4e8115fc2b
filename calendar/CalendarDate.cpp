#include "calendar/CalendarDate.h"

#include <climits>

namespace {

constexpr int kSecondsPerDay = 24 * 60 * 60;

qint64 EpochJulianDay() {
    static const qint64 epoch = QDate(1899, 12, 30).toJulianDay();
    return epoch;
}

}  // namespace

CalendarDate CalendarDate::FromDays(int days, int seconds) {
    CalendarDate d;
    d.days_ = days;
    d.seconds_ = seconds < 0 || seconds >= kSecondsPerDay ? 0 : seconds;
    d.valid_ = true;
    return d;
}

CalendarDate CalendarDate::FromDate(const QDate& date, int seconds) {
    if (!date.isValid()) {
        return {};
    }
    const qint64 days = date.toJulianDay() - EpochJulianDay();
    if (days < INT_MIN || days > INT_MAX) {
        return {};
    }
    return FromDays(static_cast<int>(days), seconds);
}

CalendarDate CalendarDate::DatePart() const {
    return valid_ ? FromDays(days_) : CalendarDate{};
}

QDate CalendarDate::Date() const {
    return valid_ ? QDate::fromJulianDay(EpochJulianDay() + days_) : QDate{};
}

std::strong_ordering operator<=>(const CalendarDate& a, const CalendarDate& b) {
    if (a.valid_ != b.valid_) {
        return a.valid_ ? std::strong_ordering::greater : std::strong_ordering::less;
    }
    if (!a.valid_) {
        return std::strong_ordering::equal;
    }
    if (a.days_ != b.days_) {
        return a.days_ <=> b.days_;
    }
    return a.seconds_ <=> b.seconds_;
}
