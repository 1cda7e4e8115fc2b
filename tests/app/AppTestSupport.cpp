#include "AppTestSupport.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QSettings>
#include <algorithm>

#include "app/AppStrings.h"
#include "app/CardwrightView.h"
#include "app/MyPropertySheet.h"
#include "platform/Directory.h"

std::optional<QString> ScriptedFileChooser::ChooseOpenFile(const QString& startDir) {
    suggested.append(startDir);
    if (names.empty()) {
        return std::nullopt;
    }
    auto name = names.front();
    names.pop_front();
    return name;
}

std::optional<QString> ScriptedFileChooser::ChooseSaveFile(const QString& suggestedPath) {
    return ChooseOpenFile(suggestedPath);
}

std::optional<QString> ScriptedFileChooser::ChoosePdfFile(const QString& suggestedPath) {
    return ChooseOpenFile(suggestedPath);
}

std::filesystem::path FakeProgram() {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cardwright"));
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly)) {
        file.write("program");
    }
    return path.toStdString();
}

QStringList TrackFiles(int count) {
    QStringList names;
    for (int i = 1; i <= count; ++i) {
        names.append(QStringLiteral("TRACK%1.MP3").arg(i, 2, 10, QLatin1Char('0')));
    }
    return names;
}

TestCard::TestCard(const QStringList& soundFiles) {
    QDir(dir_.path()).mkdir(QStringLiteral("SOUNDS"));
    for (const QString& name : soundFiles) {
        AddSound(name);
    }
}

std::filesystem::path TestCard::Path(const QString& relative) const {
    return dir_.filePath(relative).toStdString();
}

void TestCard::AddSound(const QString& name) const {
    QFile file(dir_.filePath(QStringLiteral("SOUNDS/") + name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("audio");
}

void TestCard::RemoveSound(const QString& name) const {
    ASSERT_TRUE(QFile::remove(dir_.filePath(QStringLiteral("SOUNDS/") + name)));
}

void TestCard::SaveConfig(PlayerModel model,
                          const std::function<void(CCardwrightDoc&)>& edit) const {
    ScriptedPrompter prompter;
    CCardwrightDoc doc(prompter);
    doc.SetExecutablePath(FakeProgram());
    doc.OnNewDocument();
    doc.SetPathName(Path(QStringLiteral("TUNBOX.CFG")));
    doc.CountTracks(true);
    doc.GetConfig()->SetPlayerModel(model);
    if (edit) {
        edit(doc);
    }
    ASSERT_TRUE(doc.OnSaveDocument(Path(QStringLiteral("TUNBOX.CFG"))));
    ASSERT_TRUE(prompter.shown.empty()) << prompter.shown.front().text;
}

AppHarness::AppHarness() {
    std::error_code ec;
    oldCwd_ = std::filesystem::current_path(ec);
    std::filesystem::current_path(workDir_.path().toStdString(), ec);
    QSettings(appstrings::kSettingsOrganisation, appstrings::kSettingsApplication).clear();
    app_ = std::make_unique<CCardwrightApp>(prompter, files);
    // No TUNBOX.CFG lies beside this stand-in, and saves copy it, not the
    // test program.
    app_->SetExecutablePath(FakeProgram());
    app_->Document().SetExecutablePath(FakeProgram());
}

AppHarness::~AppHarness() {
    app_.reset();
    std::error_code ec;
    std::filesystem::current_path(oldCwd_, ec);
}

bool AppHarness::Start(const QStringList& args) {
    return app_->InitInstance(args);
}

CMyPropertySheet& AppHarness::Sheet() {
    return *app_->MainFrame()->View()->GetSheet();
}

QStringList AppHarness::PageCaptions() {
    QStringList captions;
    for (int i = 0; i < Sheet().GetPageCount(); ++i) {
        captions.append(Sheet().GetPage(i)->Caption());
    }
    return captions;
}

QString AppHarness::ActiveCaption() {
    CPropertyPage* page = Sheet().GetActivePage();
    return page != nullptr ? page->Caption() : QString();
}

std::optional<PageId> AppHarness::ActivePage() {
    CPropertyPage* page = Sheet().GetActivePage();
    return page != nullptr ? std::optional(page->Id()) : std::nullopt;
}

DirectoryLister ListedInOrder(const QStringList& files) {
    return [files](const std::filesystem::path& dir, std::error_code& ec) {
        auto list = platform::ListDirectory(dir, ec, platform::ListDetail::KindOnly);
        std::stable_sort(list.begin(), list.end(), [&files](const auto& a, const auto& b) {
            const auto rank = [&files](const auto& e) {
                return static_cast<unsigned>(files.indexOf(QString::fromStdString(e.longName)));
            };
            return rank(a) < rank(b);
        });
        return list;
    };
}
