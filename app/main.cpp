#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "app/AppIcon.h"
#include "app/AppStrings.h"
#include "app/CardwrightApp.h"
#include "app/FileChooser.h"
#include "app/MessageBoxPrompter.h"
#include "app/StartupProbe.h"

namespace {

// No exception may unwind through Qt's event loop: report it and carry on
// with the document as it stands.
class CardwrightApplication : public QApplication {
  public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(activeWindow(), appstrings::kApplicationTitle,
                                  QStringLiteral("The operation could not be completed:\n%1")
                                      .arg(QString::fromLocal8Bit(e.what())));
        } catch (...) {
            QMessageBox::critical(activeWindow(), appstrings::kApplicationTitle,
                                  QStringLiteral("The operation could not be completed."));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    CardwrightApplication qapp(argc, argv);
    QApplication::setApplicationName(appstrings::kSettingsApplication);
    QApplication::setOrganizationName(appstrings::kSettingsOrganisation);
    QApplication::setWindowIcon(AppIcon());
    InstallStartupProbe();

    MessageBoxPrompter prompter;
    OverrideCursorBusy busy;
    DialogFileChooser files;
    CCardwrightApp app(prompter, files, &busy);
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (!app.InitInstance(args)) {
        return 1;
    }
    return QApplication::exec();
}
