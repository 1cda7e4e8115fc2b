#include "pages/MpuSetup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <algorithm>

#include "model/CardwrightDoc.h"
#include "model/FileIo.h"
#include "model/Text.h"

using animation::Reception;

namespace {

// The mode buttons, in the order of the modes they stand for.
struct ModeButton {
    const char* name;
    const char* text;
};
constexpr ModeButton kModeButtons[] = {
    {"dmxTransmitRadio", "DMX-512 &Transmit Enabled"},
    {"dmxReceptionRadio", "Enable &DMX-512 Reception"},
    {"midiReceptionRadio", "Enable &MIDI Reception"},
    {"netSerialReceptionRadio", "Enable &NetSerial Reception"},
    {"irRemoteReceptionRadio", "Enable &IR Remote Control Reception"},
};

// What the three number rows say and reach, in MIDI mode and in the others.
// A row keeps its Alt key in either meaning.
struct NumberRow {
    const char* name;
    const char* midiLabel;
    int midiLow, midiHigh;
    const char* label;
};
constexpr NumberRow kNumberRows[] = {
    {"addressOrChannel", "MIDI Ch&annel Number", 1, 16, "Tessel Serial &Address"},
    {"playerControl", "Player &Control First Note Number", 0, 127,
     "Player &Control Channel Number"},
    {"firstChannelOrNote", "Animation First Note N&umber", 0, 127,
     "First Animation Channel N&umber"},
};
constexpr int kSerialHigh = 255;

// "SHOW.A01  05/12/2026 14:03:07": the name and the file's last write in the
// user's own date and time format.
QString ShowFileText(const showfiles::ShowFile& file) {
    const auto sinceEpoch = static_cast<std::int64_t>(file.time) - platform::kUnixEpochInCardTime;
    const QDateTime written = QDateTime::fromMSecsSinceEpoch(sinceEpoch / 10000);
    const QLocale locale;
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+")));  // no time zone
    return QStringLiteral("%1  %2 %3")
        .arg(QString::fromStdString(file.name),
             locale.toString(written.date(), QLocale::ShortFormat),
             locale.toString(written.time(), timeFormat));
}

}  // namespace

CMpuSetup::CMpuSetup(CCardwrightDoc& doc, QWidget* parent)
    : CPropertyPage(doc, PageId::AnimationControlSetup, parent) {
    // Made in reading order, which is the order Tab takes.
    auto* top = new QHBoxLayout;
    top->addWidget(BuildModeGroup(), 1);
    top->addLayout(BuildNumberRows(), 1);

    auto* flash = new QHBoxLayout;
    fromFlash_ = new QCheckBox(QStringLiteral("Enable Animation From Fla&sh"), this);
    fromFlash_->setObjectName(QStringLiteral("animationFromFlashCheck"));
    outputsOff_ = new QCheckBox(QStringLiteral("Disable &Outputs When Stopped"), this);
    outputsOff_->setObjectName(QStringLiteral("outputsOffCheck"));
    writeProtect_ = new QCheckBox(QStringLiteral("&Write Protect Flash Memory"), this);
    writeProtect_->setObjectName(QStringLiteral("writeProtectCheck"));
    for (QCheckBox* check : {fromFlash_, outputsOff_, writeProtect_}) {
        flash->addWidget(check);
    }
    flash->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(flash);
    layout->addWidget(BuildShowFileGroups());
    layout->addStretch(1);

    for (const pagefields::NumberEdit& number : numbers_) {
        StoreOnChange({number.edit, number.spin});
    }
    StoreOnChange({dmxChecksum_, midiNotes_, fromFlash_, outputsOff_, writeProtect_, showFiles_,
                   nextBoot_, alwaysLoad_});
}

QWidget* CMpuSetup::BuildModeGroup() {
    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("receptionGroup"));
    auto* column = new QVBoxLayout(group);
    modes_ = new QButtonGroup(group);
    for (int mode = 0; mode < static_cast<int>(std::size(kModeButtons)); ++mode) {
        auto* radio = new QRadioButton(QString::fromLatin1(kModeButtons[mode].text), group);
        radio->setObjectName(QString::fromLatin1(kModeButtons[mode].name));
        modes_->addButton(radio, mode);
        column->addWidget(radio);
    }
    pagefields::TabToChecked(modes_);
    column->addSpacing(fontMetrics().height() / 2);
    dmxChecksum_ = new QCheckBox(QStringLiteral("Enable DMX Chec&ksum"), group);
    dmxChecksum_->setObjectName(QStringLiteral("dmxChecksumCheck"));
    midiNotes_ = new QCheckBox(QStringLiteral("MIDI Notes Tri&gger Animation Playback"), group);
    midiNotes_->setObjectName(QStringLiteral("midiNotesCheck"));
    column->addWidget(dmxChecksum_);
    column->addWidget(midiNotes_);
    ConnectEdit(modes_, &QButtonGroup::idClicked, [this] { OnModeClicked(modes_->checkedId()); });
    return group;
}

