// The yardsticks for start-up time: a Qt program that shows one empty main
// window, or with the argument "text" one that also shows a menu, a status
// line and a label, so that it loads the fonts as any window with words must.
// An argument WxH makes the window that large, so that it paints as many
// pixels as the window it is measured against. It carries the program's own
// first-paint probe (compiled in, not linked from the program's library) so
// all are timed to the same event.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

#include "app/StartupProbe.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstallStartupProbe();
    QMainWindow window;
    if (QApplication::arguments().contains(QStringLiteral("text"))) {
        window.menuBar()->addMenu(QStringLiteral("&File"));
        window.setCentralWidget(new QLabel(QStringLiteral("Ready")));
        window.statusBar()->showMessage(QStringLiteral("Ready"));
    }
    for (const QString& arg : QApplication::arguments()) {
        const QStringList size = arg.split(QLatin1Char('x'));
        if (size.size() == 2 && size[0].toInt() > 0 && size[1].toInt() > 0) {
            window.resize(size[0].toInt(), size[1].toInt());
        }
    }
    window.show();
    return QApplication::exec();
}
