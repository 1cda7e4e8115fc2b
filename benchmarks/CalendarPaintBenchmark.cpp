// One full paint of the year calendar (3 x 4 months at the size it fits
// itself to on the screen) against Qt's own calendar widget painting the
// same twelve months, one widget per month, in cells of the same total size.
// Both are timed in every iteration so they see the same machine load.
//
// Counters: year_calendar_ms and qt_calendars_ms (means per full paint), and
// ratio = year calendar / Qt calendars. Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QImage>
#include <QScreen>
#include <chrono>
#include <memory>
#include <vector>

#include "calendar/YearCalendarCtrl.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsToRender(QWidget& widget, QImage& into) {
    const auto start = Clock::now();
    widget.render(&into);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_YearAgainstTwelveQtCalendars(benchmark::State& state) {
    // The Schedule page's set-up, in a parent the size of the screen.
    QWidget page;
    page.resize(QGuiApplication::primaryScreen()->size());
    CYearCalendarCtrl year(&page);
    year.Create(CYearCalendarCtrl::kSizeToFit);
    year.SetFirstMonth(1, 2026);
    year.SetRangeSelection(true);
    year.SetFirstDayOfWeek(1);
    year.SetGrid(3, 4);
    year.SizeToFit();
    year.SetSelection(CalendarDate::FromDate(QDate(2026, 3, 9)),
                      CalendarDate::FromDate(QDate(2026, 3, 20)));
    QImage yearImage(year.size(), QImage::Format_ARGB32_Premultiplied);

    const QSize cell(year.width() / 4, year.height() / 3);
    std::vector<std::unique_ptr<QCalendarWidget>> months;
    for (int m = 1; m <= 12; ++m) {
        auto widget = std::make_unique<QCalendarWidget>();
        widget->setFirstDayOfWeek(Qt::Sunday);
        widget->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        widget->setCurrentPage(2026, m);
        widget->resize(cell);
        months.push_back(std::move(widget));
    }
    QImage cellImage(cell, QImage::Format_ARGB32_Premultiplied);

    // One untimed paint of each lays out and caches fonts.
    SecondsToRender(year, yearImage);
    for (auto& month : months) {
        SecondsToRender(*month, cellImage);
    }

    double yearTotal = 0;
    double qtTotal = 0;
    for (auto _ : state) {
        const double t = SecondsToRender(year, yearImage);
        yearTotal += t;
        for (auto& month : months) {
            qtTotal += SecondsToRender(*month, cellImage);
        }
        state.SetIterationTime(t);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["year_calendar_ms"] = 1000.0 * yearTotal / runs;
    state.counters["qt_calendars_ms"] = 1000.0 * qtTotal / runs;
    state.counters["ratio"] = yearTotal / qtTotal;
    state.counters["points"] = year.GetCalendarFont(CYearCalendarCtrl::FontRole::kDay).pointSize;
    state.SetLabel(QStringLiteral("%1 x %2 px").arg(year.width()).arg(year.height()).toStdString());
}

}  // namespace

BENCHMARK(BM_YearAgainstTwelveQtCalendars)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
