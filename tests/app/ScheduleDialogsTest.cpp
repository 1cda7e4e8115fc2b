// The schedule entry dialogs, which edit a list of their own, and the
// schedule chooser.

#include <gtest/gtest.h>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <deque>

#include "AppTestSupport.h"
#include "schedule/LineList.h"
#include "schedule/ScheduleEntriesDlg.h"
#include "schedule/ScheduleEntryDlg.h"
#include "schedule/SelectScheduleDlg.h"

namespace {

std::uint32_t At(int hour, int minute, bool track, int number) {
    return ScheduleSet::MakeEntry(hour, minute, track, number);
}

// What the user does in one showing of the entry editor before OK; an empty
// time leaves the shown one. An editor that refuses is then cancelled.
struct EditorTurn {
    QString time;
    int kind = -1;
    int selection = -1;
};

struct EntriesDialog : DocOnCard {
    EntriesDialog() : DocOnCard(TrackFiles(3)) {
        // Given out of order: the dialog keeps its list in time order.
        dialog = std::make_unique<CScheduleEntriesDlg>(
            doc, std::vector<std::uint32_t>{At(8, 15, true, 2), At(7, 30, false, 3)},
            QStringLiteral("Mornings"));
        dialog->runEditor = [this](CScheduleEntryDlg& editor) {
            shownTimes.append(editor.findChild<QLineEdit*>("timeEdit")->text());
            if (turns.empty()) {
                return false;
            }
            const EditorTurn turn = turns.front();
            turns.pop_front();
            if (!turn.time.isEmpty()) {
                editor.findChild<QLineEdit*>("timeEdit")->setText(turn.time);
            }
            if (turn.kind >= 0) {
                editor.findChild<QComboBox*>("kindCombo")->setCurrentIndex(turn.kind);
            }
            if (turn.selection >= 0) {
                editor.findChild<QComboBox*>("selectionCombo")->setCurrentIndex(turn.selection);
            }
            editor.accept();
            return editor.result() == QDialog::Accepted;
        };
    }
    QStringList Lines() {
        QStringList lines;
        for (int i = 0; i < List()->topLevelItemCount(); ++i) {
            lines.append(linelist::Text(List()->topLevelItem(i)));
        }
        return lines;
    }
    QTreeWidget* List() { return dialog->findChild<QTreeWidget*>("entryList"); }
    void Select(std::initializer_list<int> rows) {
        List()->clearSelection();
        for (int row : rows) {
            List()->topLevelItem(row)->setSelected(true);
        }
    }

