// The print module: the print dialog and printer, which the window loads the
// first time the user prints.

#include <QObject>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

#include "pages/Devices.h"

class PrintModule : public QObject, public ReportPrinter {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID CARDWRIGHT_REPORT_PRINTER_IID)
    Q_INTERFACES(ReportPrinter)

  public:
    bool Print(QTextDocument& document, const QString& title, QWidget* parent) override {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, parent);
        dialog.setWindowTitle(title);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        document.print(&printer);
        return true;
    }
};

#include "PrintModule.moc"
