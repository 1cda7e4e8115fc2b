#include "app/MainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QUndoStack>
#include <QWindow>

#include "app/AppCommands.h"
#include "app/AppIcon.h"
#include "app/AppStrings.h"
#include "app/CardReport.h"
#include "app/CardwrightView.h"
#include "app/CheckCardDialog.h"
#include "app/EditCommands.h"
#include "app/KeyboardLocks.h"
#include "app/MyPropertySheet.h"
#include "model/BlinkCodes.h"

namespace {

// Where the window's size and place are kept between runs.
const QString kPlacementKey = QStringLiteral("MainFrame/Placement");

QString FirstLocalFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls()) {
        return {};
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return {};
}

struct PlayerTypeItem {
    PlayerModel model;
    const char* text;
    const char* prompt;
    const char* objectName;
};

// Menu order. Only the two audio-only players and TUNBOX/A8 have a prompt.
constexpr PlayerTypeItem kPlayerTypes[] = {
    {PlayerModel::Tunlet, "TUNLET\tAudio Only", "Setup info for Audio-only player with 2 inputs",
     "playerTypeTunlet"},
    {PlayerModel::Tunbox, "TUNBOX\tAudio Only", "Setup info for Audio-only player with 8 inputs",
     "playerTypeTunbox"},
    {PlayerModel::TunboxA8, "TUNBOX/A8\tAudio and A&nimation",
     "Setup windows for player with Animation", "playerTypeA8"},
    {PlayerModel::TunboxA40, "TUNBOX/A40\tAudio and Animation", "", "playerTypeA40"},
    {PlayerModel::TunboxC8, "TUNBOX/C8\tAudio, Animation, Clock", "", "playerTypeC8"},
    {PlayerModel::TunboxC40, "TUNBOX/C40\tAudio, Animation, Clock", "", "playerTypeC40"},
};

}  // namespace

CMainFrame::CMainFrame(AppCommands& commands, CCardwrightDoc& doc, Prompter& prompter,
                       QWidget* parent)
    : QMainWindow(parent),
      commands_(commands),
      doc_(doc),
      view_(new CCardwrightView(doc, commands, prompter, this)) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(AppIcon());
    setAcceptDrops(true);
    setCentralWidget(view_);
    CreateMenus();
    CreateStatusBar();

    // Sees the undo keys before the focused field does, and this window's
    // own events.
    qApp->installEventFilter(this);
    DocumentChanged();
}

void CMainFrame::AfterSave(bool saved) {
    if (saved) {
        statusBar()->showMessage(
            QStringLiteral("Saved. File > Check Card (Ctrl+K) looks the card over as the player "
                           "will read it."),
            10000);
    }
}

void CMainFrame::OnCheckCard() {
    if (doc_.GetPathName().empty()) {
        doc_.GetPrompter().Tell(
            "There is no card to check yet: save the configuration onto a card first.");
        return;
    }
    CheckCardDialog dialog(doc_.GetPathName(), doc_.IsModified(), this);
    connect(&dialog, &CheckCardDialog::GoToPage, this, &CMainFrame::GoToPage);
    dialog.exec();
}

std::unique_ptr<QTextDocument> CMainFrame::MakeReport() {
    if (!StoreActivePage()) {
        return nullptr;
    }
    const std::optional<doctor::ReportContent> content = cardreport::Gather(doc_, this);
    if (!content) {
        return nullptr;
    }
    return cardreport::MakeDocument(*content, QDate::currentDate().year());
}

void CMainFrame::OnPrintReport() {
    if (const auto report = MakeReport()) {
        QString error;
        if (!cardreport::Print(*report, this, error) && !error.isEmpty()) {
            doc_.GetPrompter().Tell(error.toStdString(), Prompter::Icon::Warning);
        }
    }
}

void CMainFrame::OnExportReportPdf() {
    QString title = QFileInfo(QString::fromStdString(doc_.GetTitle())).completeBaseName();
    title = title.isEmpty() ? QStringLiteral("TUNBOX") : title;
    const std::optional<QString> file =
        commands_.ChooseReportFile(QDir(QString::fromStdString(doc_.CardDirectory().string()))
                                       .filePath(title + QStringLiteral(" report.pdf")));
    if (!file) {
        return;
    }
    const auto report = MakeReport();
    if (report && !cardreport::WritePdf(*report, *file)) {
        doc_.GetPrompter().Tell("The report could not be written to " + file->toStdString() + ".",
                                Prompter::Icon::Error);
    }
}

