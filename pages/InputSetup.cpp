#include "pages/InputSetup.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "model/CardwrightDoc.h"
#include "model/Prompter.h"
#include "pages/PageFields.h"

namespace {

using Kind = InputAction::Kind;

// The radio buttons of a side, in the order of InputAction::Kind, with the
// Alt key each has on the close side and on the open side. The page's texts
// hold one letter fewer than it has labelled controls (the menu bar's
// letters aside): the open side's last button goes without.
struct KindButton {
    const char* closeText;
    const char* openText;
    const char* name;
};
constexpr KindButton kKindButtons[] = {
    {"&Start playing", "Start playin&g", "StartRadio"},
    {"S&top playing", "St&op playing", "StopRadio"},
    {"P&ause or Resume", "Pause or Resu&me", "PauseRadio"},
    {"Do not start or stop an&ything.", "Do not start or stop anything.", "NothingRadio"},
};

// The track choice entries before the tracks, in the order of
// InputAction::Choice.
constexpr const char* kFixedChoices[InputAction::kFixedChoices] = {
    "    whatever is next",
    "    the next higher track",
    "    the same track again",
    "    a random track",
};

constexpr const char* kBinaryHeader = "7  6  5  4  3  2  1  0 ";

// Seconds a user may type, and what the arrows step through, in tenths.
struct SecondsRange {
    double high;
    int maxTenths;
};
constexpr SecondsRange kDelayRange{999.9, CInputSetup::kDelayMaxTenths};
constexpr SecondsRange kFadeTimeRange{9.9, CInputSetup::kFadeTimeMaxTenths};

// Tenths for a typed number within range; nothing otherwise.
std::optional<int> TenthsTyped(const QString& text, const SecondsRange& range) {
    const auto seconds = pagefields::ParseNumber(text);
    if (!seconds || *seconds < 0.0 || *seconds > range.high) {
        return std::nullopt;
    }
    return pagefields::TenthsOf(*seconds, range.maxTenths);
}

QString RefusalFor(const SecondsRange& range) {
    return pagefields::RangePrompt(0, range.high);
}

void SetEntries(QComboBox* combo, const QStringList& entries) {
    if (combo->count() != entries.size()) {
        combo->clear();
        combo->addItems(entries);
        return;
    }
    for (int i = 0; i < entries.size(); ++i) {
        combo->setItemText(i, entries[i]);
    }
}

QComboBox* MakeCombo(QWidget* parent, const QString& name, const QStringList& entries) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(entries);
    return combo;
}

}  // namespace

CInputSetup::CInputSetup(CCardwrightDoc& doc, PageId id, QWidget* parent)
    : CPropertyPage(doc, id, parent) {
    sides_[0].side = inputs::Side::Close;
    sides_[1].side = inputs::Side::Open;
    BuildControls();
}

CInputSetup::~CInputSetup() {
    // The controls go after this object; nothing they say on the way may
    // reach it.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
}

void CInputSetup::BuildControls() {
    // Made in the order the user meets them, which is also the Tab order.
    QLayout* top = BuildChooseArea();
    QWidget* actions = BuildActionArea();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(actions);
    layout->addStretch(1);
    ConnectControls();
}

