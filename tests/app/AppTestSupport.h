#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ScriptedPrompter.h"
#include "app/CardwrightApp.h"
#include "app/FileChooser.h"
#include "app/MyPropertySheet.h"
#include "model/CardwrightDoc.h"
#include "model/Prompter.h"

// Hands out scripted file names; nullopt stands for a cancelled dialog.
class ScriptedFileChooser : public FileChooser {
  public:
    std::optional<QString> ChooseOpenFile(const QString& startDir) override;
    std::optional<QString> ChooseSaveFile(const QString& suggestedPath) override;
    std::optional<QString> ChoosePdfFile(const QString& suggestedPath) override;

    std::deque<std::optional<QString>> names;
    QStringList suggested;
};

// A card folder: SOUNDS with the named (empty) audio files in that order,
// and, when asked, a TUNBOX.CFG saved by the model with the track list
// built from those files.
class TestCard {
  public:
    explicit TestCard(const QStringList& soundFiles = {});

    QString Dir() const { return dir_.path(); }
    QString ConfigPath() const { return dir_.filePath(QStringLiteral("TUNBOX.CFG")); }
    std::filesystem::path Path(const QString& relative) const;
    void AddSound(const QString& name) const;
    void RemoveSound(const QString& name) const;
    // Saves a configuration for `model`; `edit` may change it first.
    void SaveConfig(PlayerModel model,
                    const std::function<void(CCardwrightDoc&)>& edit = nullptr) const;

  private:
    QTemporaryDir dir_;
};

// Lists a folder with the named files first, in the order given: a card
// whose SOUNDS holds them numbers them so.
DirectoryLister ListedInOrder(const QStringList& files);

// A new document on a card whose SOUNDS holds `files` as tracks 1, 2, ...
struct DocOnCard {
    explicit DocOnCard(const QStringList& files) : card(files), doc(prompter) {
        doc.SetDirectoryLister(ListedInOrder(files));
        doc.OnNewDocument();
        doc.SetPathName(card.Path(QStringLiteral("TUNBOX.CFG")));
        doc.CountTracks(true);
    }
    CardConfig& Config() { return *doc.GetConfig(); }

    TestCard card;
    ScriptedPrompter prompter;
    CCardwrightDoc doc;
};

// A page over such a document, shown on its own.
template <class Page>
struct PageOnCard : DocOnCard {
    template <class... Args>
    explicit PageOnCard(const QStringList& files, Args&&... pageArgs)
        : DocOnCard(files), page(doc, std::forward<Args>(pageArgs)...) {
        page.resize(900, 500);
    }

    // As the sheet brings a page to the front at the user's choice.
    void Activate() {
        page.show();
        page.BeforeShow();
        page.OnSetActive();
    }
    template <class T = QWidget>
    T* Find(const QString& name) {
        return page.template findChild<T*>(name);
    }
    void Click(const QString& name) { Find<QAbstractButton>(name)->click(); }
    void Key(const QString& name, Qt::Key key) { QTest::keyClick(Find(name), key); }
    // Replaces the text as a user would, staying in the field.
    void Retype(const QString& name, const QString& text) {
        QTest::keyClick(Find(name), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(Find(name), Qt::Key_Delete);
        QTest::keyClicks(Find(name), text);
    }
    // Chooses an entry as the user does with the mouse.
    void Pick(const QString& name, int index) {
        Find<QComboBox>(name)->setCurrentIndex(index);
        emit Find<QComboBox>(name)->activated(index);
    }

    Page page;
};

// A stand-in for the program that the document copies onto each card.
std::filesystem::path FakeProgram();

// Names like "TRACK01.MP3".."TRACKnn.MP3".
QStringList TrackFiles(int count);

// The application with scripted prompts and file dialogs, started in an
// empty current directory.
class AppHarness {
  public:
    AppHarness();
    ~AppHarness();

    bool Start(const QStringList& args = {});
    CCardwrightApp& App() { return *app_; }
    CCardwrightDoc& Doc() { return app_->Document(); }
    CMainFrame& Frame() { return *app_->MainFrame(); }
    CMyPropertySheet& Sheet();
    QStringList PageCaptions();
    QString ActiveCaption();
    std::optional<PageId> ActivePage();

    ScriptedPrompter prompter;
    ScriptedFileChooser files;

  private:
    QTemporaryDir workDir_;
    std::filesystem::path oldCwd_;
    std::unique_ptr<CCardwrightApp> app_;
};

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}
