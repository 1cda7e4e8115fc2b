// The main window's menus, the question to save, the recent-file list,
// start-up, file drop, the blink codes and the About box.

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>
#include <fstream>

#include "AppTestSupport.h"
#include "app/AboutDialog.h"
#include "app/CardwrightView.h"
#include "app/EditCommands.h"
#include "app/HelpDialog.h"
#include "app/MainFrame.h"
#include "app/MyPropertySheet.h"
#include "model/BlinkCodes.h"
#include "platform/Files.h"

namespace {

TEST(BlinkCodes, EachItemExplainsItsOwnCodeWithoutAnIcon) {
    AppHarness h;
    ASSERT_TRUE(h.Start());
    const QList<QAction*> items = h.Frame().findChild<QMenu*>("blinkCodeMenu")->actions();
    const auto codes = BlinkCodes();
    ASSERT_EQ(items.size(), static_cast<qsizetype>(codes.size()));
    for (std::size_t i = 0; i < codes.size(); ++i) {
        SCOPED_TRACE(codes[i].menuText);
        // Blink counts run from 3, one item each, in menu order.
        EXPECT_TRUE(items[i]->text().endsWith(QStringLiteral("\t%1").arg(i + 3)));
        EXPECT_EQ(items[i]->statusTip(), QString::fromUtf8(codes[i].statusPrompt));
        h.prompter.shown.clear();
        items[i]->trigger();
        ASSERT_EQ(h.prompter.shown.size(), 1u);
        EXPECT_EQ(h.prompter.shown[0].text, codes[i].explanation);
        EXPECT_EQ(h.prompter.shown[0].icon, Prompter::Icon::None);
        EXPECT_EQ(h.prompter.shown[0].buttons, Prompter::Buttons::Ok);
    }
}

TEST(SaveModified, ModifiedDocumentIsNotDiscardedWithoutAsking) {
    TestCard card(TrackFiles(2));
    card.SaveConfig(PlayerModel::TunboxC8);
    AppHarness h;
    ASSERT_TRUE(h.Start({card.ConfigPath()}));
    QAction* fileNew = h.Frame().findChild<QAction*>("fileNew");

    // Unmodified: no question.
    h.Doc().GetConfig()->Set(field::kMainVolumeLeft, 10);
    fileNew->trigger();
    EXPECT_TRUE(h.prompter.shown.empty());
    EXPECT_EQ(h.Doc().GetConfig()->Get(field::kMainVolumeLeft), 60u);

    ASSERT_TRUE(h.App().OpenDocumentFile(card.ConfigPath()));
    h.Doc().GetConfig()->Set(field::kMainVolumeLeft, 10);
    h.Doc().SetModifiedFlag(true);

    // The file already open is only brought forward: nothing is asked or read.
    ASSERT_TRUE(h.App().OpenDocumentFile(card.ConfigPath()));
    EXPECT_TRUE(h.prompter.shown.empty());
    EXPECT_EQ(h.Doc().GetConfig()->Get(field::kMainVolumeLeft), 10u);

    // Cancel keeps everything, for New, Open and closing the window.
    TestCard other(TrackFiles(1));
    other.SaveConfig(PlayerModel::Tunbox);
    h.prompter.answers = {Prompter::Answer::Cancel, Prompter::Answer::Cancel,
                          Prompter::Answer::Cancel};
    fileNew->trigger();
    h.files.names.push_back(other.ConfigPath());
    h.Frame().findChild<QAction*>("fileOpen")->trigger();
    EXPECT_FALSE(h.Frame().close());
    ASSERT_EQ(h.prompter.shown.size(), 3u);
    EXPECT_EQ(h.prompter.shown[0].text,
              "Save changes to " + card.Path("TUNBOX.CFG").string() + "?");
    EXPECT_EQ(h.prompter.shown[0].buttons, Prompter::Buttons::YesNoCancel);
    EXPECT_TRUE(h.Frame().isVisible());
    EXPECT_EQ(h.Doc().GetConfig()->Get(field::kMainVolumeLeft), 10u);
    EXPECT_TRUE(h.Doc().IsModified());

    // Yes saves first, through the page in front.
    h.prompter.answers = {Prompter::Answer::Yes};
    fileNew->trigger();
    EXPECT_FALSE(h.Doc().IsModified());
    EXPECT_EQ(h.Frame().windowTitle(), "TUNBOX - TUNBOX Configuration");
    ScriptedPrompter quiet;
    CCardwrightDoc saved(quiet);
    ASSERT_TRUE(saved.OnOpenDocument(card.Path("TUNBOX.CFG")));
    EXPECT_EQ(saved.GetConfig()->Get(field::kMainVolumeLeft), 10u);

    // No discards.
    h.Doc().SetModifiedFlag(true);
    h.prompter.answers = {Prompter::Answer::No};
    EXPECT_TRUE(h.Frame().close());
}

TEST(SaveModified, EveryEditOnThePagesMarksTheDocumentAndLookingDoesNot) {
    TestCard card(TrackFiles(3));
    card.SaveConfig(PlayerModel::TunboxC8);
    AppHarness h;
    ASSERT_TRUE(h.Start({card.ConfigPath()}));
    auto* tracks = h.Frame().findChild<QTreeWidget*>("trackList");
    for (int i = h.Sheet().GetPageCount() - 1; i >= 0; --i) {
        ASSERT_TRUE(h.Sheet().SetActivePage(i));
        QTest::keyClick(tracks, i == 0 ? Qt::Key_Home : Qt::Key_End);
        // Page 1 is Playlists.
        h.Sheet()
            .GetPage(1)
            ->findChild<QAbstractButton*>(QStringLiteral("playlistRadio%1").arg(i + 1))
            ->click();
    }
    EXPECT_FALSE(h.Doc().IsModified());

    auto edit = [&](int page, const char* name) {
        SCOPED_TRACE(name);
        h.Doc().SetModifiedFlag(false);
        h.Sheet().SetActivePage(page);
        QWidget* control = h.Sheet().GetPage(page)->findChild<QWidget*>(name);
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            button->click();
        } else {
            QTest::keyClick(control, qobject_cast<QLineEdit*>(control) ? Qt::Key_5 : Qt::Key_Up);
        }
        EXPECT_TRUE(h.Doc().IsModified());
    };
    for (const char* name : {"atEndCombo", "delayEdit", "stepOnCheck", "powerUpSpin", "allButton",
                             "moveDownButton", "moveUpButton", "reloadButton"}) {
        edit(0, name);
    }
    h.Sheet().SetActivePage(1);
    h.Frame().findChild<QTreeWidget*>("availableTracks")->selectAll();
    edit(1, "addTracksButton");
    h.Frame().findChild<QTreeWidget*>("playlistTracks")->topLevelItem(0)->setSelected(true);
    for (const char* name : {"moveDownButton", "moveUpButton", "rememberCheck", "deleteButton"}) {
        edit(1, name);
    }
}

