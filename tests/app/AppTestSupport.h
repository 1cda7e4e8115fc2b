#pragma once

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
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
