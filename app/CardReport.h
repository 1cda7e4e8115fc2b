#pragma once

#include <QImage>
#include <QString>
#include <memory>
#include <optional>

#include "doctor/Report.h"

class CCardwrightDoc;
class QTextDocument;
class QWidget;

// The card report in the window: the same document the command line writes,
// of the document as it stands (unsaved changes included), laid out by
// QTextDocument with a picture of each schedule's days drawn by the year
// calendar itself, for printing or for a PDF.
namespace cardreport {

// What the report says of `doc`: its settings, schedule names and modified
// flag over what the card on disk gives (long names, lengths, the check's
// findings). The card is read and checked off the window's thread while a
// progress dialog over `parent` offers to cancel; nothing when the user
// cancelled.
std::optional<doctor::ReportContent> Gather(CCardwrightDoc& doc, QWidget* parent);

// The year calendar of `year` with the days and weekdays that run schedule
// n picked out in red, as the calendar control paints itself.
QImage CalendarPicture(const ScheduleSet& schedules, int schedule, int year);

// The report laid out, each schedule's calendar picture among its resources.
std::unique_ptr<QTextDocument> MakeDocument(const doctor::ReportContent& content, int year);

// Writes the laid-out report as a PDF of A4 pages; false, with nothing
// promised about the file, when it cannot be written.
bool WritePdf(QTextDocument& document, const QString& file);

// Asks for a printer and prints on it; false when the user cancelled, or
// with the reason in `error` when printing is not available.
bool Print(QTextDocument& document, QWidget* parent, QString& error);

}  // namespace cardreport
