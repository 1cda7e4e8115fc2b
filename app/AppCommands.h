#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "app/SaveCommands.h"

class QUndoStack;

// What the main window asks of the application: the document handling of
// the File menu, Undo and Redo of the document's changes, and what the
// window shows of them. The window knows nothing else of the application.
class AppCommands : public SaveCommands {
  public:
    virtual void OnFileNew() = 0;
    virtual void OnFileOpen() = 0;
    // Opens `path`, as chosen or dropped; false when the user cancelled or
    // the file was refused.
    virtual bool OpenDocumentFile(const QString& path) = 0;
    virtual void OnOpenRecentFile(int index) = 0;
    // Before the program ends: offers to save a modified document; false
    // means the user cancelled (or the save failed) and it must not end.
    virtual bool SaveModified() = 0;
    virtual void OnAppAbout() = 0;
    // Edit > Undo and Redo of the document's last change.
    virtual void OnEditUndoRedo(bool redo) = 0;
    // Asks where to write a report as PDF; nothing when the user cancelled.
    virtual std::optional<QString> ChooseReportFile(const QString& suggestedPath) = 0;

    // The window's title for the document as it stands.
    virtual QString FrameTitle() const = 0;
    // The recent files, newest first, as the File menu lists them.
    virtual const QStringList& RecentFileNames() const = 0;
    // The document's changes, for the names of the steps Undo and Redo take.
    virtual QUndoStack& UndoSteps() = 0;
};
