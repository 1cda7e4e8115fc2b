#include "schedule/ScheduleEntriesDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/CardwrightDoc.h"
#include "model/ScheduleText.h"
#include "schedule/LineList.h"
#include "schedule/ScheduleEntryDlg.h"

namespace {

constexpr int kNameLength = 50;
constexpr const char* kDuplicateTime =
    "A schedule entry already exists with this time.\nPick another time for this entry.";

// An entry's key is the entry itself: byte 0 * 65536 + byte 1 * 256 + byte 2.
std::uint32_t EntryOf(const QTreeWidgetItem* line) {
    return line->data(0, Qt::UserRole).toUInt();
}

}  // namespace

CScheduleEntriesDlg::CScheduleEntriesDlg(CCardwrightDoc& doc, std::vector<std::uint32_t> entries,
                                         const QString& name, QWidget* parent)
    : QDialog(parent),
      runEditor([](CScheduleEntryDlg& editor) { return editor.exec() == QDialog::Accepted; }),
      doc_(doc) {
    setWindowTitle(QStringLiteral("Schedule"));
    name_ = new QLineEdit(name.left(kNameLength), this);
    name_->setObjectName(QStringLiteral("nameEdit"));
    name_->setMaxLength(kNameLength);
    auto* nameLabel = new QLabel(QStringLiteral("&Name"), this);
    nameLabel->setBuddy(name_);
    auto* newEntry = DialogButton(this, QStringLiteral("Ne&w Entry"), "newEntryButton");
    auto* editEntry = DialogButton(this, QStringLiteral("&Edit Entry"), "editEntryButton");
    auto* deleteEntry = DialogButton(this, QStringLiteral("&Delete Entry"), "deleteEntryButton");
    list_ = linelist::Make(this, QStringLiteral("entryList"), 3, true);
    list_->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 60);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(name_, 1);
    auto* entryButtons = new QHBoxLayout;
    for (QPushButton* button : {newEntry, editEntry, deleteEntry}) {
        entryButtons->addWidget(button);
    }
    entryButtons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addLayout(entryButtons);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);

    connect(newEntry, &QPushButton::clicked, this, &CScheduleEntriesDlg::OnNewEntry);
    connect(editEntry, &QPushButton::clicked, this, &CScheduleEntriesDlg::OnEditEntry);
    connect(deleteEntry, &QPushButton::clicked, this, &CScheduleEntriesDlg::OnDeleteEntry);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &CScheduleEntriesDlg::OnEditEntry);
    connect(buttons, &QDialogButtonBox::accepted, this, &CScheduleEntriesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CScheduleEntriesDlg::reject);

    for (std::uint32_t entry : entries) {
        if (ScheduleSet::InsertEntry(entries_, entry)) {
            AddLine(entry);
        }
    }
}

QString CScheduleEntriesDlg::Name() const {
    return name_->text();
}

void CScheduleEntriesDlg::AddLine(std::uint32_t entry) {
    const std::string line = scheduletext::EntryLine(entry, [this](int track) {
        return doc_.GetLongTrackName(doc_.GetConfig()->TrackName(track));
    });
    linelist::Add(list_, line, QVariant::fromValue(entry));
}

void CScheduleEntriesDlg::RemoveLine(std::uint32_t entry) {
    delete linelist::Find(list_, QVariant::fromValue(entry));
}

void CScheduleEntriesDlg::Tell(const char* text) {
    doc_.GetPrompter().Tell(text);
}

void CScheduleEntriesDlg::OnNewEntry() {
    CScheduleEntryDlg editor(doc_, this);
    while (runEditor(editor)) {
        if (ScheduleSet::InsertEntry(entries_, editor.Entry())) {
            AddLine(editor.Entry());
            return;
        }
        Tell(kDuplicateTime);
    }
}

void CScheduleEntriesDlg::OnEditEntry() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.size() != 1) {
        Tell(selected.isEmpty() ? "Select an entry to edit first."
                                : "Can only edit one schedule at a time.");
        return;
    }
    const std::uint32_t old = EntryOf(selected.front());
    CScheduleEntryDlg editor(doc_, this);
    editor.SetEntry(old);
    while (runEditor(editor)) {
        const std::uint32_t edited = editor.Entry();
        const bool sameTime = scheduletext::Hours(edited) == scheduletext::Hours(old) &&
                              scheduletext::Minutes(edited) == scheduletext::Minutes(old);
        if (sameTime) {
            ScheduleSet::RemoveEntry(entries_, old);
            ScheduleSet::InsertEntry(entries_, edited);
        } else if (!ScheduleSet::InsertEntry(entries_, edited)) {
            Tell(kDuplicateTime);
            continue;
        } else {
            ScheduleSet::RemoveEntry(entries_, old);
        }
        RemoveLine(old);
        AddLine(edited);
        return;
    }
}

void CScheduleEntriesDlg::OnDeleteEntry() {
    bool any = false;
    for (int i = list_->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* line = list_->topLevelItem(i);
        if (line->isSelected()) {
            any = true;
            ScheduleSet::RemoveEntry(entries_, EntryOf(line));
            delete line;
        }
    }
    if (!any) {
        Tell("Select an entry to delete first.");
    }
}
