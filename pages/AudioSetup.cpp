#include "pages/AudioSetup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "model/CardwrightDoc.h"
#include "model/LevelChannels.h"
#include "pages/PageFields.h"

namespace {

constexpr int kLevelMax = 63;
constexpr int kGainMax = 12;
constexpr int kBassLow = 20;
constexpr int kBassHigh = 600;
constexpr int kTrebleLow = 8000;
constexpr int kTrebleHigh = 16000;

// The level fields of each row, left then right, and what they store.
constexpr Field<std::uint32_t> kLevelFields[] = {field::kMainVolumeLeft, field::kMainVolumeRight,
                                                 field::kHalfMuteVolumeLeft,
                                                 field::kHalfMuteVolumeRight};
constexpr Field<std::uint32_t> kChannelFields[] = {field::kLevelControlChannelLeft,
                                                   field::kLevelControlChannelRight};
constexpr Field<bool> kRealtimeFields[] = {field::kRealtimeLevelLeft, field::kRealtimeLevelRight};

}  // namespace

CAudioSetup::CAudioSetup(CCardwrightDoc& doc, QWidget* parent)
    : CPropertyPage(doc, PageId::AudioSetup, parent) {
    // Made in reading order, which is the order Tab takes.
    auto* levels = new QGridLayout;
    AddLevelRows(levels);
    realtimeRows_ = BuildRealtimeRows();
    auto* tone = new QGridLayout;
    AddToneRows(tone);
    amplifiers_ = new QCheckBox(QStringLiteral("Enable Power &Amplifiers"), this);
    amplifiers_->setObjectName(QStringLiteral("powerAmplifiersCheck"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(levels);
    layout->addWidget(realtimeRows_);
    layout->addSpacing(fontMetrics().height());
    layout->addLayout(tone);
    layout->addWidget(amplifiers_);
    layout->addStretch(1);

    for (QCheckBox* check : realtime_) {
        connect(check, &QCheckBox::clicked, this, &CAudioSetup::UpdateEnabling);
    }
    for (const NumberField& number : fields_) {
        StoreOnChange({number.edit, number.spin});
    }
    StoreOnChange({realtime_[0], realtime_[1], amplifiers_});
}

CAudioSetup::NumberField CAudioSetup::MakeField(const char* objectName, int low, int high) {
    return {pagefields::MakeNumberEdit(this, QString::fromLatin1(objectName), low, high)};
}

namespace {

// An edit with its arrows, centred under a channel heading or at the start
// of its cell.
QHBoxLayout* Pair(QLineEdit* edit, QSpinBox* spin, bool centred = true) {
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    if (centred) {
        row->addStretch(1);
    }
    row->addWidget(edit);
    row->addWidget(spin);
    row->addStretch(1);
    return row;
}

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

void CAudioSetup::AddLevelRows(QGridLayout* grid) {
    grid->addWidget(Heading(QStringLiteral("Left Channel"), this), 0, 1);
    grid->addWidget(Heading(QStringLiteral("Right Channel"), this), 0, 2);
    const char* names[] = {"mainVolumeLeft", "mainVolumeRight", "halfMuteLeft", "halfMuteRight"};
    const QString labels[] = {QStringLiteral("&Main Volume Level"),
                              QStringLiteral("'Half M&ute' Volume Level")};
    for (int row = 0; row < 2; ++row) {
        auto* label = new QLabel(labels[row], this);
        grid->addWidget(label, row + 1, 0);
        for (int side = 0; side < 2; ++side) {
            const int f = kMainLeft + 2 * row + side;
            fields_[f] = MakeField(names[f], 0, kLevelMax);
            grid->addLayout(Pair(fields_[f].edit, fields_[f].spin), row + 1, side + 1);
        }
        // The row's Alt key goes to its left channel.
        label->setBuddy(fields_[kMainLeft + 2 * row].edit);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
}

QWidget* CAudioSetup::BuildRealtimeRows() {
    // On the audio-only players these rows stay covered: a blank panel that
    // keeps its place, so the page looks the same for every model.
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("realtimePanel"));
    QSizePolicy policy = panel->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    panel->setSizePolicy(policy);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* realtimeLabel = new QLabel(QStringLiteral("Enable &Realtime Level Control"), panel);
    auto* channelLabel = new QLabel(QStringLiteral("&Level Control Channels"), panel);
    grid->addWidget(realtimeLabel, 0, 0);
    grid->addWidget(channelLabel, 1, 0);
    const char* checks[] = {"realtimeLeftCheck", "realtimeRightCheck"};
    const char* channels[] = {"levelChannelLeft", "levelChannelRight"};
    for (int side = 0; side < 2; ++side) {
        realtime_[side] = new QCheckBox(panel);
        realtime_[side]->setObjectName(QString::fromLatin1(checks[side]));
        realtime_[side]->setAccessibleName(side == 0
                                               ? QStringLiteral("Left realtime level control")
                                               : QStringLiteral("Right realtime level control"));
        grid->addWidget(realtime_[side], 0, side + 1, Qt::AlignHCenter);
    }
    for (int side = 0; side < 2; ++side) {
        NumberField& f = fields_[kChannelLeft + side];
        f = MakeField(channels[side], 0, 512);
        f.edit->setParent(panel);
        f.spin->setParent(panel);
        grid->addLayout(Pair(f.edit, f.spin), 1, side + 1);
    }
    realtimeLabel->setBuddy(realtime_[0]);
    channelLabel->setBuddy(fields_[kChannelLeft].edit);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    return panel;
}

void CAudioSetup::AddToneRows(QGridLayout* grid) {
    struct Row {
        Field field;
        const char* name;
        const char* label;
        int low;
        int high;
    };
    const Row rows[] = {
        {kBassFrequency, "bassFrequency", "Bass &Corner Freq (Hz)", kBassLow, kBassHigh},
        {kBassGain, "bassGain", "Bass &Gain", -kGainMax, kGainMax},
        {kTrebleFrequency, "trebleFrequency", "&Treble Corner Freq (Hz)", kTrebleLow, kTrebleHigh},
        {kTrebleGain, "trebleGain", "Treble Ga&in", -kGainMax, kGainMax},
    };
    // The second column of labels keeps clear of the first column's fields.
    grid->setHorizontalSpacing(2 * fontMetrics().averageCharWidth());
    for (int i = 0; i < 4; ++i) {
        const Row& r = rows[i];
        fields_[r.field] = MakeField(r.name, r.low, r.high);
        auto* label = new QLabel(QString::fromLatin1(r.label), this);
        label->setBuddy(fields_[r.field].edit);
        grid->addWidget(label, i / 2, 2 * (i % 2));
        grid->addLayout(Pair(fields_[r.field].edit, fields_[r.field].spin, false), i / 2,
                        2 * (i % 2) + 1);
    }
}

void CAudioSetup::Show(Field f, int value) {
    NumberField& n = fields_[f];
    n.loaded = value;
    n.Show(value);
}

bool CAudioSetup::OnSetActive() {
    realtimeRows_->setVisible(cover_ == 0);
    const CardConfig& config = *Document().GetConfig();
    const LevelChannels channels(config);
    for (int i = 0; i < 4; ++i) {
        Show(static_cast<Field>(kMainLeft + i), static_cast<int>(config.Get(kLevelFields[i])));
    }
    for (int side = 0; side < 2; ++side) {
        fields_[kChannelLeft + side].spin->setRange(channels.Low(), channels.High());
        Show(static_cast<Field>(kChannelLeft + side),
             channels.Shown(config.Get(kChannelFields[side])));
        realtime_[side]->setChecked(config.Get(kRealtimeFields[side]));
    }
    Show(kBassFrequency, static_cast<int>(config.Get(field::kBassCornerFrequency)));
    Show(kBassGain, config.Get(field::kBassGain));
    Show(kTrebleFrequency, static_cast<int>(config.Get(field::kTrebleCornerFrequency)));
    Show(kTrebleGain, config.Get(field::kTrebleGain));
    amplifiers_->setChecked(config.Get(field::kPowerAmplifiersFlag));
    UpdateEnabling();
    return CPropertyPage::OnSetActive();
}

void CAudioSetup::UpdateEnabling() {
    const LevelChannels channels(*Document().GetConfig());
    for (int side = 0; side < 2; ++side) {
        const bool enabled = channels.Enabled(realtime_[side]->isChecked());
        fields_[kChannelLeft + side].edit->setEnabled(enabled);
        fields_[kChannelLeft + side].spin->setEnabled(enabled);
    }
}

std::optional<int> CAudioSetup::Read(Field f, int low, int high) {
    const NumberField& n = fields_[f];
    const auto value = pagefields::ParseWholeNumber(n.edit->text());
    // What the card already held stands even where the page's range is
    // narrower; only what the user typed is held to it.
    if (value && (*value == n.loaded || (*value >= low && *value <= high))) {
        return value;
    }
    Tell(pagefields::RangePrompt(low, high), Prompter::Icon::Warning);
    n.edit->setFocus();
    n.edit->selectAll();
    return std::nullopt;
}

std::optional<int> CAudioSetup::ReadChannel(Field f, const LevelChannels& channels) {
    // A channel is stored as typed whatever the arrows reach; only what the
    // field cannot hold is refused, and below the arrows' range the prompt
    // names that range (a 0 where channels count from 1).
    const NumberField& n = fields_[f];
    const auto value = pagefields::ParseWholeNumber(n.edit->text());
    if (value && channels.Stored(*value)) {
        return value;
    }
    const bool low = !value || *value < channels.Low();
    Tell(pagefields::RangePrompt(channels.Low(), low ? channels.High() : channels.Widest()),
         Prompter::Icon::Warning);
    n.edit->setFocus();
    n.edit->selectAll();
    return std::nullopt;
}

bool CAudioSetup::StoreControls() {
    CardConfig& config = *Document().GetConfig();
    const LevelChannels channels(config);
    std::array<int, kFieldCount> values{};
    for (int f = 0; f < kFieldCount; ++f) {
        const auto field = static_cast<Field>(f);
        std::optional<int> value;
        if (f == kBassGain || f == kTrebleGain) {
            value = Read(field, -kGainMax, kGainMax);
        } else if (f == kBassFrequency) {
            value = Read(field, kBassLow, kBassHigh);
        } else if (f == kTrebleFrequency) {
            value = Read(field, kTrebleLow, kTrebleHigh);
        } else if (f == kChannelLeft || f == kChannelRight) {
            value = ReadChannel(field, channels);
        } else {
            value = Read(field, 0, kLevelMax);
        }
        if (!value) {
            return false;
        }
        values[f] = *value;
    }
    for (int i = 0; i < 4; ++i) {
        config.Set(kLevelFields[i], static_cast<std::uint32_t>(values[kMainLeft + i]));
    }
    for (int side = 0; side < 2; ++side) {
        config.Set(kRealtimeFields[side], realtime_[side]->isChecked());
        config.Set(kChannelFields[side], *channels.Stored(values[kChannelLeft + side]));
    }
    config.Set(field::kBassCornerFrequency, static_cast<std::uint32_t>(values[kBassFrequency]));
    config.Set(field::kBassGain, values[kBassGain]);
    config.Set(field::kTrebleCornerFrequency, static_cast<std::uint32_t>(values[kTrebleFrequency]));
    config.Set(field::kTrebleGain, values[kTrebleGain]);
    config.Set(field::kPowerAmplifiersFlag, amplifiers_->isChecked());
    return true;
}