void CMainFrame::GoToPage(PageId page) {
    if (CMyPropertySheet* sheet = view_->GetSheet()) {
        sheet->GoToPage(page);
    }
}

void CMainFrame::ShowNewDocument() {
    view_->OnInitialUpdate();
}

void CMainFrame::ShowRestored(std::optional<PageId> page) {
    if (CMyPropertySheet* sheet = view_->GetSheet()) {
        sheet->ShowRestored(page);
    }
}

bool CMainFrame::StoreActivePage() {
    return view_->StoreActivePage();
}

bool CMainFrame::SaveFromActivePage() {
    return view_->OnFileSave();
}

void CMainFrame::BringForward() {
    raise();
    activateWindow();
}

QAction* CMainFrame::AddAction(QMenu* menu, const QString& text, const QString& prompt) {
    QAction* action = menu->addAction(text);
    action->setStatusTip(prompt);
    return action;
}

// One menu item: its text with the shortcut after a tab (the menu shows it as
// it is), the status-bar prompt, the object name tests find it by, its keys
// ("Ctrl+Z; Alt+Backspace") and what it does. A null text is a separator.
struct CMainFrame::MenuItem {
    const char* text;
    const char* prompt;
    const char* objectName;
    const char* keys;
    void (*run)(CMainFrame&);
};

std::vector<QAction*> CMainFrame::AddItems(QMenu* menu, std::span<const MenuItem> items) {
    std::vector<QAction*> added;
    for (const MenuItem& item : items) {
        if (item.text == nullptr) {
            menu->addSeparator();
            continue;
        }
        QAction* action =
            AddAction(menu, QString::fromUtf8(item.text), QString::fromUtf8(item.prompt));
        action->setObjectName(QString::fromLatin1(item.objectName));
        action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(item.keys)));
        const auto run = item.run;
        connect(action, &QAction::triggered, this, [this, run] { run(*this); });
        added.push_back(action);
    }
    return added;
}

void CMainFrame::CreateMenus() {
    CreateFileMenu();
    CreateEditMenu();
    CreatePlayerMenus();
}

void CMainFrame::CreateFileMenu() {
    static const MenuItem fileItems[] = {
        {"&New\tCtrl+N", "Create a new document", "fileNew", "Ctrl+N",
         [](CMainFrame& f) { f.commands_.OnFileNew(); }},
        {"&Open...\tCtrl+O", "Open an existing document", "fileOpen", "Ctrl+O",
         [](CMainFrame& f) { f.commands_.OnFileOpen(); }},
        {"&Save\tCtrl+S", "Save the active document", "fileSave", "Ctrl+S",
         [](CMainFrame& f) { f.AfterSave(f.view_->OnFileSave()); }},
        {"Save &As...", "Save the active document with a new name", "fileSaveAs", "",
         [](CMainFrame& f) { f.AfterSave(f.view_->OnFileSaveAs()); }},
        {"Chec&k Card...\tCtrl+K",
         "Look the card over for what would stop the player or a track, as the player reads it",
         "fileCheckCard", "Ctrl+K", [](CMainFrame& f) { f.OnCheckCard(); }},
        {"&Print Report...", "Print a report of the whole card, unsaved changes included",
         "filePrintReport", "Ctrl+P", [](CMainFrame& f) { f.OnPrintReport(); }},
        {"Export Report as P&DF...",
         "Write a report of the whole card, unsaved changes included, into a PDF file",
         "fileExportReportPdf", "", [](CMainFrame& f) { f.OnExportReportPdf(); }},
    };
    static const MenuItem exitItem[] = {
        {"E&xit", "Quit the application; prompts to save documents", "fileExit", "",
         [](CMainFrame& f) { f.close(); }},
    };
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    AddItems(fileMenu_, fileItems);
    fileMenu_->addSeparator();
    recentPlaceholder_ = fileMenu_->addAction(QStringLiteral("Recent File"));
    recentPlaceholder_->setEnabled(false);
    fileMenu_->addSeparator();
    AddItems(fileMenu_, exitItem);
    UpdateRecentFiles();
}

