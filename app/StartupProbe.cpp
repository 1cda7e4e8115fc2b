#include "app/StartupProbe.h"

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
            // The window's size lets a yardstick window be made as large.
            const QWidget* window = static_cast<QWidget*>(watched);
            std::printf("shown %dx%d\n", window->width(), window->height());
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

  private:
    bool done_ = false;
};

}  // namespace

void InstallStartupProbe() {
    if (qEnvironmentVariableIsSet("CARDWRIGHT_STARTUP_PROBE")) {
        qApp->installEventFilter(new FirstPaintProbe(qApp));
    }
}
