#include "app/CardwrightApp.h"

#include <QDir>
#include <QFileInfo>

#include "app/AboutDialog.h"
#include "app/AppStrings.h"
#include "app/DocumentWindow.h"
#include "app/FileChooser.h"
#include "app/MainFrame.h"
#include "model/Prompter.h"
#include "platform/Directory.h"

namespace {

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// A folder as the title shows it: the home folder as "~", and a long one
// cut from the left at a separator, so that the card's own folder shows.
QString ShortFolder(const QString& folder) {
    constexpr int kLongest = 48;
    QString shown = QDir::toNativeSeparators(folder);
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    if (home.size() > 1 && (shown == home || shown.startsWith(home + QDir::separator()))) {
        shown = QStringLiteral("~") + shown.mid(home.size());
    }
    if (shown.size() <= kLongest) {
        return shown;
    }
    const QString ellipsis = QStringLiteral("\u2026");
    QString tail = shown.right(kLongest - 1);
    const int cut = tail.indexOf(QDir::separator());
    if (cut > 0 && cut < tail.size() - 1) {
        tail = tail.mid(cut);
    }
    return ellipsis + tail;
}

}  // namespace

CCardwrightApp::CCardwrightApp(Prompter& prompter, FileChooser& files, BusyIndicator* busy)
    : prompter_(prompter),
      files_(files),
      doc_(prompter, busy),
      recent_(appstrings::kRecentFileCount),
      history_(doc_, [this](std::optional<PageId> page) {
          if (Window() != nullptr) {
              Window()->ShowRestored(page);
          }
          DocumentChanged();
      }) {
    connect(&history_, &EditHistory::ModifiedFlagChanged, this, &CCardwrightApp::DocumentChanged);
    std::error_code ec;
    executablePath_ = platform::ExecutablePath(ec);
}

CCardwrightApp::~CCardwrightApp() {
    delete frame_.data();
}

DocumentWindow* CCardwrightApp::Window() const {
    return frame_.data();
}

void CCardwrightApp::DocumentChanged() {
    if (Window() != nullptr) {
        Window()->DocumentChanged();
    }
}

void CCardwrightApp::RecentFilesChanged() {
    if (Window() != nullptr) {
        Window()->RecentFilesChanged();
    }
}

bool CCardwrightApp::InitInstance(const QStringList& args) {
    frame_ = new CMainFrame(*this, doc_, prompter_);

    doc_.OnNewDocument();
    QString named;
    for (const QString& arg : args) {
        if (!arg.startsWith(QLatin1Char('-'))) {
            named = arg;
            break;
        }
    }
    // A file the document refuses has been reported; the program stays, with
    // a new configuration.
    if (!named.isEmpty()) {
        OpenFile(named);
    }
    RefreshView();
    frame_->RestorePlacement();
    frame_->show();

    // Started from a card: its configuration lies beside the program.
    if (!executablePath_.empty()) {
        const std::filesystem::path beside =
            executablePath_.parent_path() / appstrings::kConfigFileName.toStdString();
        std::error_code ec;
        if (std::filesystem::is_regular_file(beside, ec)) {
            OpenDocumentFile(FromPath(beside));
        }
    }
    return true;
}

void CCardwrightApp::OnFileNew() {
    if (!SaveModified()) {
        return;
    }
    doc_.OnNewDocument();
    history_.Clear();
    RefreshView();
}

void CCardwrightApp::OnFileOpen() {
    const QString startDir = doc_.GetPathName().empty()
                                 ? QDir::currentPath()
                                 : FromPath(doc_.GetPathName().parent_path());
    const std::optional<QString> path = files_.ChooseOpenFile(startDir);
    if (path) {
        OpenDocumentFile(*path);
    }
}