QLayout* CMpuSetup::BuildNumberRows() {
    auto* grid = new QGridLayout;
    for (int n = 0; n < kNumberCount; ++n) {
        const NumberRow& row = kNumberRows[n];
        numbers_[n] =
            pagefields::MakeNumberEdit(this, QString::fromLatin1(row.name), 0, kSerialHigh);
        labels_[n] = new QLabel(QString::fromLatin1(row.label), this);
        labels_[n]->setObjectName(QString::fromLatin1(row.name) + QStringLiteral("Label"));
        labels_[n]->setBuddy(numbers_[n].edit);
        auto* pair = new QHBoxLayout;
        pair->setSpacing(0);
        pair->addWidget(numbers_[n].edit);
        pair->addWidget(numbers_[n].spin);
        pair->addStretch(1);
        grid->addWidget(labels_[n], n, 0);
        grid->addLayout(pair, n, 1);
    }
    // Wide enough for the labels of either meaning, so the fields stay put.
    int labelWidth = 0;
    for (const NumberRow& row : kNumberRows) {
        for (const char* text : {row.label, row.midiLabel}) {
            labelWidth = std::max(
                labelWidth,
                fontMetrics().horizontalAdvance(pagefields::WithoutMnemonic(QLatin1String(text))));
        }
    }
    grid->setColumnMinimumWidth(0, labelWidth);
    grid->setRowStretch(kNumberCount, 1);
    return grid;
}

QWidget* CMpuSetup::BuildShowFileGroups() {
    auto* row = new QWidget(this);
    auto* columns = new QHBoxLayout(row);
    columns->setContentsMargins(0, 0, 0, 0);

    // The group's Alt key goes to the list of files.
    auto* available = new QGroupBox(QStringLiteral(" A&vailable Files For Download "), row);
    auto* availableColumn = new QVBoxLayout(available);
    showFiles_ = new NameCombo(available);
    showFiles_->setObjectName(QStringLiteral("showFileCombo"));
    showFiles_->setMinimumContentsLength(24);
    nextBoot_ =
        new QCheckBox(QStringLiteral("Make this the current file on ne&xt boot"), available);
    nextBoot_->setObjectName(QStringLiteral("nextBootCheck"));
    availableColumn->addWidget(showFiles_);
    availableColumn->addWidget(nextBoot_);

    currentGroup_ = new QGroupBox(row);
    currentGroup_->setObjectName(QStringLiteral("currentShowGroup"));
    auto* currentColumn = new QVBoxLayout(currentGroup_);
    currentName_ = new QLabel(currentGroup_);
    currentName_->setObjectName(QStringLiteral("currentShowLabel"));
    currentName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long name is cut at the group's edge; its tooltip holds it whole.
    currentName_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    alwaysLoad_ =
        new QCheckBox(QStringLiteral("Always &load current file to flash on boot"), currentGroup_);
    alwaysLoad_->setObjectName(QStringLiteral("alwaysLoadCheck"));
    currentColumn->addWidget(currentName_);
    currentColumn->addWidget(alwaysLoad_);

    columns->addWidget(available, 1);
    columns->addWidget(currentGroup_, 1);
    return row;
}

bool CMpuSetup::OnSetActive() {
    const CardConfig& config = *Document().GetConfig();
    dmxChecksum_->setChecked(config.Get(field::kDmxChecksumFlag));
    midiNotes_->setChecked(config.Get(field::kMidiNotesFlag));
    fromFlash_->setChecked(config.Get(field::kAnimationFromFlashFlag));
    outputsOff_->setChecked(config.Get(field::kOutputsOffFlag));
    writeProtect_->setChecked(config.Get(field::kFlashWriteProtectFlag));
    ShowMode(animation::ReceptionOf(config));
    numbers_[kPlayerControl].Show(static_cast<int>(config.Get(field::kPlayerControlChannel)));
    ShowShowFiles();
    return CPropertyPage::OnSetActive();
}

void CMpuSetup::ShowMode(Reception mode) {
    shownMode_ = mode;
    modes_->button(static_cast<int>(mode))->setChecked(true);
    const bool midi = mode == Reception::Midi;
    for (int n = 0; n < kNumberCount; ++n) {
        const NumberRow& row = kNumberRows[n];
        labels_[n]->setText(QString::fromLatin1(midi ? row.midiLabel : row.label));
        numbers_[n].SetRange(midi ? row.midiLow : 0, midi ? row.midiHigh : kSerialHigh);
    }
    const animation::ModeNumbers shown = animation::ShownNumbers(*Document().GetConfig(), mode);
    numbers_[kAddressOrChannel].Show(static_cast<int>(shown.addressOrChannel.value_or(0)));
    numbers_[kFirstChannelOrNote].Show(static_cast<int>(shown.firstChannelOrNote.value_or(0)));
    // The player control number means the same in every mode: its text
    // stays, only its label and arrows change.
}

void CMpuSetup::OnModeClicked(int mode) {
    if (!KeepModeNumbers()) {
        modes_->button(static_cast<int>(shownMode_))->setChecked(true);
        return;
    }
    ShowMode(static_cast<Reception>(mode));
    // The reception is the change the user made: stored now, as one step.
    animation::SetReception(*Document().GetConfig(), shownMode_);
}

