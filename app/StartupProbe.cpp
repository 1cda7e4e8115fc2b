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

void InstallStartupProbe() {
    if (qEnvironmentVariableIsSet("CARDWRIGHT_STARTUP_PROBE")) {
        qApp->installEventFilter(new FirstPaintProbe(qApp));
    }
}
