#include "app/MessageBoxPrompter.h"

#include <QApplication>
#include <QMessageBox>

#include "app/AppStrings.h"
#include "app/DialogParent.h"

Prompter::Answer MessageBoxPrompter::Ask(const std::string& text, Buttons buttons, Icon icon) {
    QMessageBox box(DialogParent(parent_.data()));
    box.setWindowTitle(appstrings::kApplicationTitle);
    box.setText(QString::fromStdString(text));
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
        case Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    // A busy cursor from the operation that asks must not hide the pointer
    // while the user answers.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    const int result = box.exec();
    if (busy) {
        QApplication::restoreOverrideCursor();
    }
    switch (result) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

void OverrideCursorBusy::Begin() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void OverrideCursorBusy::End() {
    QApplication::restoreOverrideCursor();
}
