#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <span>
#include <vector>

#include "app/DocumentWindow.h"
#include "app/EditCommands.h"
#include "model/CardConfig.h"
#include "pages/PropertyPage.h"

class AppCommands;
class CCardwrightDoc;
class CCardwrightView;
class Prompter;
class QAction;
class QLabel;
class QMenu;
class QTextDocument;

// The main window: menus, the view with its sheet, and the status bar. It
// may take any size; a page scrolls when the window is smaller than it. The
// document handling its menus start is the application's, reached through
// `commands`.
class CMainFrame : public QMainWindow, public DocumentWindow {
    Q_OBJECT

  public:
    CMainFrame(AppCommands& commands, CCardwrightDoc& doc, Prompter& prompter,
               QWidget* parent = nullptr);

    CCardwrightView* View() const { return view_; }
    // The size and place the window had when it was last closed; the first
    // time, room for the whole sheet within the screen.
    void RestorePlacement();

    // Sets the check mark on the Player Type item of the current model.
    void UpdatePlayerTypeChecks();
    // Enables the Edit items that can act on the focused text field or the
    // document, and names the steps Undo and Redo would take.
    void UpdateEditCommands();
    void UpdateRecentFiles();
    void UpdateLockIndicators();

    QAction* PlayerTypeAction(PlayerModel model) const;

    // File > Check Card: looks the open configuration's card over.
    void OnCheckCard();
    // File > Print Report and File > Export Report as PDF: the card report of
    // the document as it stands.
    void OnPrintReport();
    void OnExportReportPdf();
    // Brings the page to the front, if the sheet shows it.
    void GoToPage(PageId page);

    void ShowNewDocument() override;
    void ShowRestored(std::optional<PageId> page) override;
    bool StoreActivePage() override;
    bool SaveFromActivePage() override;
    void DocumentChanged() override;
    void RecentFilesChanged() override { UpdateRecentFiles(); }
    void BringForward() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void OpenDropped(const QString& file);
    void KeepOnScreen();
    struct MenuItem;
    std::vector<QAction*> AddItems(QMenu* menu, std::span<const MenuItem> items);
    void CreateMenus();
    void CreateFileMenu();
    void CreateEditMenu();
    void CreatePlayerMenus();
    void CreateStatusBar();
    // Undo or Redo: the focused text field's own while it has one, else the
    // document's.
    void OnUndoRedo(editcommands::Command command);
    // "Undo <step>" and "Redo <step>"; with `forFocus`, the plain items when
    // the focused text field would take them.
    void UpdateUndoTexts(bool forFocus);
    // A save that wrote the card offers the card check in the status bar.
    void AfterSave(bool saved);
    QAction* AddAction(QMenu* menu, const QString& text, const QString& prompt);
    // The report's laid-out document, or nothing when the page refused to
    // store its controls or the user cancelled reading the card.
    std::unique_ptr<QTextDocument> MakeReport();

    AppCommands& commands_;
    CCardwrightDoc& doc_;
    CCardwrightView* view_;
    std::vector<std::pair<PlayerModel, QAction*>> playerTypes_;
    QMenu* fileMenu_ = nullptr;
    QAction* recentPlaceholder_ = nullptr;
    std::vector<QAction*> recentActions_;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* cut_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* paste_ = nullptr;
    std::array<QLabel*, 3> lockIndicators_{};
    QObject* watchedWindow_ = nullptr;
};
