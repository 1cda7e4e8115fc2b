#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <filesystem>
#include <memory>

#include "app/AppCommands.h"
#include "app/EditHistory.h"
#include "app/MainFrame.h"
#include "app/RecentFileList.h"
#include "model/CardwrightDoc.h"

class BusyIndicator;
class DocumentWindow;
class FileChooser;
class Prompter;

// The application: the one document, the main window, and the document
// handling around them (New, Open, Save, Save As, the question to save a
// modified document, the recent-file list, the files to open at start-up).
// It creates the main window and asks of it only what a DocumentWindow does.
class CCardwrightApp : public QObject, public AppCommands {
    Q_OBJECT

  public:
    CCardwrightApp(Prompter& prompter, FileChooser& files, BusyIndicator* busy = nullptr);
    ~CCardwrightApp() override;

    // Where the program looks for a TUNBOX.CFG of its own at start-up;
    // defaults to the running executable.
    void SetExecutablePath(std::filesystem::path path) { executablePath_ = std::move(path); }

    // Creates the main window and its document: the file named in `args`
    // (the arguments after the program name) or a new one, then the
    // TUNBOX.CFG beside the program if there is one. A named file that is
    // refused has been reported, and the program starts with a new document.
    bool InitInstance(const QStringList& args);

    CCardwrightDoc& Document() { return doc_; }
    CMainFrame* MainFrame() const { return frame_; }
    RecentFileList& RecentFiles() { return recent_; }
    EditHistory& History() { return history_; }

    void OnFileNew() override;
    void OnFileOpen() override;
    // Asks to save a modified document first; false when the user cancels
    // or the file cannot be opened.
    bool OpenDocumentFile(const QString& path) override;
    void OnOpenRecentFile(int index) override;
    // Offers to save a modified document; false means the user cancelled
    // (or the save failed) and what was asked for must not happen.
    bool SaveModified() override;
    void OnAppAbout() override;

    bool SaveDocument(SaveKind kind) override;

    // Edit > Undo and Redo of the document's last change: what the page in
    // front shows is stored first, as the latest change.
    void OnEditUndoRedo(bool redo) override;
    std::optional<QString> ChooseReportFile(const QString& suggestedPath) override;

    // "<file name> (<folder>) - TUNBOX Configuration", the folder cut from
    // the left when long, with "*" before it while the document is modified;
    // a new document shows its title alone.
    QString FrameTitle() const override;
    const QStringList& RecentFileNames() const override { return recent_.Files(); }
    QUndoStack& UndoSteps() override { return history_.Stack(); }

  private:
    // The main window, while there is one.
    DocumentWindow* Window() const;
    void DocumentChanged();
    void RecentFilesChanged();
    bool OpenFile(const QString& path);
    bool DoSave(const QString& path);
    void RefreshView();

    Prompter& prompter_;
    FileChooser& files_;
    CCardwrightDoc doc_;
    RecentFileList recent_;
    EditHistory history_;
    std::filesystem::path executablePath_;
    QPointer<CMainFrame> frame_;
};