std::optional<int> CMpuSetup::Read(Number n, bool tell) {
    const auto value = pagefields::ParseWholeNumber(numbers_[n].edit->text());
    if (!value && tell) {
        Tell(pagefields::NumberPrompt(
                 QStringLiteral("for \"%1\"").arg(pagefields::WithoutMnemonic(labels_[n]->text())),
                 true),
             Prompter::Icon::Warning);
        numbers_[n].edit->setFocus();
        numbers_[n].edit->selectAll();
    }
    return value;
}

bool CMpuSetup::KeepModeNumbers() {
    const auto address = Read(kAddressOrChannel, true);
    const auto first = address ? Read(kFirstChannelOrNote, true) : std::nullopt;
    if (!first) {
        return false;
    }
    animation::KeepNumbers(*Document().GetConfig(), shownMode_, {address, first});
    return true;
}

bool CMpuSetup::StoreControls() {
    // A field without a number is told of (the first one) and keeps its
    // stored value; everything else is stored, for the page may have to be
    // left all the same.
    std::array<std::optional<int>, kNumberCount> values;
    bool refused = false;
    for (int n = 0; n < kNumberCount; ++n) {
        values[n] = Read(static_cast<Number>(n), !refused);
        refused = refused || !values[n];
    }
    CardConfig& config = *Document().GetConfig();
    config.Set(field::kAnimationFromFlashFlag, fromFlash_->isChecked());
    config.Set(field::kOutputsOffFlag, outputsOff_->isChecked());
    config.Set(field::kFlashWriteProtectFlag, writeProtect_->isChecked());
    if (values[kPlayerControl]) {
        animation::SetPlayerControl(config, *values[kPlayerControl]);
    }
    animation::KeepNumbers(config, shownMode_,
                           {values[kAddressOrChannel], values[kFirstChannelOrNote]});
    config.Set(field::kDmxChecksumFlag, dmxChecksum_->isChecked());
    // A folder that could not be read leaves the show file settings alone.
    if (!scan_.error) {
        const QVariant chosen = showFiles_->currentData();
        showfiles::Choice choice;
        if (chosen.isValid()) {
            choice.file = chosen.value<std::size_t>();
        }
        choice.nextBoot = nextBoot_->isChecked();
        choice.alwaysLoad = alwaysLoad_->isChecked();
        showfiles::Store(config, scan_, choice);
    }
    animation::SetReception(config, shownMode_);
    config.Set(field::kMidiNotesFlag, midiNotes_->isChecked());
    return !refused;
}

void CMpuSetup::ShowShowFiles() {
    const CardConfig& config = *Document().GetConfig();
    const std::filesystem::path folder = Document().CardDirectory();
    scan_ = showfiles::Look(folder, config);
    if (scan_.error && unreadableTold_ != folder) {
        unreadableTold_ = folder;
        Tell(QString::fromStdString(text::Concat(
                 {"Unable to read the show files in ", fileio::Quoted(folder), ":\n",
                  scan_.error.message(), ".\n\nThe show file settings are kept as they are."})),
             Prompter::Icon::Warning);
    } else if (!scan_.error) {
        unreadableTold_.reset();
    }
    for (QWidget* control : std::initializer_list<QWidget*>{showFiles_, nextBoot_, alwaysLoad_}) {
        control->setEnabled(!scan_.error);
    }

    // Sorted by their text, each item holding its file's place in the scan.
    std::vector<std::pair<QString, std::size_t>> items;
    for (std::size_t i = 0; i < scan_.files.size(); ++i) {
        items.emplace_back(ShowFileText(scan_.files[i]), i);
    }
    std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
    });
    showFiles_->clear();
    for (const auto& [text, index] : items) {
        showFiles_->addItem(text, QVariant::fromValue(index));
    }

    // A request already made for the next boot stays chosen while its file
    // is there; otherwise a newer file than the current one is offered.
    std::optional<std::size_t> offered = scan_.newer;
    const std::string chosen = config.Get(field::kChosenDownloadFile);
    if (config.Get(field::kNextBootFlag)) {
        for (std::size_t i = 0; i < scan_.files.size(); ++i) {
            if (scan_.files[i].name == chosen) {
                offered = i;
            }
        }
    }
    showFiles_->setCurrentIndex(offered ? showFiles_->findData(QVariant::fromValue(*offered)) : -1);
    nextBoot_->setChecked(config.Get(field::kNextBootFlag));
    alwaysLoad_->setChecked(config.Get(field::kLoadOnBootFlag));

    const std::string current = config.Get(field::kCurrentDownloadFile);
    QString currentText = QString::fromStdString(current);
    if (!current.empty() && !scan_.error && !scan_.currentPresent) {
        currentText += QStringLiteral("  (not on the card)");
    }
    currentName_->setText(currentText);
    currentName_->setToolTip(currentText);
    currentGroup_->setTitle(scan_.newer
                                ? QStringLiteral(" Current Autolownload File - NEWER AVAILABLE! ")
                                : QStringLiteral(" Current Autolownload File "));
}
