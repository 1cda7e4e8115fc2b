// The yardstick for start-up time: a Qt program that shows one empty main
// window. It carries the program's own first-paint probe (compiled in, not
// linked from the program's library) so both are timed to the same event.

#include <QApplication>
#include <QMainWindow>

#include "app/StartupProbe.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstallStartupProbe();
    QMainWindow window;
    window.show();
    return QApplication::exec();
}
