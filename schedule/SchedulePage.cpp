#include "schedule/SchedulePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <algorithm>

#include "calendar/YearCalendarCtrl.h"
#include "model/CardwrightDoc.h"
#include "model/ScheduleText.h"
#include "pages/PageFields.h"
#include "schedule/ScheduleEntriesDlg.h"
#include "schedule/SelectScheduleDlg.h"

using ymd = ScheduleDays::Date;

const char* const SchedulePage::kHelpText =
    "Select individual dates by clicking on them.  Select date ranges by clicking and dragging or "
    "clicking and shift-clicking. \n\nSelect all weekdays in a month by clicking on the weekday "
    "above the days in the month.  Select the same weekday in a range of months by clicking in "
    "one month and shift-clicking in another month.\r\n\r\nUndo selections by re-selecting them, "
    "or by clicking the Clear Selection button to clear all selections.  Selected dates are shown "
    "in bright RED text.\r\n\r\nCreate a new schedule by selecting one or more days, then "
    "clicking on New Schedule.  If none of the selected days are already assigned to a schedule, "
    "the New Schedule setup dialog will appear.  If one or more dates are already assigned to "
    "another schedule, a selection dialog will open that will ley you select a new schedule to "
    "create, or one of the other existing schedules to extend to the new dates. The same schedule "
    "will be used for all of the selected dates. \r\n\r\nEdit a schedule by selecting one or more "
    "dates and either double-clicking on one of the selected dates or by clicking on Edit "
    "Schedule.  If more than one schedule is selected by the range, you will be asked which "
    "schedule to edit.  Again, the selected schedule will be used for all selected dates.\r\n\r\n";