void CMainFrame::CreateEditMenu() {
    using editcommands::Command;
    static const MenuItem editItems[] = {
        {"&Undo\tCtrl+Z", "Undo the last action", "editUndo", "Ctrl+Z; Alt+Backspace",
         [](CMainFrame& f) { f.OnUndoRedo(Command::Undo); }},
        {"&Redo\tCtrl+Y", "Redo the previously undone action", "editRedo", "Ctrl+Shift+Z; Ctrl+Y",
         [](CMainFrame& f) { f.OnUndoRedo(Command::Redo); }},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {"Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard", "editCut",
         "Ctrl+X; Shift+Del",
         [](CMainFrame& f) { editcommands::Run(Command::Cut, f.focusWidget()); }},
        {"&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard", "editCopy",
         "Ctrl+C; Ctrl+Ins",
         [](CMainFrame& f) { editcommands::Run(Command::Copy, f.focusWidget()); }},
        {"&Paste\tCtrl+V", "Insert Clipboard contents", "editPaste", "Ctrl+V; Shift+Ins",
         [](CMainFrame& f) { editcommands::Run(Command::Paste, f.focusWidget()); }},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {"Reset Everything to Defaults", "", "resetEverything", "",
         [](CMainFrame& f) { f.view_->OnResetDefaults(); }},
    };
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    const std::vector<QAction*> editActions = AddItems(edit, editItems);
    undo_ = editActions[0];
    redo_ = editActions[1];
    cut_ = editActions[2];
    copy_ = editActions[3];
    paste_ = editActions[4];
    connect(edit, &QMenu::aboutToShow, this, &CMainFrame::UpdateEditCommands);
    // The shortcuts stay live while the menu is closed; the text field in
    // focus then decides what they do.
    connect(edit, &QMenu::aboutToHide, this, [this] {
        for (QAction* action : {undo_, redo_, cut_, copy_, paste_}) {
            action->setEnabled(true);
        }
        UpdateUndoTexts(false);
    });
    QUndoStack& stack = commands_.UndoSteps();
    connect(&stack, &QUndoStack::indexChanged, this, [this] { UpdateUndoTexts(false); });
    UpdateUndoTexts(false);
}

void CMainFrame::CreatePlayerMenus() {
    QMenu* player = menuBar()->addMenu(QStringLiteral("&Player Type"));
    player->setObjectName(QStringLiteral("playerTypeMenu"));
    // One model at a time: radio marks, the current one ticked.
    auto* models = new QActionGroup(player);
    models->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const PlayerTypeItem& item : kPlayerTypes) {
        QAction* action =
            AddAction(player, QString::fromUtf8(item.text), QString::fromUtf8(item.prompt));
        action->setObjectName(QString::fromLatin1(item.objectName));
        action->setCheckable(true);
        models->addAction(action);
        const PlayerModel model = item.model;
        connect(action, &QAction::triggered, this, [this, model] {
            view_->OnPlayerType(model);
            UpdatePlayerTypeChecks();
        });
        playerTypes_.emplace_back(model, action);
    }
    connect(player, &QMenu::aboutToShow, this, &CMainFrame::UpdatePlayerTypeChecks);

    // Player Blink Codes
    QMenu* blink = menuBar()->addMenu(QStringLiteral("Player &Blink Codes"));
    blink->setObjectName(QStringLiteral("blinkCodeMenu"));
    for (const BlinkCode& code : BlinkCodes()) {
        QAction* action = AddAction(blink, QString::fromUtf8(code.menuText),
                                    QString::fromUtf8(code.statusPrompt));
        action->setObjectName(QStringLiteral("blinkCode%1").arg(code.commandId));
        const int id = code.commandId;
        connect(action, &QAction::triggered, this, [this, id] { view_->OnBlinkCode(id); });
    }

    // Help
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* about =
        AddAction(help, QStringLiteral("&About Cardwright..."),
                  QStringLiteral("Display program information, version number and copyright"));
    about->setObjectName(QStringLiteral("helpAbout"));
    connect(about, &QAction::triggered, this, [this] { commands_.OnAppAbout(); });
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    // The idle prompt is a normal widget, so that command prompts shown while
    // a menu item is highlighted cover it and it comes back afterwards.
    auto* ready = new QLabel(appstrings::kIdlePrompt, bar);
    ready->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(ready, 1);
    const char* names[] = {"capsIndicator", "numIndicator", "scrollIndicator"};
    const char* texts[] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QString::fromLatin1(names[i]));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(
            label->fontMetrics().horizontalAdvance(QString::fromLatin1(texts[i])) + 12);
        label->setProperty("indicatorText", QString::fromLatin1(texts[i]));
        bar->addPermanentWidget(label);
        lockIndicators_[static_cast<std::size_t>(i)] = label;
    }
    // The last lamp keeps the gap from the window's edge that the lamps keep
    // from each other; without a size grip it would stand flush against it.
    bar->setContentsMargins(
        0, 0, std::max(0, bar->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing)), 0);
    UpdateLockIndicators();
}