bool CCardwrightApp::OpenDocumentFile(const QString& path) {
    // The document already open is only brought forward, not read again: a
    // second read would ask its questions again and could throw away edits.
    if (!doc_.GetPathName().empty() &&
        std::filesystem::path(QFileInfo(path).absoluteFilePath().toStdString()) ==
            doc_.GetPathName()) {
        if (Window() != nullptr) {
            Window()->BringForward();
        }
        return true;
    }
    if (!SaveModified()) {
        return false;
    }
    const bool opened = OpenFile(path);
    RefreshView();
    return opened;
}

bool CCardwrightApp::OpenFile(const QString& path) {
    // On failure the document has told the user and is as it was.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!doc_.OnOpenDocument(ToPath(absolute))) {
        return false;
    }
    history_.Clear();
    recent_.Add(absolute);
    RecentFilesChanged();
    return true;
}

void CCardwrightApp::OnOpenRecentFile(int index) {
    const QStringList& files = recent_.Files();
    if (index < 0 || index >= files.size()) {
        return;
    }
    const QString path = files[index];
    if (!SaveModified()) {
        return;
    }
    if (!OpenFile(path)) {
        // Gone or unreadable: the user has been told; keep it off the list.
        const int stale = recent_.Files().indexOf(path);
        recent_.Remove(stale);
        RecentFilesChanged();
    }
    RefreshView();
}

bool CCardwrightApp::SaveModified() {
    // What the page in front shows counts as an edit too; a value it refuses
    // has been reported, and keeps the document as it is.
    if (Window() != nullptr && !Window()->StoreActivePage()) {
        return false;
    }
    if (!doc_.IsModified()) {
        return true;
    }
    const std::string name =
        doc_.GetPathName().empty() ? doc_.GetTitle() : doc_.GetPathName().string();
    switch (prompter_.Ask("Save changes to " + name + "?", Prompter::Buttons::YesNoCancel,
                          Prompter::Icon::Warning)) {
        case Prompter::Answer::Yes:
            // Through the page in front, so that what it shows is saved too.
            return Window() != nullptr ? Window()->SaveFromActivePage()
                                       : SaveDocument(SaveKind::Save);
        case Prompter::Answer::No:
            return true;
        default:
            return false;
    }
}

void CCardwrightApp::OnAppAbout() {
    AboutDialog about(frame_);
    about.exec();
}

bool CCardwrightApp::SaveDocument(SaveKind kind) {
    if (kind == SaveKind::Save && !doc_.GetPathName().empty()) {
        return DoSave(FromPath(doc_.GetPathName()));
    }
    const QString suggested =
        doc_.GetPathName().empty()
            ? QDir(FromPath(doc_.CardDirectory())).filePath(appstrings::kConfigFileName)
            : FromPath(doc_.GetPathName());
    const std::optional<QString> path = files_.ChooseSaveFile(suggested);
    return path && DoSave(*path);
}

bool CCardwrightApp::DoSave(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!doc_.OnSaveDocument(ToPath(absolute))) {
        return false;
    }
    doc_.SetPathName(ToPath(absolute));
    history_.MarkSaved();
    recent_.Add(absolute);
    RecentFilesChanged();
    DocumentChanged();
    return true;
}

void CCardwrightApp::RefreshView() {
    if (Window() != nullptr) {
        Window()->ShowNewDocument();
    }
    DocumentChanged();
}

void CCardwrightApp::OnEditUndoRedo(bool redo) {
    if (Window() != nullptr && !Window()->StoreActivePage()) {
        return;
    }
    if (redo) {
        history_.Stack().redo();
    } else {
        history_.Stack().undo();
    }
}

std::optional<QString> CCardwrightApp::ChooseReportFile(const QString& suggestedPath) {
    return files_.ChoosePdfFile(suggestedPath);
}

QString CCardwrightApp::FrameTitle() const {
    QString name = QString::fromStdString(doc_.GetTitle());
    if (!doc_.GetPathName().empty()) {
        name +=
            QStringLiteral(" (%1)").arg(ShortFolder(FromPath(doc_.GetPathName().parent_path())));
    }
    const QString mark = doc_.IsModified() ? QStringLiteral("*") : QString();
    return mark + name + QStringLiteral(" - ") + appstrings::kWindowTitle;
}