TEST(RecentFiles, KeepsTheFourNewestThatOpenAndSurvivesARestart) {
    std::vector<std::unique_ptr<TestCard>> cards;
    for (int i = 0; i < 5; ++i) {
        cards.push_back(std::make_unique<TestCard>(TrackFiles(1)));
        cards.back()->SaveConfig(PlayerModel::Tunbox);
    }
    QStringList expected;
    {
        AppHarness h;
        ASSERT_TRUE(h.Start());
        for (const auto& card : cards) {
            ASSERT_TRUE(h.App().OpenDocumentFile(card->ConfigPath()));
        }
        // Opening one again moves it to the front without a duplicate.
        ASSERT_TRUE(h.App().OpenDocumentFile(cards[2]->ConfigPath()));
        expected = QStringList{cards[2]->ConfigPath(), cards[4]->ConfigPath(),
                               cards[3]->ConfigPath(), cards[1]->ConfigPath()};
        EXPECT_EQ(h.App().RecentFiles().Files(), expected);
        EXPECT_EQ(h.Frame().findChild<QAction*>("recentFile1")->text(),
                  "&1 " + cards[2]->ConfigPath());
        EXPECT_EQ(h.Frame().findChild<QAction*>("recentFile5"), nullptr);

        h.Frame().findChild<QAction*>("recentFile3")->trigger();
        EXPECT_EQ(h.Doc().GetPathName(), cards[3]->Path("TUNBOX.CFG"));

        // A file that can no longer be opened leaves the list.
        h.Frame().findChild<QAction*>("fileNew")->trigger();
        ASSERT_TRUE(QFile::remove(cards[3]->ConfigPath()));
        h.Frame().findChild<QAction*>("recentFile1")->trigger();
        EXPECT_EQ(h.prompter.shown.size(), 1u);
        ASSERT_TRUE(h.App().OpenDocumentFile(cards[0]->ConfigPath()));
    }
    RecentFileList reloaded(4);
    EXPECT_EQ(reloaded.Files(), (QStringList{cards[0]->ConfigPath(), cards[2]->ConfigPath(),
                                             cards[4]->ConfigPath(), cards[1]->ConfigPath()}));
}