QLayout* CInputSetup::BuildChooseArea() {
    auto* inputLabel = new QLabel(QStringLiteral("&Input Bit:"), this);
    input_ = new QComboBox(this);
    input_->setObjectName(QStringLiteral("inputCombo"));
    inputLabel->setBuddy(input_);
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("modeCombo"));
    // Until an input is shown the list names input 0.
    for (std::uint32_t mode = 0; mode < inputs::BinaryMode(inputs::kBinaryBits); ++mode) {
        mode_->addItem(QString::fromStdString(inputs::InputListEntry(0, mode)));
    }
    // Both lists keep the width of the widest mode, whatever input they name.
    mode_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    const int listWidth = mode_->sizeHint().width();
    mode_->setFixedWidth(listWidth);
    input_->setFixedWidth(listWidth);

    allUnused_ = pagefields::MakeButton(this, QStringLiteral("All &Unused"), "allUnusedButton");
    allIndependent_ =
        pagefields::MakeButton(this, QStringLiteral("All In&dependent"), "allIndependentButton");
    allBinary_ = pagefields::MakeButton(this, QStringLiteral("All Bi&nary"), "allBinaryButton");

    auto* chooseRow = new QHBoxLayout;
    chooseRow->addWidget(inputLabel);
    chooseRow->addWidget(input_);
    chooseRow->addWidget(mode_);
    chooseRow->addStretch(1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(allUnused_);
    buttonRow->addWidget(allIndependent_);
    buttonRow->addWidget(allBinary_);
    buttonRow->addStretch(1);
    auto* left = new QVBoxLayout;
    left->addLayout(chooseRow);
    left->addLayout(buttonRow);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(BuildBinaryDisplay(), 0, Qt::AlignTop);
    return top;
}

QWidget* CInputSetup::BuildActionArea() {
    // Inputs without actions of their own (unused, or a binary bit other
    // than 0) see a blank area where the actions would be.
    actionCover_ = new QStackedWidget(this);
    actionCover_->setObjectName(QStringLiteral("actionArea"));
    auto* actions = new QWidget(actionCover_);
    BuildSide(sides_[0], actions, QStringLiteral("When the input closes"), QStringLiteral("close"));
    BuildSide(sides_[1], actions, QStringLiteral("When the input opens"), QStringLiteral("open"));
    auto* sideRow = new QHBoxLayout(actions);
    sideRow->setContentsMargins(0, 0, 0, 0);
    for (SideControls& s : sides_) {
        sideRow->addWidget(s.box, 1);
    }
    auto* cover = new QWidget(actionCover_);
    cover->setObjectName(QStringLiteral("actionCover"));
    actionCover_->addWidget(actions);
    actionCover_->addWidget(cover);
    return actionCover_;
}

