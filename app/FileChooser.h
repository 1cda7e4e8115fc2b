#pragma once

#include <QString>
#include <QWidget>
#include <optional>

// Asks the user for a configuration file to open or a name to save under.
// The program uses file dialogs; tests answer from a script.
class FileChooser {
  public:
    virtual ~FileChooser() = default;
    // Empty when the user cancels.
    virtual std::optional<QString> ChooseOpenFile(const QString& startDir) = 0;
    virtual std::optional<QString> ChooseSaveFile(const QString& suggestedPath) = 0;
    // A PDF file to write a report into.
    virtual std::optional<QString> ChoosePdfFile(const QString& suggestedPath) = 0;
};

// File dialogs offering "TUNBOX Config Files (*.CFG)", matched in any case.
class DialogFileChooser : public FileChooser {
  public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    std::optional<QString> ChooseOpenFile(const QString& startDir) override;
    std::optional<QString> ChooseSaveFile(const QString& suggestedPath) override;
    std::optional<QString> ChoosePdfFile(const QString& suggestedPath) override;

  private:
    QWidget* parent_ = nullptr;
};
