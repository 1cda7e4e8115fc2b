#include "app/EditCommands.h"

#include <QAbstractSpinBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace editcommands {

namespace {

// The line edit behind a focused line edit, spin box or editable combo box.
QLineEdit* LineEditOf(QWidget* focus) {
    if (auto* edit = qobject_cast<QLineEdit*>(focus)) {
        return edit;
    }
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus)) {
        return spin->findChild<QLineEdit*>();
    }
    if (auto* combo = qobject_cast<QComboBox*>(focus)) {
        return combo->lineEdit();
    }
    return nullptr;
}

bool ClipboardHasText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard != nullptr && !clipboard->text().isEmpty();
}

template <typename TextEdit>
bool CanRunOnText(Command command, TextEdit* edit) {
    const bool writable = !edit->isReadOnly();
    const bool selection = edit->textCursor().hasSelection();
    switch (command) {
        case Command::Undo:
            return writable && edit->document()->isUndoAvailable();
        case Command::Redo:
            return writable && edit->document()->isRedoAvailable();
        case Command::Cut:
            return writable && selection;
        case Command::Copy:
            return selection;
        case Command::Paste:
            return writable && ClipboardHasText();
    }
    return false;
}

// Line edits and both text editors share these four slots.
template <typename TextEdit>
void RunOnText(Command command, TextEdit* edit) {
    switch (command) {
        case Command::Undo:
            edit->undo();
            break;
        case Command::Redo:
            edit->redo();
            break;
        case Command::Cut:
            edit->cut();
            break;
        case Command::Copy:
            edit->copy();
            break;
        case Command::Paste:
            edit->paste();
            break;
    }
}

}  // namespace

bool CanRun(Command command, QWidget* focus) {
    if (QLineEdit* edit = LineEditOf(focus)) {
        const bool writable = !edit->isReadOnly();
        switch (command) {
            case Command::Undo:
                return writable && edit->isUndoAvailable();
            case Command::Redo:
                return writable && edit->isRedoAvailable();
            case Command::Cut:
                return writable && edit->hasSelectedText() && edit->echoMode() == QLineEdit::Normal;
            case Command::Copy:
                return edit->hasSelectedText() && edit->echoMode() == QLineEdit::Normal;
            case Command::Paste:
                return writable && ClipboardHasText();
        }
    }
    if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
        return CanRunOnText(command, text);
    }
    if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        return CanRunOnText(command, text);
    }
    return false;
}

bool Run(Command command, QWidget* focus) {
    if (QLineEdit* edit = LineEditOf(focus)) {
        RunOnText(command, edit);
        return true;
    }
    if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
        RunOnText(command, text);
        return true;
    }
    if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        RunOnText(command, text);
        return true;
    }
    return false;
}

}  // namespace editcommands
