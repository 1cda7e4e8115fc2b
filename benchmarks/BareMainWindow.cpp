// The yardstick for start-up time: a Qt program that shows one empty main
// window. With CARDWRIGHT_STARTUP_PROBE set it prints "shown" at the window's
// first paint and quits, exactly as the program does.

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>

namespace {

class FirstPaintProbe : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!done_ && event->type() == QEvent::Paint && qobject_cast<QMainWindow*>(watched)) {
            done_ = true;
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

  private:
    bool done_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("CARDWRIGHT_STARTUP_PROBE")) {
        app.installEventFilter(new FirstPaintProbe(&app));
    }
    QMainWindow window;
    window.show();
    return QApplication::exec();
}