TEST(StartUp, OpensTheFileBesideTheProgramAndRefusedFilesLeaveTheOpenWork) {
    TestCard card(TrackFiles(1));
    std::ofstream(card.Path("TUNBOX.CFG")) << "too short";
    AppHarness h;
    ASSERT_TRUE(h.Start({card.ConfigPath()}));
    EXPECT_EQ(h.prompter.shown.size(), 1u);
    EXPECT_TRUE(h.Frame().isVisible());
    EXPECT_TRUE(h.Doc().GetPathName().empty());

    // Without a file named, the configuration beside the program opens.
    TestCard good(TrackFiles(1));
    good.SaveConfig(PlayerModel::TunboxA8);
    AppHarness beside;
    beside.App().SetExecutablePath(good.Path("Cardwright.exe"));
    ASSERT_TRUE(beside.Start());
    EXPECT_EQ(beside.Doc().GetPathName(), good.Path("TUNBOX.CFG"));
    EXPECT_EQ(beside.PageCaptions().size(), 6);
    EXPECT_TRUE(beside.Frame().isVisible());

    // A refused File Open keeps the configuration that was open, edits and all.
    ASSERT_TRUE(h.App().OpenDocumentFile(good.ConfigPath()));
    h.Doc().GetConfig()->Set(field::kMainVolumeLeft, 10);
    h.Doc().SetModifiedFlag(true);
    h.prompter.shown.clear();
    h.prompter.answers = {Prompter::Answer::No};
    EXPECT_FALSE(h.App().OpenDocumentFile(card.ConfigPath()));
    EXPECT_EQ(h.prompter.shown.size(), 2u);
    EXPECT_EQ(h.Doc().GetConfig()->Get(field::kMainVolumeLeft), 10u);
    EXPECT_EQ(h.Doc().GetPathName(), good.Path("TUNBOX.CFG"));
    EXPECT_TRUE(h.Doc().IsModified());
}