void CMainFrame::UpdateLockIndicators() {
    // A pane shows its text while its lock is on, and stays blank where the
    // platform cannot tell.
    const std::optional<LockKeys> locks = QueryLockKeys();
    const bool lit[] = {locks && locks->capsLock, locks && locks->numLock,
                        locks && locks->scrollLock};
    for (std::size_t i = 0; i < lockIndicators_.size(); ++i) {
        QLabel* label = lockIndicators_[i];
        label->setText(lit[i] ? label->property("indicatorText").toString() : QString());
    }
}

void CMainFrame::UpdatePlayerTypeChecks() {
    for (const auto& [model, action] : playerTypes_) {
        action->setChecked(view_->IsPlayerTypeChecked(model));
    }
}

QAction* CMainFrame::PlayerTypeAction(PlayerModel model) const {
    for (const auto& [m, action] : playerTypes_) {
        if (m == model) {
            return action;
        }
    }
    return nullptr;
}

void CMainFrame::OnUndoRedo(editcommands::Command command) {
    // A text field in focus keeps its own undo while it has one; otherwise
    // the document's last change is taken back.
    if (editcommands::CanRun(command, focusWidget())) {
        editcommands::Run(command, focusWidget());
    } else {
        commands_.OnEditUndoRedo(command == editcommands::Command::Redo);
    }
}

void CMainFrame::UpdateUndoTexts(bool forFocus) {
    using editcommands::Command;
    const QUndoStack& stack = commands_.UndoSteps();
    const auto text = [&](Command command, const QString& verb, const QString& step,
                          const QString& keys) {
        const bool field = forFocus && editcommands::CanRun(command, focusWidget());
        QString shown = verb;
        if (!field && !step.isEmpty()) {
            shown +=
                QLatin1Char(' ') + QString(step).replace(QLatin1Char('&'), QStringLiteral("&&"));
        }
        return shown + QLatin1Char('\t') + keys;
    };
    undo_->setText(
        text(Command::Undo, QStringLiteral("&Undo"), stack.undoText(), QStringLiteral("Ctrl+Z")));
    redo_->setText(
        text(Command::Redo, QStringLiteral("&Redo"), stack.redoText(), QStringLiteral("Ctrl+Y")));
}

void CMainFrame::UpdateEditCommands() {
    using editcommands::Command;
    QWidget* focus = focusWidget();
    const QUndoStack& stack = commands_.UndoSteps();
    UpdateUndoTexts(true);
    undo_->setEnabled(editcommands::CanRun(Command::Undo, focus) || stack.canUndo());
    redo_->setEnabled(editcommands::CanRun(Command::Redo, focus) || stack.canRedo());
    cut_->setEnabled(editcommands::CanRun(Command::Cut, focus));
    copy_->setEnabled(editcommands::CanRun(Command::Copy, focus));
    paste_->setEnabled(editcommands::CanRun(Command::Paste, focus));
}

