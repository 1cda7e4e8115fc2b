#include "app/CardReport.h"

#include <QEventLoop>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QProgressDialog>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <atomic>

#include "calendar/YearCalendarCtrl.h"
#include "model/CardwrightDoc.h"
#include "pages/Devices.h"

namespace cardreport {

namespace {

constexpr ColorRef kRunsColour = 255;  // bright red, as the Schedule page marks a pick
// The calendar is drawn at twice its size so the picture stays sharp on paper.
constexpr int kPictureScale = 2;
// The widest the picture may be in the report's layout, in points: the text
// width of an A4 page with its margins, and some room to spare.
constexpr qreal kPictureWidth = 460;

// Reads and checks the card off the window's thread; nothing when the user
// cancelled.
std::optional<Result<doctor::ReportContent>> ReadCard(const std::filesystem::path& card, bool check,
                                                      QWidget* parent) {
    QProgressDialog progress(QStringLiteral("Reading the card for the report..."),
                             QStringLiteral("Cancel"), 0, 0, parent);
    progress.setObjectName(QStringLiteral("reportProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.reset();  // shown only if the card takes a while
    std::atomic<bool> cancel{false};
    doctor::GatherOptions options;
    options.check = check;
    options.checkOptions.cancel = &cancel;
    options.checkOptions.progress = [&progress](int done, int total, const std::string& file) {
        const QString name = QString::fromStdString(file);
        // Queued to the dialog, and dropped should it have gone by then.
        QMetaObject::invokeMethod(
            &progress,
            [&progress, done, total, name] {
                progress.setMaximum(total);
                progress.setValue(done);
                progress.setLabelText(QStringLiteral("Reading %1").arg(name));
            },
            Qt::QueuedConnection);
    };
    std::optional<Result<doctor::ReportContent>> result;
    QThread* thread =
        QThread::create([&result, card, options] { result = doctor::GatherReport(card, options); });
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&cancel] { cancel = true; });
    QTimer::singleShot(400, &progress, [&progress] {
        if (!progress.wasCanceled()) {
            progress.show();
        }
    });
    thread->start();
    loop.exec();
    thread->wait();
    delete thread;
    if (cancel) {
        return std::nullopt;
    }
    return result;
}

}  // namespace

std::optional<doctor::ReportContent> Gather(CCardwrightDoc& doc, QWidget* parent) {
    const bool onCard = !doc.GetPathName().empty();
    auto read = ReadCard(onCard ? doc.GetPathName() : doc.CardDirectory(), onCard, parent);
    if (!read) {
        return std::nullopt;
    }
    doctor::ReportContent r;
    if (*read) {
        r = std::move(read->value());
    } else {
        r.cardFolder = doc.CardDirectory().string();
        r.checkNote = "The card could not be read: " + read->error().Message() + ".";
    }
    // The settings are the document's, saved or not.
    r.config = *doc.GetConfig();
    r.schedules = doc.Schedules();
    r.scheduleNames = doc.ScheduleNames();
    r.unsavedChanges = doc.IsModified();
    if (!onCard) {
        r.checkNote =
            "The card was not checked: the configuration has not been saved onto a "
            "card yet.";
    } else if (r.unsavedChanges && r.checked) {
        r.checkNote =
            "The check looked at the card as it was last saved, without the unsaved "
            "changes.";
    }
    return r;
}

QImage CalendarPicture(const ScheduleSet& schedules, int schedule, int year) {
    CYearCalendarCtrl calendar;
    calendar.Create(0);
    calendar.SetGrid(3, 4);
    calendar.SetFirstMonth(1, year);
    calendar.SetFirstDayOfWeek(1);  // Sunday, as on the Schedule page
    calendar.SetColourCallback([&schedules, schedule](QWidget*, const CalendarDate& date) {
        const QDate day = date.Date();
        if (!day.isValid()) {
            return ColorRef{0};
        }
        const int month = day.month() - 1;
        const int value = date.IsWeekdayMarker()
                              ? schedules.WeekdaySchedule(month, day.dayOfWeek() % 7)
                              : schedules.DaySchedule(month, day.day() - 1);
        return value == schedule ? kRunsColour : ColorRef{0};
    });
    calendar.resize(calendar.sizeHint());
    QImage image(calendar.size() * kPictureScale, QImage::Format_RGB32);
    image.setDevicePixelRatio(kPictureScale);
    image.fill(Qt::white);
    calendar.render(&image);
    // Narrower than the printed page's text, whatever the fonts made of it.
    image.setDevicePixelRatio(std::max<qreal>(kPictureScale, image.width() / kPictureWidth));
    return image;
}

std::unique_ptr<QTextDocument> MakeDocument(const doctor::ReportContent& content, int year) {
    auto document = std::make_unique<QTextDocument>();
    QTextDocument* target = document.get();
    const auto picture = [target, &content, year](int schedule) {
        const QString name = QStringLiteral("calendar-%1.png").arg(schedule);
        target->addResource(QTextDocument::ImageResource, QUrl(name),
                            CalendarPicture(content.schedules, schedule, year));
        return name.toStdString();
    };
    document->setHtml(
        QString::fromStdString(doctor::RenderReport(content, doctor::ReportFormat::Html, picture)));
    return document;
}

bool WritePdf(QTextDocument& document, const QString& file) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    {
        QPdfWriter writer(&out);
        writer.setTitle(QStringLiteral("Card report"));
        writer.setCreator(QStringLiteral("Cardwright"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        document.print(&writer);
    }
    out.close();
    return out.error() == QFileDevice::NoError;
}

bool Print(QTextDocument& document, QWidget* parent, QString& error) {
    ReportPrinter* printer = devices::Printer(error);
    return printer != nullptr && printer->Print(document, QStringLiteral("Print Report"), parent);
}

}  // namespace cardreport
