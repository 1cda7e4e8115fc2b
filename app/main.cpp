#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <optional>

#include "BuildInfo.h"

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

// --help and --version are answered on the terminal, before a window (or a
// display) is needed. Returns the exit status when the program is done.
std::optional<int> AnswerCommandLine(int argc, char* argv[]) {
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Sets up the memory card of a TUNBOX player."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("card"),
                                 QStringLiteral("The configuration file (TUNBOX.CFG) to open."),
                                 QStringLiteral("[card]"));
    if (!parser.parse(args)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object the text cannot know the program's
        // name; it is the name the program was started by.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QFileInfo(args.first()).fileName());
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %d.%d.%d.%d\n", qPrintable(appstrings::kApplicationTitle),
                    buildinfo::kVersionMajor, buildinfo::kVersionMinor, buildinfo::kVersionRelease,
                    buildinfo::kVersionBuild);
        return 0;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = AnswerCommandLine(argc, argv)) {
        return *status;
    }
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