void CMainFrame::UpdateRecentFiles() {
    for (QAction* action : recentActions_) {
        // One of them may be the item being chosen right now.
        fileMenu_->removeAction(action);
        action->setObjectName(QString());
        action->deleteLater();
    }
    recentActions_.clear();
    const QStringList& files = commands_.RecentFileNames();
    recentPlaceholder_->setVisible(files.isEmpty());
    for (int i = 0; i < files.size(); ++i) {
        QString shown = files[i];
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), fileMenu_);
        action->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        action->setStatusTip(QStringLiteral("Open this document"));
        connect(action, &QAction::triggered, this, [this, i] { commands_.OnOpenRecentFile(i); });
        fileMenu_->insertAction(recentPlaceholder_, action);
        recentActions_.push_back(action);
    }
}

void CMainFrame::DocumentChanged() {
    setWindowTitle(commands_.FrameTitle());
    UpdatePlayerTypeChecks();
}

void CMainFrame::RestorePlacement() {
    QSettings settings;
    if (restoreGeometry(settings.value(kPlacementKey).toByteArray())) {
        return;
    }
    // The first run shows every page whole where the screen has room for it.
    const QRect room = screen()->availableGeometry();
    resize(sizeHint().boundedTo(room.size()));
    move(room.center() - rect().center());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (commands_.SaveModified()) {
        // Written only when it moved: an unchanged file is not worth a
        // rewrite and a sync at every exit.
        QSettings settings;
        if (const QByteArray placement = saveGeometry();
            settings.value(kPlacementKey).toByteArray() != placement) {
            settings.setValue(kPlacementKey, placement);
        }
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!FirstLocalFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString file = FirstLocalFile(event->mimeData());
    if (file.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    OpenDropped(file);
}

void CMainFrame::OpenDropped(const QString& file) {
    activateWindow();
    // The program that started the drag waits until the drop returns: open
    // the file, with its questions, once it has.
    QMetaObject::invokeMethod(
        this, [this, file] { commands_.OpenDocumentFile(file); }, Qt::QueuedConnection);
}

void CMainFrame::KeepOnScreen() {
    // The window's frame is known once it is shown: the whole window,
    // frame and all, stays within the screen's room.
    const QRect room = screen()->availableGeometry();
    const QRect outer = frameGeometry();
    const QSize frame = outer.size() - size();
    if (outer.width() > room.width() || outer.height() > room.height()) {
        resize(size().boundedTo(room.size() - frame));
    }
    const QRect now = frameGeometry();
    const QPoint inside(std::clamp(now.left(), room.left(), room.right() + 1 - now.width()),
                        std::clamp(now.top(), room.top(), room.bottom() + 1 - now.height()));
    if (inside != now.topLeft()) {
        move(inside);
    }
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    KeepOnScreen();
    // Everything this window receives passes its window first: the key
    // presses that may change a lock lamp, and files dragged over any of its
    // widgets. The application's filter (see the constructor) sees it there;
    // other windows (dialogs, other programs) are not watched.
    if (QWindow* window = windowHandle(); window != nullptr) {
        watchedWindow_ = window;
    }
    UpdateLockIndicators();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // A text field takes the undo keys for itself; once it has nothing
        // of its own to undo or redo, they go to the document.
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        const bool undoKey = undo_->shortcuts().contains(QKeySequence(key->keyCombination()));
        const bool redoKey = redo_->shortcuts().contains(QKeySequence(key->keyCombination()));
        if (widget != nullptr && widget->window() == this && (undoKey || redoKey) &&
            !editcommands::CanRun(
                undoKey ? editcommands::Command::Undo : editcommands::Command::Redo, widget)) {
            return true;
        }
        return false;
    }
    if (watched != watchedWindow_) {
        return QMainWindow::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock) {
                UpdateLockIndicators();
            }
            break;
        }
        case QEvent::FocusIn:
            // A lock may have changed while another window had the keyboard.
            UpdateLockIndicators();
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            // A file dropped anywhere in the window opens it, even over a
            // text field that would otherwise take the file's name as text.
            auto* drop = static_cast<QDropEvent*>(event);
            const QString file = FirstLocalFile(drop->mimeData());
            if (file.isEmpty()) {
                break;
            }
            drop->acceptProposedAction();
            if (event->type() == QEvent::Drop) {
                OpenDropped(file);
            }
            return true;
        }
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}