QWidget* CInputSetup::BuildBinaryDisplay() {
    // Right-aligned in the page's own font, two blanks as wide as a digit,
    // so the group's digits stand under the bit numbers of the header.
    binaryArea_ = new QWidget(this);
    binaryArea_->setObjectName(QStringLiteral("binaryArea"));
    auto* header = new QLabel(QString::fromLatin1(kBinaryHeader), binaryArea_);
    binaryDisplay_ = new QLabel(binaryArea_);
    binaryDisplay_->setObjectName(QStringLiteral("binaryDisplay"));
    for (QLabel* label : {header, binaryDisplay_}) {
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    binaryDisplay_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The header stands as far in as the display's text inside its frame.
    const int inset = binaryDisplay_->frameWidth();
    header->setContentsMargins(inset, 0, inset, 0);
    auto* column = new QVBoxLayout(binaryArea_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(header);
    column->addWidget(binaryDisplay_);
    QSizePolicy policy = binaryArea_->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    binaryArea_->setSizePolicy(policy);
    return binaryArea_;
}

// Makes the controls of one side in its group box, each named after the
// side, in the order the user meets them.
class CInputSetup::SideMaker {
  public:
    SideMaker(SideControls& s, const QString& prefix, const QFont& font)
        : s_(s), prefix_(prefix), close_(s.side == inputs::Side::Close) {
        const QFontMetrics metrics(font);
        editWidth_ =
            metrics.horizontalAdvance(QStringLiteral("0000.0")) + 2 * metrics.averageCharWidth();
    }

    QRadioButton* Radio(Kind kind) {
        const KindButton& button = kKindButtons[static_cast<int>(kind)];
        auto* radio = new QRadioButton(
            QString::fromLatin1(close_ ? button.closeText : button.openText), s_.box);
        radio->setObjectName(Name(button.name));
        s_.kinds->addButton(radio, static_cast<int>(kind));
        return radio;
    }

    QComboBox* Combo(const char* what, const QStringList& entries) {
        return MakeCombo(s_.box, Name(what), entries);
    }

    // What to start, from where, after how long.
    QHBoxLayout* StartControls() {
        QStringList choices;
        for (const char* text : kFixedChoices) {
            choices << QString::fromLatin1(text);
        }
        s_.choice = new NameCombo(s_.box);
        s_.choice->setObjectName(Name("ChoiceCombo"));
        s_.choice->addItems(choices);
        s_.choice->setMinimumContentsLength(16);
        QStringList scopes{QStringLiteral("in all tracks")};
        for (int p = 1; p <= layout::kPlaylistCount; ++p) {
            scopes << QStringLiteral("in Playlist %1").arg(p);
        }
        s_.scope = Combo("ScopeCombo", scopes);
        auto* delaying = new QLabel(
            close_ ? QStringLiteral("after de&laying") : QStringLiteral("afte&r delaying"), s_.box);
        s_.delayEdit = Edit("DelayEdit");
        delaying->setBuddy(s_.delayEdit);
        s_.delaySpin = Spin("DelaySpin", kDelayMaxTenths);
        return Row({s_.scope, delaying, s_.delayEdit, s_.delaySpin, Seconds()});
    }

    // How the playback level changes, and how fast.
    QHBoxLayout* FadeControls() {
        s_.fade = Combo(
            "FadeCombo",
            {QStringLiteral("Do not change playback level."), QStringLiteral("Fade to full in"),
             QStringLiteral("Fade to zero in"), QStringLiteral("Fade to 'Half Mute' in")});
        s_.fadeTimeEdit = Edit("FadeTimeEdit");
        s_.fadeTimeSpin = Spin("FadeTimeSpin", kFadeTimeMaxTenths);
        return Row({s_.fade, s_.fadeTimeEdit, s_.fadeTimeSpin, Seconds()});
    }

  private:
    QString Name(const char* what) const { return prefix_ + QLatin1String(what); }

    QLineEdit* Edit(const char* what) {
        auto* edit = new QLineEdit(s_.box);
        edit->setObjectName(Name(what));
        edit->setFixedWidth(editWidth_);
        return edit;
    }

    QSpinBox* Spin(const char* what, int max) {
        auto* spin = new ArrowSpin(s_.box);
        spin->setObjectName(Name(what));
        spin->setRange(0, max);
        return spin;
    }

    QLabel* Seconds() { return new QLabel(QStringLiteral("seconds."), s_.box); }

    static QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
        auto* row = new QHBoxLayout;
        for (QWidget* widget : widgets) {
            row->addWidget(widget);
        }
        row->addStretch(1);
        return row;
    }

    SideControls& s_;
    QString prefix_;
    bool close_;
    int editWidth_;
};

void CInputSetup::BuildSide(SideControls& s, QWidget* parent, const QString& title,
                            const QString& prefix) {
    s.box = new QGroupBox(title, parent);
    s.kinds = new QButtonGroup(s.box);
    SideMaker make(s, prefix, font());
    QRadioButton* start = make.Radio(Kind::Start);
    QHBoxLayout* delayRow = make.StartControls();
    QRadioButton* stop = make.Radio(Kind::Stop);
    s.stop = make.Combo(
        "StopCombo", {QStringLiteral("now."), QStringLiteral("at the end of the current track.")});
    QRadioButton* pause = make.Radio(Kind::PauseResume);
    QRadioButton* nothing = make.Radio(Kind::Nothing);
    pagefields::TabToChecked(s.kinds);
    QHBoxLayout* fadeRow = make.FadeControls();

    auto* grid = new QGridLayout(s.box);
    grid->addWidget(start, 0, 0);
    grid->addWidget(s.choice, 0, 1);
    grid->addLayout(delayRow, 1, 1);
    grid->addWidget(stop, 2, 0);
    grid->addWidget(s.stop, 2, 1, Qt::AlignLeft);
    grid->addWidget(pause, 3, 0, 1, 2);
    grid->addWidget(nothing, 4, 0, 1, 2);
    grid->addLayout(fadeRow, 5, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowMinimumHeight(5, s.fade->sizeHint().height() + QFontMetrics(font()).height() / 2);
    grid->setRowStretch(6, 1);
}

void CInputSetup::ConnectControls() {
    // Choosing another input only shows it: what the previous one holds has
    // been stored already.
    connect(input_, &QComboBox::activated, this, &CInputSetup::OnInputChosen);
    ConnectEdit(mode_, &QComboBox::activated, [this] { OnModeChosen(mode_->currentIndex()); });
    ConnectEdit(allUnused_, &QPushButton::clicked, [this] { OnAll(inputs::SetAllUnused); });
    ConnectEdit(allIndependent_, &QPushButton::clicked,
                [this] { OnAll(inputs::SetAllIndependent); });
    ConnectEdit(allBinary_, &QPushButton::clicked, [this] { OnAll(inputs::SetAllBinary); });
    for (SideControls& s : sides_) {
        ConnectSide(s);
    }
}

void CInputSetup::ConnectSide(SideControls& s) {
    SideControls* side = &s;
    ConnectEdit(s.kinds, &QButtonGroup::idClicked, [this] { Commit(); });
    ConnectEdit(s.choice, &QComboBox::activated, [this] { Commit(); });
    ConnectEdit(s.scope, &QComboBox::activated, [this, side] { OnScopeChosen(*side); });
    ConnectEdit(s.stop, &QComboBox::activated, [this] { Commit(); });
    ConnectEdit(s.fade, &QComboBox::activated, [this] { Commit(); });
    for (QLineEdit* edit : {s.delayEdit, s.fadeTimeEdit}) {
        ConnectEdit(edit, &QLineEdit::textEdited,
                    [this, side, edit] { OnNumberEdited(*side, edit); });
        connect(edit, &QLineEdit::editingFinished, this,
                [this, side, edit] { OnNumberFinished(*side, edit); });
    }
    for (QSpinBox* spin : {s.delaySpin, s.fadeTimeSpin}) {
        ConnectEdit(spin, &QSpinBox::valueChanged, [this, side, spin] { OnSpin(*side, spin); });
    }
}

CardConfig& CInputSetup::Config() const {
    return *Document().GetConfig();
}

std::uint32_t CInputSetup::ModeOf(int input) const {
    return Config().Get(field::kInputMode, set_, input);
}

bool CInputSetup::HasActions(std::uint32_t mode) const {
    return mode == inputs::kIndependent || inputs::BinaryBit(mode) == 0;
}

bool CInputSetup::OnSetActive() {
    // Inputs the model does not have are unused; looking changes nothing
    // the user did.
    inputs::ApplyInputCount(Config(), set_);
    if (current_ >= Config().InputCount()) {
        current_ = 0;
    }
    LoadCurrentInput();
    return CPropertyPage::OnSetActive();
}

bool CInputSetup::StoreControls() {
    return Commit();
}

void CInputSetup::LoadCurrentInput() {
    typedFrom_.clear();
    for (SideControls& s : sides_) {
        s.action = inputs::ReadAction(Config(), set_, current_, s.side);
        FillChoices(s);
        WriteSide(s, nullptr);
    }
    ShowModes();
}

bool CInputSetup::Commit(const QLineEdit* typing) {
    // Both sides are read before anything is said, and only the first
    // refusal is reported: the user mends one field at a time.
    bool accepted = true;
    for (SideControls& s : sides_) {
        accepted = ReadSide(s) && accepted;
    }
    CardConfig& config = Config();
    for (const SideControls& s : sides_) {
        inputs::WriteAction(config, set_, current_, s.side, s.action);
    }
    StoreMasks();
    for (SideControls& s : sides_) {
        WriteSide(s, typing);
    }
    return accepted;
}

void CInputSetup::StoreMasks() {
    inputs::RecomputeBinaryMasks(Config());
    // Masks A and B describe the animation inputs only.
    if (set_ == InputSet::Animation) {
        inputs::RecomputeAnimationInputMasks(Config());
    }
}

bool CInputSetup::ReadSide(SideControls& s) {
    InputAction& a = s.action;
    if (const int kind = s.kinds->checkedId(); kind >= 0) {
        a.kind = static_cast<Kind>(kind);
    }
    a.scope = std::max(0, s.scope->currentIndex());
    // No selection keeps a track or position the list does not offer.
    a.SelectChoice(s.choice->currentIndex());
    a.stop = static_cast<InputAction::StopWhen>(std::max(0, s.stop->currentIndex()));
    a.fade = static_cast<InputAction::Fade>(std::max(0, s.fade->currentIndex()));

    bool accepted = true;
    const auto read = [&](const QLineEdit* edit, const SecondsRange& range, int& tenths) {
        if (const auto typed = TenthsTyped(edit->text(), range)) {
            tenths = *typed;
            return;
        }
        if (const auto before = typedFrom_.find(edit); before != typedFrom_.end()) {
            tenths = *before;
            typedFrom_.erase(before);
        }
        if (accepted) {
            accepted = false;
            TellRefused(RefusalFor(range));
        }
    };
    read(s.delayEdit, kDelayRange, a.delay);
    read(s.fadeTimeEdit, kFadeTimeRange, a.fadeTime);
    return accepted;
}

void CInputSetup::WriteSide(SideControls& s, const QLineEdit* typing) {
    const InputAction& a = s.action;
    if (QAbstractButton* radio = s.kinds->button(static_cast<int>(a.kind))) {
        radio->setChecked(true);
    }
    s.scope->setCurrentIndex(a.scope);
    const int choice = a.ChoiceIndex();
    s.choice->setCurrentIndex(choice < s.choice->count() ? choice : -1);
    s.stop->setCurrentIndex(static_cast<int>(a.stop));
    s.fade->setCurrentIndex(static_cast<int>(a.fade));
    // The field being typed into keeps the text as typed until the user
    // leaves it.
    if (typing != s.delayEdit) {
        s.delayEdit->setText(pagefields::SecondsText(static_cast<std::uint32_t>(a.delay)));
    }
    if (typing != s.fadeTimeEdit) {
        s.fadeTimeEdit->setText(pagefields::SecondsText(static_cast<std::uint32_t>(a.fadeTime)));
    }
    {
        const QSignalBlocker delayBlocker(s.delaySpin);
        s.delaySpin->setValue(std::min(a.delay, kDelayMaxTenths));
        const QSignalBlocker fadeBlocker(s.fadeTimeSpin);
        s.fadeTimeSpin->setValue(std::min(a.fadeTime, kFadeTimeMaxTenths));
    }
    UpdateEnabling(s);
}

void CInputSetup::FillChoices(SideControls& s) {
    CCardwrightDoc& doc = Document();
    const CardConfig& config = Config();
    const int scope = s.action.scope;
    const int count = inputs::NumberedChoices(config, scope);
    while (s.choice->count() > InputAction::kFixedChoices) {
        s.choice->removeItem(s.choice->count() - 1);
    }
    for (int n = 1; n <= count; ++n) {
        std::string name;
        if (scope == InputAction::kAllTracks) {
            if (config.TrackExists(n)) {
                name = doc.GetLongTrackName(config.TrackName(n));
            }
        } else {
            name = doc.GetLongTrackName(config.PlaylistEntry(scope - 1, n - 1));
        }
        const QString text = QStringLiteral("%1: %2").arg(n).arg(QString::fromStdString(name));
        s.choice->addItem(text, n);
    }
}

void CInputSetup::UpdateEnabling(SideControls& s) {
    const bool start = s.action.kind == Kind::Start;
    for (QWidget* control :
         std::initializer_list<QWidget*>{s.choice, s.scope, s.delayEdit, s.delaySpin}) {
        control->setEnabled(start);
    }
    s.stop->setEnabled(s.action.kind == Kind::Stop);
    const bool actions = HasActions(ModeOf(current_));
    s.fade->setEnabled(actions);
    const bool fading = actions && s.action.fade != InputAction::Fade::None;
    s.fadeTimeEdit->setEnabled(fading);
    s.fadeTimeSpin->setEnabled(fading);
}

void CInputSetup::ShowModes() {
    const CardConfig& config = Config();
    QStringList entries;
    for (int i = 0; i < config.InputCount(); ++i) {
        entries << QString::fromStdString(inputs::InputListEntry(i, ModeOf(i)));
    }
    SetEntries(input_, entries);
    input_->setCurrentIndex(current_ < input_->count() ? current_ : -1);

    entries.clear();
    for (std::uint32_t mode = 0; mode < inputs::BinaryMode(inputs::kBinaryBits); ++mode) {
        entries << QString::fromStdString(inputs::InputListEntry(current_, mode));
    }
    SetEntries(mode_, entries);
    const std::uint32_t mode = ModeOf(current_);
    mode_->setCurrentIndex(
        mode < static_cast<std::uint32_t>(mode_->count()) ? static_cast<int>(mode) : -1);

    binaryDisplay_->setText(QString::fromStdString(inputs::BinaryGroupDisplay(config, set_)));
    binaryArea_->setVisible(inputs::BinaryBit(mode) >= 0);
    actionCover_->setCurrentIndex(HasActions(mode) ? 0 : 1);
    for (SideControls& s : sides_) {
        UpdateEnabling(s);
    }
}

void CInputSetup::TellRefused(const QString& text) {
    const QScopedValueRollback<bool> guard(telling_, true);
    Tell(text, Prompter::Icon::Warning);
}

void CInputSetup::OnInputChosen(int index) {
    if (index < 0 || index == current_) {
        return;
    }
    Commit();
    current_ = index;
    LoadCurrentInput();
}

void CInputSetup::OnModeChosen(int mode) {
    if (mode < 0) {
        return;
    }
    inputs::SetMode(Config(), set_, current_, static_cast<std::uint32_t>(mode));
    Commit();
    ShowModes();
}

void CInputSetup::OnScopeChosen(SideControls& s) {
    const int scope = std::max(0, s.scope->currentIndex());
    s.action.ChangeScope(scope, s.choice->currentIndex(), inputs::NumberedChoices(Config(), scope));
    FillChoices(s);
    s.choice->setCurrentIndex(s.action.ChoiceIndex());
    Commit();
}

void CInputSetup::OnNumberEdited(SideControls& s, const QLineEdit* edit) {
    // Half-typed or out-of-range text waits until the user leaves the field.
    const bool delay = edit == s.delayEdit;
    if (!typedFrom_.contains(edit)) {
        typedFrom_.insert(edit, delay ? s.action.delay : s.action.fadeTime);
    }
    if (TenthsTyped(edit->text(), delay ? kDelayRange : kFadeTimeRange)) {
        Commit(edit);
    }
}

void CInputSetup::OnNumberFinished(SideControls& s, QLineEdit* edit) {
    // A field losing the focus because the page is hidden has been reported
    // on already, by the store that hid it.
    if (telling_ || !isVisible()) {
        return;
    }
    const bool delay = edit == s.delayEdit;
    if (TenthsTyped(edit->text(), delay ? kDelayRange : kFadeTimeRange)) {
        typedFrom_.remove(edit);
        edit->setText(pagefields::SecondsText(
            static_cast<std::uint32_t>(delay ? s.action.delay : s.action.fadeTime)));
    } else {
        // Refuses, tells the user, and shows what the field held before.
        Commit();
    }
}

void CInputSetup::OnSpin(SideControls& s, QSpinBox* spin) {
    QLineEdit* edit = spin == s.delaySpin ? s.delayEdit : s.fadeTimeEdit;
    edit->setText(pagefields::SecondsText(static_cast<std::uint32_t>(spin->value())));
    Commit();
}

void CInputSetup::OnAll(void (*rule)(CardConfig&, InputSet)) {
    Commit();
    rule(Config(), set_);
    inputs::ApplyInputCount(Config(), set_);
    StoreMasks();
    LoadCurrentInput();
}