    std::unique_ptr<CScheduleEntriesDlg> dialog;
    std::deque<EditorTurn> turns;
    QStringList shownTimes;
};

TEST(ScheduleEntriesDlg, NewEditAndDeleteGiveBackTheEditedList) {
    EntriesDialog d;
    EXPECT_EQ(d.Lines(),
              (QStringList{"07:30\tStart\tShow 3", "08:15\tStart\tTrack 2: TRACK02.MP3"}));

    // A time already used is refused and the editor comes back as the user left it.
    d.turns = {{"8.15", 1, 0}, {"6"}};
    d.dialog->OnNewEntry();
    EXPECT_EQ(d.shownTimes, (QStringList{"00:00", "8.15"}));
    EXPECT_EQ(d.Lines().first(), "06:00\tStart\tTrack 1: TRACK01.MP3");

    // Same time: replaced in place; a used time: refused, the old entry stays.
    d.Select({1});
    d.turns = {{"", 1, 2}};
    d.dialog->OnEditEntry();
    EXPECT_EQ(d.Lines()[1], "07:30\tStart\tTrack 3: TRACK03.MP3");
    d.Select({1});
    d.turns = {{"8:15"}};
    d.dialog->OnEditEntry();
    EXPECT_EQ(d.Lines()[1], "07:30\tStart\tTrack 3: TRACK03.MP3");
    d.Select({0, 2});
    d.dialog->OnEditEntry();
    d.dialog->OnDeleteEntry();
    EXPECT_EQ(d.Lines(), QStringList{"07:30\tStart\tTrack 3: TRACK03.MP3"});
    d.Select({});
    d.dialog->OnEditEntry();
    d.dialog->OnDeleteEntry();
    QStringList told;
    for (const auto& shown : d.prompter.shown) {
        told.append(QString::fromStdString(shown.text));
    }
    const QString duplicate =
        "A schedule entry already exists with this time.\nPick another time for this entry.";
    EXPECT_EQ(told,
              (QStringList{duplicate, duplicate, "Can only edit one schedule at a time.",
                           "Select an entry to edit first.", "Select an entry to delete first."}));

    // Switching to a shorter list leaves nothing chosen, not its first line.
    CScheduleEntryDlg editor(d.doc);
    editor.findChild<QComboBox*>("kindCombo")->setCurrentIndex(0);
    editor.findChild<QComboBox*>("selectionCombo")->setCurrentIndex(200);
    editor.findChild<QComboBox*>("kindCombo")->setCurrentIndex(1);
    EXPECT_EQ(editor.findChild<QComboBox*>("selectionCombo")->currentIndex(), -1);

    EXPECT_EQ(d.dialog->Entries(), std::vector<std::uint32_t>{At(7, 30, true, 3)});
}

TEST(ScheduleEntryDlg, WithoutTrackFilesNothingCanBeChosen) {
    DocOnCard d(QStringList{});
    CScheduleEntryDlg editor(d.doc);
    EXPECT_EQ(editor.findChild<QComboBox*>("selectionCombo")->count(), 0);
    editor.accept();
    EXPECT_NE(editor.result(), QDialog::Accepted);
    ASSERT_EQ(d.prompter.shown.size(), 1u);
    EXPECT_EQ(d.prompter.shown[0].text, "Select a show or a track for this event!");
    // A show keeps its number as the list's position, whatever the kind before.
    editor.findChild<QComboBox*>("kindCombo")->setCurrentIndex(0);
    editor.findChild<QComboBox*>("selectionCombo")->setCurrentIndex(200);
    editor.accept();
    EXPECT_EQ(editor.Entry(), At(0, 0, false, 200));
}

TEST(SelectScheduleDlg, ListsByNumberAndReturnsWhatWasAskedFor) {
    ScriptedPrompter prompter;
    const std::vector<CSelectScheduleDlg::Choice> choices = {
        {0, "Create a new schedule"}, {100, "Late"}, {7, "Early"}, {12, "Noon"}};
    struct Result {
        int chosen;
        bool edit, erase, accepted;
        bool operator==(const Result&) const = default;
    };
    // Each turn selects a line (or none) and presses something.
    const auto run = [&](int row, const std::function<void(CSelectScheduleDlg&)>& press) {
        CSelectScheduleDlg dialog(prompter, CSelectScheduleDlg::kAnySchedule, choices);
        auto* list = dialog.findChild<QTreeWidget*>("scheduleList");
        if (row >= 0) {
            list->setCurrentItem(list->topLevelItem(row));
        }
        press(dialog);
        return Result{dialog.Chosen(), dialog.EditFlag(), dialog.DeleteFlag(),
                      dialog.result() == QDialog::Accepted};
    };
    CSelectScheduleDlg dialog(prompter, CSelectScheduleDlg::kSeveralSchedules, choices);
    auto* list = dialog.findChild<QTreeWidget*>("scheduleList");
    QStringList lines;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        lines.append(linelist::Text(list->topLevelItem(i)));
    }
    EXPECT_EQ(lines, (QStringList{"    Create a new schedule", "Schedule   7:\tEarly",
                                  "Schedule  12:\tNoon", "Schedule 100:\tLate"}));

    const auto ok = [](CSelectScheduleDlg& d) { d.accept(); };
    const auto edit = [](CSelectScheduleDlg& d) { d.OnEditSchedule(); };
    const auto erase = [](CSelectScheduleDlg& d) { d.OnDeleteSchedule(); };
    const auto doubleClick = [](CSelectScheduleDlg& d) {
        auto* l = d.findChild<QTreeWidget*>("scheduleList");
        emit l->itemDoubleClicked(l->currentItem(), 0);
    };
    EXPECT_EQ(run(-1, ok), (Result{0, false, false, true}));
    EXPECT_EQ(run(-1, edit), (Result{0, true, false, true}));
    EXPECT_EQ(run(2, ok), (Result{12, false, false, true}));
    EXPECT_EQ(run(3, doubleClick), (Result{100, true, false, true}));
    EXPECT_EQ(run(0, erase), (Result{0, false, false, false}));
    EXPECT_EQ(run(-1, erase), (Result{0, false, false, false}));
    prompter.answers = {Prompter::Answer::No, Prompter::Answer::Yes};
    EXPECT_FALSE(run(1, erase).accepted);
    // Enter on a focused button presses that button, not OK.
    const auto enterOnDelete = [](CSelectScheduleDlg& d) {
        QTest::keyClick(d.findChild<QPushButton*>("deleteScheduleButton"), Qt::Key_Return);
    };
    EXPECT_EQ(run(1, enterOnDelete), (Result{7, false, true, true}));
    ASSERT_EQ(prompter.shown.size(), 4u);
    EXPECT_EQ(prompter.shown[0].text, "Select a schedule to delete!");
    EXPECT_EQ(prompter.shown[3].text, "Do you want to delete schedule 'Early'?");
}

}  // namespace
