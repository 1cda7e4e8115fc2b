#include "app/FileChooser.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

#include "app/AppStrings.h"
#include "app/DialogParent.h"

namespace {

// Qt's own dialog, so that the filter matches TUNBOX.CFG and tunbox.cfg alike
// on every platform: without QDir::CaseSensitive its name filters ignore case.
void Prepare(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilter(appstrings::kOpenFilter);
    dialog.setFilter((dialog.filter() & ~QDir::CaseSensitive) | QDir::AllDirs | QDir::Files);
}

QWidget* Parent(QWidget* given) {
    return DialogParent(given);
}

std::optional<QString> Run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace

std::optional<QString> DialogFileChooser::ChooseOpenFile(const QString& startDir) {
    QFileDialog dialog(Parent(parent_), QStringLiteral("Open"), startDir);
    Prepare(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return Run(dialog);
}

std::optional<QString> DialogFileChooser::ChooseSaveFile(const QString& suggestedPath) {
    QFileDialog dialog(Parent(parent_), QStringLiteral("Save As"));
    Prepare(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(appstrings::kDefaultExtension);
    dialog.selectFile(suggestedPath);
    return Run(dialog);
}

std::optional<QString> DialogFileChooser::ChoosePdfFile(const QString& suggestedPath) {
    QFileDialog dialog(Parent(parent_), QStringLiteral("Export Report as PDF"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilter(QStringLiteral("PDF Files (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(suggestedPath);
    return Run(dialog);
}
