#include "schedule/SelectScheduleDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/Prompter.h"
#include "model/ScheduleText.h"
#include "schedule/LineList.h"

CSelectScheduleDlg::CSelectScheduleDlg(Prompter& prompter, Mode mode, std::vector<Choice> choices,
                                       QWidget* parent)
    : QDialog(parent), prompter_(prompter), choices_(std::move(choices)) {
    setWindowTitle(QStringLiteral("Select Schedule to Edit"));
    auto* explanation = new QLabel(
        mode == kAnySchedule
            ? QStringLiteral("\n\n\nSelect a schedule to edit, or create a new schedule.")
            : QStringLiteral("You have selected a date range that contains multiple schedules.\n\n"
                             "All selected dates will be set to the same schedule if you edit "
                             "this selection.\n\nSelect the schedule from the list below that "
                             "you wish to assign to the selected dates."),
        this);
    explanation->setObjectName(QStringLiteral("explanationText"));
    explanation->setWordWrap(true);
    list_ = linelist::Make(this, QStringLiteral("scheduleList"), 2, false);
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        const std::string line =
            i == 0 ? "    " + choices_[0].name
                   : scheduletext::ScheduleLine(choices_[i].number, choices_[i].name);
        linelist::Add(list_, line, static_cast<int>(i));
    }
    auto* editButton = DialogButton(this, QStringLiteral("&Edit Schedule"), "editScheduleButton");
    auto* deleteButton =
        DialogButton(this, QStringLiteral("&Delete Schedule"), "deleteScheduleButton");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(editButton, QDialogButtonBox::ActionRole);
    buttons->addButton(deleteButton, QDialogButtonBox::ActionRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);

    // Nothing selected (the line can be unselected with Ctrl) chooses a new schedule.
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        const int i = SelectedChoice();
        chosen_ = i >= 0 ? choices_[static_cast<std::size_t>(i)].number : 0;
    });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* line) {
        const int i = line != nullptr ? line->data(0, Qt::UserRole).toInt() : -1;
        if (i >= 0 && i < static_cast<int>(choices_.size())) {
            chosen_ = choices_[static_cast<std::size_t>(i)].number;
        }
        OnEditSchedule();
    });
    connect(editButton, &QPushButton::clicked, this, &CSelectScheduleDlg::OnEditSchedule);
    connect(deleteButton, &QPushButton::clicked, this, &CSelectScheduleDlg::OnDeleteSchedule);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSelectScheduleDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSelectScheduleDlg::reject);
}

int CSelectScheduleDlg::SelectedChoice() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        return -1;
    }
    const int i = selected.front()->data(0, Qt::UserRole).toInt();
    return i >= 0 && i < static_cast<int>(choices_.size()) ? i : -1;
}

void CSelectScheduleDlg::accept() {
    edit_ = false;
    QDialog::accept();
}

void CSelectScheduleDlg::OnEditSchedule() {
    edit_ = true;
    QDialog::accept();
}

void CSelectScheduleDlg::OnDeleteSchedule() {
    const int i = SelectedChoice();
    if (i <= 0) {
        prompter_.Tell("Select a schedule to delete!");
        return;
    }
    const Choice& choice = choices_[static_cast<std::size_t>(i)];
    if (prompter_.Ask("Do you want to delete schedule '" + choice.name + "'?",
                      Prompter::Buttons::YesNo,
                      Prompter::Icon::Question) != Prompter::Answer::Yes) {
        return;
    }
    chosen_ = choice.number;
    delete_ = true;
    accept();
}
