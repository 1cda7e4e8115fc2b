#include "app/DialogParent.h"

#include <QApplication>
#include <QMainWindow>

QWidget* DialogParent(QWidget* given) {
    if (given != nullptr) {
        return given;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(top) != nullptr) {
            return top;
        }
    }
    return nullptr;
}