namespace {

// The combo's fixed items; the schedules in use follow "Duplicate", and
// "Multiple Scheds!" is always last.
enum ComboItem { kNoSchedule, kCreateNew, kDuplicate, kFirstSchedule };
constexpr ColorRef kSelectedColour = 255;  // bright red

std::optional<ymd> ToDate(const CalendarDate& date) {
    if (!date.IsValid()) {
        return std::nullopt;
    }
    const QDate d = date.Date();
    return std::chrono::year(d.year()) / d.month() / d.day();
}

int CurrentYear() {
    return QDate::currentDate().year();
}

QColor ToColour(ColorRef colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace

SchedulePage::SchedulePage(CCardwrightDoc& doc, QWidget* parent, int year)
    : CPropertyPage(doc, PageId::Schedule, parent),
      days_(doc.Schedules(), year != 0 ? year : CurrentYear()),
      rules_(std::make_unique<ScheduleRules>(days_, doc, static_cast<ScheduleDialogs&>(*this))) {
    // The calendar fits itself into the room its holder keeps for it.
    auto* holder = new QWidget(this);
    holder->setFixedSize(fontMetrics().averageCharWidth() * 347 / 4,
                         fontMetrics().height() * 209 / 8);
    calendar_ = new CYearCalendarCtrl(holder);
    calendar_->setObjectName(QStringLiteral("yearCalendar"));

    // Alt+E, F, P, B and H open the menus; the buttons take other letters.
    auto* edit =
        pagefields::MakeButton(this, QStringLiteral("Edi&t Schedule"), "editScheduleButton");
    auto* create =
        pagefields::MakeButton(this, QStringLiteral("&New Schedule"), "newScheduleButton");
    auto* remove =
        pagefields::MakeButton(this, QStringLiteral("&Remove Schedule"), "removeScheduleButton");
    auto* clear =
        pagefields::MakeButton(this, QStringLiteral("&Clear Selection"), "clearSelectionButton");
    combo_ = new NameCombo(this);
    combo_->setObjectName(QStringLiteral("scheduleCombo"));
    combo_->setMinimumContentsLength(16);
    noBlueStarts_ = new QCheckBox(QStringLiteral("&Disable Schedule Starts on C/Blue"), this);
    noBlueStarts_->setObjectName(QStringLiteral("noBlueStartsCheck"));
    resetClock_ = new QCheckBox(QStringLiteral("Reset Cl&ock on D/White to:"), this);
    resetClock_->setObjectName(QStringLiteral("resetClockCheck"));
    resetTime_ = new QLineEdit(this);
    resetTime_->setObjectName(QStringLiteral("resetTimeEdit"));
    resetTime_->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00:00:000")));
    resetTime_->setAccessibleName(QStringLiteral("Reset Time"));
    auto* help = pagefields::MakeButton(this, QStringLiteral("He&lp"), "helpButton");

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{edit, create, remove, clear}) {
        buttons->addWidget(w);
    }
    buttons->addWidget(combo_, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(noBlueStarts_);
    options->addSpacing(fontMetrics().averageCharWidth() * 2);
    options->addWidget(resetClock_);
    options->addWidget(resetTime_);
    options->addStretch(1);
    options->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(holder, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    layout->addLayout(options);
    layout->addStretch(1);

    Connect(edit, create, remove, clear, help);
}

SchedulePage::~SchedulePage() = default;

void SchedulePage::Connect(QPushButton* edit, QPushButton* create, QPushButton* remove,
                           QPushButton* clear, QPushButton* help) {
    ConnectEdit(edit, &QPushButton::clicked, [this] { Show(rules_->EditFlow()); });
    ConnectEdit(create, &QPushButton::clicked, [this] { Show(rules_->NewFlow()); });
    ConnectEdit(remove, &QPushButton::clicked, [this] { Show(rules_->RemoveFlow()); });
    connect(clear, &QPushButton::clicked, this, &SchedulePage::OnClearSelection);
    ConnectEdit(combo_, &QComboBox::activated, [this] { OnComboChoice(combo_->currentIndex()); });
    connect(help, &QPushButton::clicked, this, [this] {
        if (showHelp_) {
            showHelp_(QString::fromUtf8(kHelpText));
        }
    });
    connect(calendar_, &CYearCalendarCtrl::Clicked, this, &SchedulePage::OnCalendarClicked);
    connect(calendar_, &CYearCalendarCtrl::DoubleClicked, this, [this](auto start, auto end) {
        RunEdit(QStringLiteral("Edit Schedule"),
                [this, start, end] { OnCalendarDoubleClicked(start, end); });
    });
    StoreOnChange({noBlueStarts_, resetClock_});
    connect(resetTime_, &QLineEdit::editingFinished, this, &SchedulePage::OnResetTimeFinished);
}

void SchedulePage::SetDialogs(ScheduleDialogs* dialogs) {
    dialogs_ = dialogs != nullptr ? dialogs : static_cast<ScheduleDialogs*>(this);
    rules_ = std::make_unique<ScheduleRules>(days_, Document(), *dialogs_);
}

ColorRef SchedulePage::ScheduleColour(int n) {
    const auto bit = [n](int b, unsigned weight) { return (n >> b) & 1 ? weight : 0u; };
    const unsigned red = (bit(0, 0x4F) + bit(3, 0x2F) + bit(6, 0x1F)) & 0xFF;
    const unsigned green = (bit(1, 0x8F) + bit(4, 0x4F) + bit(7, 0x2F)) & 0xFF;
    const unsigned blue = (bit(2, 0x8F) + bit(5, 0x4F)) & 0xFF;
    return red | (green << 8) | (blue << 16);
}

bool SchedulePage::OnSetActive() {
    days_.ClearSelections();
    LoadFromDocument();
    if (!calendarSetUp_) {
        SetUpCalendar();
        calendarSetUp_ = true;
    }
    // The schedules may have changed since the page was last in front (a
    // save renumbers them, an undo takes one back).
    RefreshScheduleCombo();
    calendar_->update();
    return CPropertyPage::OnSetActive();
}

void SchedulePage::AfterSave(SaveKind /*kind*/, bool /*saved*/) {
    // A save renumbers the schedules: what the page shows follows them.
    LoadFromDocument();
    ShowSelectionInCombo();
    calendar_->update();
}

void SchedulePage::SetUpCalendar() {
    calendar_->SetCurrentDate(CalendarDate::FromDate(QDate::currentDate()));
    calendar_->SetColourCallback(
        [this](QWidget*, const CalendarDate& date) { return DayColour(date); });
    calendar_->SetFirstMonth(1, days_.Year());
    calendar_->SetCurrentDate(CalendarDate());
    calendar_->SetRangeSelection(true);
    calendar_->SetFirstDayOfWeek(1);  // Sunday
    calendar_->SetGrid(3, 4);
    // It may take the page's whole width, and the height kept for it.
    QWidget* holder = calendar_->parentWidget();
    holder->setFixedWidth(std::max(holder->width(), contentsRect().width() -
                                                        layout()->contentsMargins().left() -
                                                        layout()->contentsMargins().right()));
    calendar_->SizeToFit();
    // The room kept for the calendar shrinks to what it took.
    holder->setFixedSize(calendar_->size());
    calendar_->update();
}

void SchedulePage::LoadFromDocument() {
    const ScheduleSet& schedules = Document().Schedules();
    resetTime_->setText(QString::fromStdString(scheduletext::ResetTimeText(schedules.ResetTime())));
    const CardConfig& config = *Document().GetConfig();
    resetClock_->setChecked(config.Get(field::kResetClockFlag));
    noBlueStarts_->setChecked(config.Get(field::kNoBlueStartsFlag));
}

bool SchedulePage::StoreControls() {
    StoreToDocument();
    return true;  // a refused reset time has been told, and the page may be left
}

void SchedulePage::StoreToDocument() {
    // The day and weekday maps are the document's own; the options and the
    // reset time are what the page holds apart from them.
    CCardwrightDoc& doc = Document();
    CardConfig& config = *doc.GetConfig();
    config.Set(field::kNoBlueStartsFlag, noBlueStarts_->isChecked());
    config.Set(field::kResetClockFlag, resetClock_->isChecked());
    std::string refusal;
    if (const auto time = scheduletext::ParseResetTime(resetTime_->text().toStdString(), refusal)) {
        const std::array<std::uint8_t, 3> wanted = scheduletext::ResetTimeBytes(*time);
        doc.Schedules().SetResetTime(wanted[0], wanted[1], wanted[2]);
    } else {
        const QScopedValueRollback<bool> guard(telling_, true);
        Tell(QString::fromStdString(refusal));
    }
}

void SchedulePage::OnResetTimeFinished() {
    // Leaving the page hides it, which takes the focus from the field; the
    // store that leaves the page tells of a refused time, once. Nor does the
    // field store while its refusal is being told, or when only the window
    // lost the keyboard.
    if (telling_ || !isVisible() || !isActiveWindow()) {
        return;
    }
    RunEdit(
        StepName(resetTime_), [this] { StoreToDocument(); }, resetTime_);
}

void SchedulePage::RebuildScheduleCombo() {
    combo_->clear();
    combo_->addItem(QStringLiteral("No Schedule"), 0);
    combo_->addItem(QStringLiteral("Create New Schedule"), 0);
    combo_->addItem(QStringLiteral("Duplicate Selected Schedule"), 0);
    // Each schedule with a swatch of the colour its days are drawn in.
    const int side = fontMetrics().height() * 3 / 4;
    for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
        if (Document().Schedules().InUse(n)) {
            QPixmap swatch(side, side);
            swatch.fill(ToColour(ScheduleColour(n)));
            combo_->addItem(
                QIcon(swatch),
                QString::fromStdString(ScheduleRules::NameOf(Document().ScheduleNames(), n)), n);
        }
    }
    combo_->addItem(QStringLiteral("Multiple Scheds!"), 0);
    combo_->setCurrentIndex(-1);
}

void SchedulePage::RefreshScheduleCombo() {
    const int index = combo_->currentIndex();
    const int shown = index >= 0 ? combo_->itemData(index).toInt() : 0;
    const bool last = index >= 0 && index == combo_->count() - 1;
    RebuildScheduleCombo();
    if (shown != 0) {
        combo_->setCurrentIndex(combo_->findData(shown));
    } else if (index >= 0) {
        combo_->setCurrentIndex(last ? combo_->count() - 1 : index);
    }
}

void SchedulePage::ShowSelectionInCombo() {
    RebuildScheduleCombo();
    const ScheduleRules::Classification c = rules_->ClassifySelection();
    int index = -1;
    switch (c.kind) {
        case ScheduleRules::SelNone:
            break;
        case ScheduleRules::SelUnscheduled:
            index = kNoSchedule;
            break;
        case ScheduleRules::SelMultiple:
            index = combo_->count() - 1;
            break;
        default:
            index = combo_->findData(c.schedule);
            if (index < kFirstSchedule) {
                index = -1;
            }
    }
    combo_->setCurrentIndex(index);
}

void SchedulePage::Show(const ScheduleRules::Outcome& outcome) {
    if (outcome.redraw) {
        RedrawCalendar();
    }
    if (outcome.store) {
        StoreToDocument();
    }
    if (outcome.commit) {
        CommitSelection();
    }
}

void SchedulePage::ClearCalendarRange() {
    // A day before any year shown: nothing on the calendar is picked.
    calendar_->SetSelection(CalendarDate::FromDays(-1), CalendarDate::FromDays(-1));
}

void SchedulePage::RedrawCalendar() {
    ClearCalendarRange();
    calendar_->update();
}

void SchedulePage::CommitSelection() {
    ShowSelectionInCombo();
    days_.ClearSelection();
    RedrawCalendar();
}

void SchedulePage::OnClearSelection() {
    days_.ClearSelection();
    RedrawCalendar();
    RebuildScheduleCombo();
    combo_->setCurrentIndex(-1);
}

ColorRef SchedulePage::DayColour(const CalendarDate& date) const {
    const auto day = ToDate(date);
    if (!day) {
        return 0;
    }
    int value = 0;
    if (date.IsWeekdayMarker()) {
        const auto [m, w] = ScheduleDays::CellOf(*day);
        if (days_.weekdaySelected[m][w] != 0) {
            return kSelectedColour;
        }
        value = days_.WeekdaySchedule(m, w);
    } else {
        const int d = days_.DayOfYear(*day);
        if (days_.daySelected[d] != 0) {
            return kSelectedColour;
        }
        value = days_.DaySchedule(d);
    }
    return ScheduleColour(value);
}

void SchedulePage::OnCalendarClicked(const CalendarDate& start, const CalendarDate& end) {
    const bool shift = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
    if (!days_.Click(ToDate(start), ToDate(end), end.IsWeekdayMarker(), shift)) {
        return;  // a range outside this year
    }
    calendar_->update();
    ShowSelectionInCombo();
}

void SchedulePage::OnCalendarDoubleClicked(const CalendarDate& start, const CalendarDate& end) {
    const auto from = ToDate(start);
    if (!from) {
        return;
    }
    days_.DoubleClick(*from, end.IsWeekdayMarker());
    calendar_->update();
    Show(rules_->EditFlow());
}

void SchedulePage::OnComboChoice(int index) {
    if (index < 0) {
        return;
    }
    const ScheduleRules::Classification c = rules_->ClassifySelection();
    if (c.kind != ScheduleRules::SelNone) {
        OnComboWithSelection(index, c);
        return;
    }
    const int last = combo_->count() - 1;
    const int n = index >= kFirstSchedule && index < last ? combo_->itemData(index).toInt() : 0;
    if (n != 0) {
        days_.SelectSchedule(n);
        calendar_->update();
        return;
    }
    if (index == kCreateNew || index == kDuplicate) {
        Tell(QStringLiteral("Select some dates first!"));
    }
    combo_->setCurrentIndex(-1);
}

void SchedulePage::OnComboWithSelection(int index, const ScheduleRules::Classification& c) {
    const int last = combo_->count() - 1;
    const int n = index >= kFirstSchedule && index < last ? combo_->itemData(index).toInt() : 0;
    const auto showIfDone = [this](const ScheduleRules::Outcome& outcome) {
        Show(outcome);
        if (outcome.done) {
            ShowSelectionInCombo();
        }
    };
    if (index == kNoSchedule) {
        if (c.kind == ScheduleRules::SelUnscheduled) {
            combo_->setCurrentIndex(-1);
        } else {
            Show(rules_->RemoveFlow());
        }
    } else if (index == kCreateNew) {
        showIfDone(rules_->NewScheduleForSelection());
    } else if (index == kDuplicate) {
        if (c.kind == ScheduleRules::SelOneWider || c.kind == ScheduleRules::SelOneExact) {
            showIfDone(rules_->DuplicateScheduleForSelection(c.schedule));
        } else {
            Tell(
                QStringLiteral("Select a single schedule to duplicate, then  select the new "
                               "schedule for all desired dates."));
        }
    } else if (n == 0) {
        combo_->setCurrentIndex(-1);  // "Multiple Scheds!"
    } else if (Document().GetPrompter().Ask(
                   "Replace the current schedule with the new one on the selected dates?",
                   Prompter::Buttons::YesNo, Prompter::Icon::None) == Prompter::Answer::Yes) {
        Show(rules_->AssignScheduleToSelection(n, std::string()));
    } else {
        // Nothing selected now: the same choice selects every cell of n.
        OnClearSelection();
        combo_->setCurrentIndex(index);
        OnComboChoice(index);
    }
}

std::optional<ScheduleDialogs::Edited> SchedulePage::EditEntries(
    const std::vector<std::uint32_t>& entries, const std::string& name) {
    CScheduleEntriesDlg dialog(Document(), entries, QString::fromStdString(name), this);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return Edited{dialog.Entries(), dialog.Name().toStdString()};
}

ScheduleDialogs::Choice SchedulePage::SelectSchedule(
    bool severalSchedules, const std::vector<std::pair<int, std::string>>& list) {
    std::vector<CSelectScheduleDlg::Choice> choices;
    for (const auto& [number, name] : list) {
        choices.push_back({number, name});
    }
    CSelectScheduleDlg dialog(
        Document().GetPrompter(),
        severalSchedules ? CSelectScheduleDlg::kSeveralSchedules : CSelectScheduleDlg::kAnySchedule,
        std::move(choices), this);
    Choice choice;
    choice.ok = dialog.exec() == QDialog::Accepted;
    choice.chosen = dialog.Chosen();
    choice.edit = dialog.EditFlag();
    choice.erase = dialog.DeleteFlag();
    return choice;
}
