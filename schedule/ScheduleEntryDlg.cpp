#include "schedule/ScheduleEntryDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QValidator>

#include "model/CardwrightDoc.h"
#include "model/ScheduleText.h"
#include "pages/PageFields.h"

namespace {

// Takes what is typed in upper case, as the time field shows it; anything
// else is left for OK to judge.
class UpperCase : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*pos*/) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

}  // namespace

CScheduleEntryDlg::CScheduleEntryDlg(CCardwrightDoc& doc, QWidget* parent)
    : QDialog(parent), doc_(doc), entry_(ScheduleSet::MakeEntry(0, 0, true, 0)) {
    setWindowTitle(QStringLiteral("Edit or Create Schedule Entry"));
    time_ = new QLineEdit(this);
    time_->setObjectName(QStringLiteral("timeEdit"));
    time_->setAlignment(Qt::AlignCenter);
    time_->setValidator(new UpperCase(time_));
    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("kindCombo"));
    kind_->addItems({QStringLiteral("Show"), QStringLiteral("Audio Track")});
    // Long track names are cut rather than widening the dialog past the screen.
    selection_ = new NameCombo(this);
    selection_->setObjectName(QStringLiteral("selectionCombo"));
    selection_->setMinimumContentsLength(32);
    connect(kind_, &QComboBox::currentIndexChanged, this, &CScheduleEntryDlg::FillSelection);

    auto* form = new QFormLayout;
    // Each row's label is its field's buddy, with the field's Alt key.
    form->addRow(QStringLiteral("&Time"), time_);
    form->addRow(QStringLiteral("&Show/Track"), kind_);
    form->addRow(QStringLiteral("Se&lection"), selection_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CScheduleEntryDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CScheduleEntryDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    SetEntry(entry_);
}

void CScheduleEntryDlg::SetEntry(std::uint32_t entry) {
    entry_ = entry;
    time_->setText(QString::fromStdString(scheduletext::TimeText(entry)));
    const bool track = scheduletext::IsTrack(entry);
    kind_->setCurrentIndex(track ? kAudioTrack : kShow);
    FillSelection();
    const int number = scheduletext::Number(entry);
    selection_->setCurrentIndex(track ? selection_->findData(number) : number);
}

void CScheduleEntryDlg::FillSelection() {
    const int remembered = selection_->currentIndex();
    selection_->clear();
    if (kind_->currentIndex() == kShow) {
        selection_->addItem(QStringLiteral("Whatever is next"), 0);
        for (int show = 1; show <= ScheduleSet::kMaxSchedule; ++show) {
            selection_->addItem(QStringLiteral("Show %1").arg(show), show);
        }
    } else {
        const CardConfig& config = *doc_.GetConfig();
        int last = layout::kMaxTrack;
        while (last > 0 && config.TrackName(last).empty()) {
            --last;
        }
        for (int n = 1; n <= last; ++n) {
            const std::string name = config.TrackName(n);
            const std::string shown = name.empty() ? name : doc_.GetLongTrackName(name);
            selection_->addItem(QStringLiteral("%1: %2").arg(n).arg(QString::fromStdString(shown)),
                                n);
        }
    }
    // The same position again where the new list has it; otherwise nothing.
    selection_->setCurrentIndex(selection_->count() > remembered ? remembered : -1);
}

void CScheduleEntryDlg::accept() {
    std::string refusal;
    const auto time = scheduletext::ParseTime(time_->text().toStdString(), refusal);
    if (time && (kind_->currentIndex() < 0 || selection_->currentIndex() < 0)) {
        refusal = "Select a show or a track for this event!";
    }
    if (!refusal.empty()) {
        doc_.GetPrompter().Tell(refusal);
        (time ? static_cast<QWidget*>(selection_) : time_)->setFocus();
        return;
    }
    const bool track = kind_->currentIndex() != kShow;
    const int number = track ? selection_->currentData().toInt() : selection_->currentIndex();
    entry_ = ScheduleSet::MakeEntry(time->hours, time->minutes, track, number);
    QDialog::accept();
}