TEST(MainWindow, IsResizableKeepsItsPlaceAndOpensDroppedFiles) {
    TestCard card(TrackFiles(2));
    card.SaveConfig(PlayerModel::TunboxC40);
    AppHarness h;
    ASSERT_TRUE(h.Start());
    QApplication::processEvents();
    CMainFrame& frame = h.Frame();
    EXPECT_LT(frame.minimumSize().height(), frame.maximumSize().height());
    const QSize before = frame.size();

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(card.ConfigPath())});
    // A drop reaches the window that accepted the drag.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &drop);
    // The drop returns at once; the file opens afterwards, questions and all.
    EXPECT_TRUE(h.Doc().GetPathName().empty());
    QApplication::processEvents();
    EXPECT_EQ(h.Doc().GetPathName(), card.Path("TUNBOX.CFG"));
    EXPECT_EQ(h.PageCaptions().size(), 7);
    // More pages, same window.
    EXPECT_EQ(frame.size(), before);

    // A file dropped on a text field opens too, instead of becoming its text.
    TestCard second(TrackFiles(1));
    second.SaveConfig(PlayerModel::Tunbox);
    auto* field = new QLineEdit(frame.centralWidget());
    field->show();
    mime.setUrls({QUrl::fromLocalFile(second.ConfigPath())});
    // The window system hands drags to the window, which passes them on to
    // the widget under the mouse.
    const QPoint over = field->mapTo(&frame, QPoint(2, 2));
    QDragEnterEvent enterField(over, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.windowHandle(), &enterField);
    EXPECT_TRUE(enterField.isAccepted());
    QDropEvent dropField(over, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.windowHandle(), &dropField);
    QApplication::processEvents();
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(h.Doc().GetPathName(), second.Path("TUNBOX.CFG"));

    // The next run opens the window where this one left it.
    frame.setGeometry(QRect(frame.geometry().topLeft() + QPoint(7, 5), QSize(640, 420)));
    const QRect left = frame.geometry();
    ASSERT_TRUE(frame.close());
    AppHarness next;
    ASSERT_TRUE(next.Start());
    EXPECT_EQ(next.Frame().geometry(), left);
    // A window closed where it opened leaves the settings file as it was.
    const std::string settings = QSettings().fileName().toStdString();
    const platform::FileIdentity kept = platform::Inspect(settings).identity;
    ASSERT_TRUE(next.Frame().close());
    EXPECT_EQ(platform::Inspect(settings).identity, kept);
    // Later tests start with a window of the first run's size.
    QSettings().remove(QStringLiteral("MainFrame/Placement"));
}

TEST(MainWindow, MenuItemsCarryTheirShortcutsAndPrompts) {
    AppHarness h;
    ASSERT_TRUE(h.Start());
    EXPECT_EQ(h.Frame().windowIcon().pixmap(128, 128).size(), QSize(128, 128));
    for (const char* name : {"fileNew", "fileOpen", "fileSave", "fileSaveAs", "fileExit",
                             "editUndo", "editCut", "editCopy", "editPaste"}) {
        SCOPED_TRACE(name);
        const QAction* action = h.Frame().findChild<QAction*>(name);
        ASSERT_NE(action, nullptr);
        EXPECT_FALSE(action->statusTip().isEmpty());
        const QString text = action->text();
        const QString key =
            text.contains(QLatin1Char('\t')) ? text.section(QLatin1Char('\t'), 1) : QString();
        EXPECT_EQ(action->shortcut(), QKeySequence(key));
    }
}

TEST(EditMenu, ActsOnTheFocusedTextField) {
    QLineEdit edit;
    edit.setText("abc");
    edit.selectAll();
    using editcommands::Command;
    EXPECT_TRUE(editcommands::CanRun(Command::Cut, &edit));
    EXPECT_TRUE(editcommands::Run(Command::Cut, &edit));
    EXPECT_EQ(edit.text(), "");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "abc");
    EXPECT_FALSE(editcommands::CanRun(Command::Copy, &edit));
    EXPECT_TRUE(editcommands::Run(Command::Undo, &edit));
    EXPECT_EQ(edit.text(), "abc");
    edit.setCursorPosition(3);
    EXPECT_TRUE(editcommands::Run(Command::Paste, &edit));
    EXPECT_EQ(edit.text(), "abcabc");
    edit.setReadOnly(true);
    EXPECT_FALSE(editcommands::CanRun(Command::Paste, &edit));
    // Anything but a text field is left alone.
    QWidget other;
    EXPECT_FALSE(editcommands::CanRun(Command::Paste, &other));
    EXPECT_FALSE(editcommands::Run(Command::Paste, &other));
}

TEST(Dialogs, AboutShowsTheReleaseAndHelpItsText) {
    EXPECT_EQ(AboutDialog().ReleaseText(), "Release 1.0.38");
    EXPECT_EQ(HelpDialog(HelpDialog::kScheduleHelp, "schedules").HelpText(), "schedules");
    EXPECT_NE(HelpDialog(0, "schedules").HelpText(), "schedules");
}

}  // namespace
