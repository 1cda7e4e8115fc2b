#include "app/MessageBoxPrompter.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

#include "app/AppStrings.h"
#include "app/DialogParent.h"

namespace {

// A box breaks a long text wherever its narrow default width runs out; its
// lines are kept whole instead, as far as the screen has room.
void WidenForLines(QMessageBox& box, const QString& text) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label == nullptr) {
        return;
    }
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
    }
    const QScreen* screen = box.screen();
    const int room = screen != nullptr ? screen->availableGeometry().width() * 3 / 4 : widest;
    label->setMinimumWidth(std::min(widest + label->fontMetrics().averageCharWidth(), room));
}

}  // namespace

Prompter::Answer MessageBoxPrompter::Ask(const std::string& text, Buttons buttons, Icon icon) {
    QMessageBox box(DialogParent(parent_.data()));
    box.setWindowTitle(appstrings::kApplicationTitle);
    box.setText(QString::fromStdString(text));
    box.setTextFormat(Qt::PlainText);
    WidenForLines(box, QString::fromStdString(text));
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
