#include "pages/TrackSetup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "model/CardwrightDoc.h"
#include "model/Prompter.h"
#include "model/TrackReferences.h"
#include "pages/AudioOnCard.h"
#include "pages/PageFields.h"
#include "pages/PreviewButton.h"

namespace {

using pagefields::ParseNumber;
using pagefields::ParseWholeNumber;

const QString kDelayNotNumber =
    pagefields::NumberPrompt(QStringLiteral("for the delay in seconds"), false);
const QString kPowerUpNotNumber =
    pagefields::NumberPrompt(QStringLiteral("for the track to play at power up"), true);

// The "Then" entries before the tracks, and the end action each one writes.
struct FixedThen {
    const char* text;
    std::uint32_t code;
};
constexpr FixedThen kFixedThen[CTrackSetup::kFixedThenEntries] = {
    {"Stop", playcode::kStopNow},
    {"Play Next higher selection", playcode::kNextHigher},
    {"Play Random selection", playcode::kRandom},
    {"Play Same selection again", playcode::kSameAgain},
};

constexpr int kWaitForInputIndex = 1;

int DelayTenths(double seconds) {
    return pagefields::TenthsOf(seconds, CTrackSetup::kDelayFieldMax);
}

QString DelayText(std::uint32_t tenths) {
    return pagefields::SecondsText(tenths);
}

QString AtEndText(std::uint32_t code) {
    switch (code) {
        case playcode::kStopNow:
            return QStringLiteral("Stop");
        case playcode::kNextHigher:
            return QStringLiteral("Next");
        case playcode::kSameAgain:
            return QStringLiteral("Same");
        case playcode::kRandom:
            return QStringLiteral("Random");
        default:
            return QStringLiteral("Track %1").arg(code);
    }
}

int TrackOf(const QTreeWidgetItem* item) {
    return item != nullptr ? item->data(CTrackSetup::kSelColumn, Qt::UserRole).toInt() : 0;
}

}  // namespace

CTrackSetup::CTrackSetup(CCardwrightDoc& doc, QWidget* parent)
    : CPropertyPage(doc, PageId::TrackSetup, parent), audioChoices_(&DialogAudioChoices()) {
    BuildControls();
}

CTrackSetup::~CTrackSetup() {
    // The controls go after this object; nothing they say on the way may
    // reach it.
    for (QObject* child : children()) {
        child->disconnect(this);
    }
}

void CTrackSetup::BuildControls() {
    // Made in the order the user meets them, which is also the Tab order.
    trackName_ = new QLabel(QStringLiteral("My Track Name"), this);
    trackName_->setObjectName(QStringLiteral("trackNameLabel"));
    trackName_->setTextFormat(Qt::PlainText);
    trackName_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // A long name is cut at the page's edge, not widening the page; its
    // tooltip holds it whole.
    trackName_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QLayout* endRow = BuildEndRow();
    QLayout* optionRow = BuildOptionRow();
    BuildTrackList();

    moveUp_ = pagefields::MakeButton(this, QStringLiteral("&Move Up"), "moveUpButton");
    moveDown_ = pagefields::MakeButton(this, QStringLiteral("Move &Down"), "moveDownButton");
    preview_ = new PreviewButton(Document(), this);
    preview_->ServeList(list_, [this] {
        const int n = TrackOf(list_->currentItem());
        return n >= 1 ? Document().GetConfig()->TrackName(n) : std::string();
    });
    addAudio_ = pagefields::MakeButton(this, QStringLiteral("Add Aud&io…"), "addAudioButton");
    trackOrder_ =
        pagefields::MakeButton(this, QStringLiteral("Put in Trac&k Order"), "trackOrderButton");
    reload_ = pagefields::MakeButton(
        this, QStringLiteral("&Reload Track List From Player Directory"), "reloadButton");
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(moveUp_);
    buttonRow->addWidget(moveDown_);
    buttonRow->addWidget(preview_);
    buttonRow->addStretch(1);
    buttonRow->addWidget(addAudio_);
    buttonRow->addWidget(trackOrder_);
    buttonRow->addWidget(reload_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(trackName_);
    layout->addLayout(endRow);
    layout->addLayout(optionRow);
    layout->addWidget(list_, 1);
    emptyNote_ = new QLabel(this);
    emptyNote_->setObjectName(QStringLiteral("emptyTrackNote"));
    emptyNote_->setTextFormat(Qt::PlainText);
    emptyNote_->setWordWrap(true);
    // Red through the palette: a style sheet would build a style engine for
    // the label on every start that opens a card.
    QPalette red = emptyNote_->palette();
    red.setColor(QPalette::WindowText, QColor(0xc0, 0x00, 0x00));
    emptyNote_->setPalette(red);
    emptyNote_->hide();
    layout->addWidget(emptyNote_);
    layout->addLayout(buttonRow);
    ConnectControls();
}

QLayout* CTrackSetup::BuildEndRow() {
    auto* atEndLabel = new QLabel(QStringLiteral("&At End:"), this);
    atEnd_ = new QComboBox(this);
    atEnd_->setObjectName(QStringLiteral("atEndCombo"));
    atEnd_->addItem(QStringLiteral("Delay (nnn.n secs)"));
    atEnd_->addItem(QStringLiteral("Wait for input"));
    atEndLabel->setBuddy(atEnd_);

    const QFontMetrics metrics(font());
    delayEdit_ = new QLineEdit(this);
    delayEdit_->setObjectName(QStringLiteral("delayEdit"));
    delayEdit_->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("00000.00")) +
                              2 * metrics.averageCharWidth());
    delaySpin_ = new ArrowSpin(this);
    delaySpin_->setObjectName(QStringLiteral("delaySpin"));
    delaySpin_->setRange(0, kDelaySpinMax);

    auto* thenLabel = new QLabel(QStringLiteral("&Then"), this);
    then_ = new NameCombo(this);
    then_->setObjectName(QStringLiteral("thenCombo"));
    then_->setMinimumContentsLength(24);
    thenLabel->setBuddy(then_);
    all_ = pagefields::MakeButton(this, QStringLiteral("A&ll"), "allButton");

    auto* row = new QHBoxLayout;
    row->addWidget(atEndLabel);
    row->addWidget(atEnd_);
    row->addWidget(delayEdit_);
    row->addWidget(delaySpin_);
    row->addSpacing(metrics.averageCharWidth() * 2);
    row->addWidget(thenLabel);
    row->addWidget(then_, 1);
    row->addWidget(all_);
    return row;
}

QLayout* CTrackSetup::BuildOptionRow() {
    stepOn_ = new QCheckBox(QStringLiteral("Can &step on track while playing"), this);
    stepOn_->setObjectName(QStringLiteral("stepOnCheck"));

    auto* powerUpLabel =
        new QLabel(QStringLiteral("Track to play at Power &Up (Zero if none)"), this);
    const QFontMetrics metrics(font());
    powerUpEdit_ = new QLineEdit(this);
    powerUpEdit_->setObjectName(QStringLiteral("powerUpEdit"));
    powerUpEdit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), this));
    powerUpEdit_->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("0000")) +
                                2 * metrics.averageCharWidth());
    powerUpLabel->setBuddy(powerUpEdit_);
    powerUpSpin_ = new ArrowSpin(this);
    powerUpSpin_->setObjectName(QStringLiteral("powerUpSpin"));
    powerUpSpin_->setRange(0, 0);

    auto* row = new QHBoxLayout;
    row->addWidget(stepOn_);
    row->addStretch(1);
    row->addWidget(powerUpLabel);
    row->addWidget(powerUpEdit_);
    row->addWidget(powerUpSpin_);
    return row;
}

void CTrackSetup::BuildTrackList() {
    list_ = pagefields::MakeReportList(
        this, QStringLiteral("trackList"),
        {QStringLiteral("Sel"), QStringLiteral("ID"), QStringLiteral("Selection"),
         QStringLiteral("At End"), QStringLiteral("Wait  "), QStringLiteral("Step On?")},
        QAbstractItemView::SingleSelection);
    const Qt::Alignment alignments[] = {Qt::AlignRight,   Qt::AlignLeft,  Qt::AlignLeft,
                                        Qt::AlignHCenter, Qt::AlignRight, Qt::AlignHCenter};
    for (int column = 0; column < list_->columnCount(); ++column) {
        list_->headerItem()->setTextAlignment(column, alignments[column] | Qt::AlignVCenter);
    }
    QHeaderView* header = list_->header();
    header->setStretchLastSection(false);
    // The other columns are fitted to their entries when these change
    // (FitColumns). Left to the header, they would be measured again at
    // every change of the list's size, several times before the page is
    // first shown and at every step of a window being resized.
    header->setSectionResizeMode(QHeaderView::Fixed);
    // The long names take whatever the other columns leave.
    header->setSectionResizeMode(kSelectionColumn, QHeaderView::Stretch);
}

void CTrackSetup::FitColumns() {
    for (int column = 0; column < list_->columnCount(); ++column) {
        if (column != kSelectionColumn) {
            list_->resizeColumnToContents(column);
        }
    }
}

void CTrackSetup::changeEvent(QEvent* event) {
    CPropertyPage::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitColumns();
    }
}

void CTrackSetup::ConnectControls() {
    ConnectEdit(then_, &QComboBox::activated, [this] { Commit(); });
    ConnectEdit(atEnd_, &QComboBox::activated, [this] { Commit(); });
    ConnectEdit(stepOn_, &QCheckBox::clicked, [this] { Commit(); });
    ConnectEdit(delayEdit_, &QLineEdit::textEdited, [this] { OnNumberEdited(delayEdit_); });
    connect(delayEdit_, &QLineEdit::editingFinished, this,
            [this] { OnNumberFinished(delayEdit_); });
    ConnectEdit(delaySpin_, &QSpinBox::valueChanged, [this] { OnDelaySpin(); });
    ConnectEdit(powerUpEdit_, &QLineEdit::textEdited, [this] { OnNumberEdited(powerUpEdit_); });
    connect(powerUpEdit_, &QLineEdit::editingFinished, this,
            [this] { OnNumberFinished(powerUpEdit_); });
    ConnectEdit(powerUpSpin_, &QSpinBox::valueChanged, [this] { OnPowerUpSpin(); });
    // Choosing another track only shows it.
    connect(list_, &QTreeWidget::currentItemChanged, this, &CTrackSetup::OnCurrentItemChanged);
    ConnectEdit(moveUp_, &QPushButton::clicked, [this] { MoveTrack(-1); });
    ConnectEdit(moveDown_, &QPushButton::clicked, [this] { MoveTrack(1); });
    ConnectEdit(all_, &QPushButton::clicked, [this] { OnAll(); });
    ConnectEdit(reload_, &QPushButton::clicked, [this] { OnReload(); });
    // Each makes its own step of the user's, after the card has changed.
    connect(addAudio_, &QPushButton::clicked, this, [this] { OnAddAudio({}); });
    connect(trackOrder_, &QPushButton::clicked, this, [this] { OnPutInTrackOrder(); });
    list_->setAcceptDrops(true);
    list_->viewport()->installEventFilter(this);
}

bool CTrackSetup::eventFilter(QObject* watched, QEvent* event) {
    const bool drag = event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove;
    if (watched != list_->viewport() || (!drag && event->type() != QEvent::Drop)) {
        return CPropertyPage::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);
    if (!drop->mimeData()->hasUrls()) {
        return false;
    }
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop) {
        QStringList files;
        for (const QUrl& url : drop->mimeData()->urls()) {
            if (url.isLocalFile()) {
                files << url.toLocalFile();
            }
        }
        // After the drop has finished, so the dragging program is not held up.
        QTimer::singleShot(0, this, [this, files] { OnAddAudio(files); });
    }
    return true;
}

void CTrackSetup::OnAddAudio(const QStringList& files) {
    Commit();
    if (audioflows::AddAudio(*this, *audioChoices_, files)) {
        Refresh();
    }
}

void CTrackSetup::OnPutInTrackOrder() {
    Commit();
    if (audioflows::PutInTrackOrder(*this)) {
        Refresh();
    }
}

bool CTrackSetup::OnSetActive() {
    Refresh();
    return CPropertyPage::OnSetActive();
}

bool CTrackSetup::StoreControls() {
    return Commit();
}

void CTrackSetup::BeforeShow() {
    Document().SyncTracks(true);
}

void CTrackSetup::AfterSave(SaveKind /*kind*/, bool /*saved*/) {
    // After Save As the card is another one: its tracks are looked at anew.
    BeforeShow();
    Refresh();
}

void CTrackSetup::Refresh() {
    CCardwrightDoc& doc = Document();
    const QSignalBlocker listBlocker(list_);
    list_->clear();
    currentRow_ = -1;
    then_->clear();
    for (const FixedThen& entry : kFixedThen) {
        then_->addItem(QString::fromLatin1(entry.text));
    }

    const CardConfig& config = *doc.GetConfig();
    QList<QTreeWidgetItem*> rows;
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (!config.TrackExists(n)) {
            continue;
        }
        const QString longName = QString::fromStdString(doc.GetLongTrackName(config.TrackName(n)));
        auto* row = new QTreeWidgetItem;
        FillRow(row, n, longName);
        rows.append(row);
        then_->addItem(QStringLiteral("Play %1: %2").arg(n).arg(longName), n);
    }
    list_->addTopLevelItems(rows);
    FitColumns();

    // The track shown before stays shown while it has a row; otherwise the
    // first row's track takes its place.
    QTreeWidgetItem* current = currentTrack_ >= 1 ? RowOfTrack(currentTrack_) : nullptr;
    if (current == nullptr) {
        current = list_->topLevelItem(0);
    }
    if (current != nullptr) {
        MakeCurrent(list_->indexOfTopLevelItem(current));
    } else {
        currentTrack_ = 0;
        const int powerUp = values_.powerUp;
        values_ = Values{};
        values_.powerUp = powerUp;
    }

    const int highest = rows.isEmpty() ? 0 : TrackOf(rows.last());
    {
        const QSignalBlocker spinBlocker(powerUpSpin_);
        powerUpSpin_->setRange(0, highest);
    }
    const int stored = static_cast<int>(config.Get(field::kPowerUpTrack));
    values_.powerUp = stored > highest ? 0 : stored;

    LoadCurrentTrack();
    WriteControls();
    ShowEmptyReferences();
}

void CTrackSetup::LoadCurrentTrack() {
    if (currentTrack_ < 1) {
        return;
    }
    const int n = currentTrack_;
    CCardwrightDoc& doc = Document();
    const CardConfig& config = *doc.GetConfig();
    values_.stepOn = config.Get(field::kStepOn, n);
    values_.delayTenths = static_cast<int>(config.Get(field::kEndDelay, n));
    values_.thenIndex = ThenIndexOf(config.Get(field::kEndAction, n));
    values_.name = QString::fromStdString(doc.GetLongTrackName(config.TrackName(n)));
    values_.atEndIndex = config.Get(field::kWaitForInput, n) ? kWaitForInputIndex : 0;
    WriteControls();
    Commit();
}

bool CTrackSetup::Commit(const QLineEdit* typing) {
    const bool accepted = ReadControls();
    if (currentTrack_ >= 1) {
        if (WriteTrack(currentTrack_)) {
            FitColumns();
        }
    }
    // Track numbers may have changed under the playlists' file names.
    Document().RebuildPlaylistSlots();
    Document().GetConfig()->Set(field::kPowerUpTrack, static_cast<std::uint32_t>(values_.powerUp));
    WriteControls(typing);
    ShowEmptyReferences();
    return accepted;
}

bool CTrackSetup::ReadControls() {
    values_.thenIndex = then_->currentIndex();
    values_.name = trackName_->text();
    values_.stepOn = stepOn_->isChecked();
    values_.atEndIndex = atEnd_->currentIndex();

    // A field that holds no number keeps its value; only the first is
    // reported, as the user can mend one field at a time.
    QString refusal;
    if (const auto seconds = ParseNumber(delayEdit_->text())) {
        values_.delayTenths = DelayTenths(*seconds);
    } else {
        refusal = kDelayNotNumber;
    }
    if (const auto track = ParseWholeNumber(powerUpEdit_->text())) {
        values_.powerUp = std::clamp(*track, 0, powerUpSpin_->maximum());
    } else if (refusal.isEmpty()) {
        refusal = kPowerUpNotNumber;
    }
    if (!refusal.isEmpty()) {
        TellRefused(refusal);
        return false;
    }
    return true;
}

void CTrackSetup::WriteControls(const QLineEdit* typing) {
    then_->setCurrentIndex(values_.thenIndex);
    trackName_->setText(values_.name);
    trackName_->setToolTip(values_.name);
    stepOn_->setChecked(values_.stepOn);
    atEnd_->setCurrentIndex(values_.atEndIndex);
    // The field being typed into keeps the text as typed until the user
    // leaves it.
    if (typing != delayEdit_) {
        delayEdit_->setText(DelayText(static_cast<std::uint32_t>(values_.delayTenths)));
    }
    if (typing != powerUpEdit_) {
        powerUpEdit_->setText(QString::number(values_.powerUp));
    }
    const bool delay = values_.atEndIndex != kWaitForInputIndex;
    delayEdit_->setEnabled(delay);
    delaySpin_->setEnabled(delay);
    const QSignalBlocker delayBlocker(delaySpin_);
    delaySpin_->setValue(std::min(values_.delayTenths, kDelaySpinMax));
    const QSignalBlocker powerUpBlocker(powerUpSpin_);
    powerUpSpin_->setValue(values_.powerUp);
}

bool CTrackSetup::WriteTrack(int n) {
    CardConfig& config = *Document().GetConfig();
    // With no entry chosen (the stored action names a track that has no
    // row) the stored action stays.
    if (values_.thenIndex >= 0) {
        config.Set(field::kEndAction, n, EndActionOf(values_.thenIndex));
    }
    config.Set(field::kEndDelay, n, static_cast<std::uint32_t>(values_.delayTenths));
    config.Set(field::kStepOn, n, values_.stepOn);
    config.Set(field::kWaitForInput, n, values_.atEndIndex == kWaitForInputIndex);
    QTreeWidgetItem* row = RowOfTrack(n);
    return row != nullptr && FillSettings(row, n);
}

int CTrackSetup::ThenIndexOf(std::uint32_t code) const {
    for (int i = 0; i < kFixedThenEntries; ++i) {
        if (kFixedThen[i].code == code) {
            return i;
        }
    }
    for (int i = kFixedThenEntries; i < then_->count(); ++i) {
        if (then_->itemData(i).toUInt() == code) {
            return i;
        }
    }
    return -1;
}

std::uint32_t CTrackSetup::EndActionOf(int thenIndex) const {
    if (thenIndex < 0) {
        return playcode::kStopNow;
    }
    if (thenIndex < kFixedThenEntries) {
        return kFixedThen[thenIndex].code;
    }
    return then_->itemData(thenIndex).toUInt() & 0x1FF;
}

void CTrackSetup::FillRow(QTreeWidgetItem* row, int n, const QString& longName) const {
    const CardConfig& config = *Document().GetConfig();
    row->setData(kSelColumn, Qt::UserRole, n);
    row->setText(kSelColumn, QString::asprintf("%3d %3u", n, config.Get(field::kFilePosition, n)));
    row->setText(kIdColumn, QString::fromStdString(config.TrackName(n)));
    row->setText(kSelectionColumn, longName);
    row->setToolTip(kSelectionColumn, longName);
    for (int column = 0; column < list_->columnCount(); ++column) {
        row->setTextAlignment(column, Qt::Alignment(list_->headerItem()->textAlignment(column)));
    }
    FillSettings(row, n);
}

bool CTrackSetup::FillSettings(QTreeWidgetItem* row, int n) const {
    const QStringList before{row->text(kAtEndColumn), row->text(kWaitColumn),
                             row->text(kStepOnColumn)};
    const CardConfig& config = *Document().GetConfig();
    const std::uint32_t code = config.Get(field::kEndAction, n);
    row->setText(kAtEndColumn, AtEndText(code));
    // A track to go on to that has no file plays nothing: marked, and said.
    const bool empty = code >= 1 && code <= static_cast<std::uint32_t>(layout::kMaxTrack) &&
                       !config.TrackExists(static_cast<int>(code));
    row->setForeground(kAtEndColumn, empty ? QBrush(QColor(0xC0, 0, 0)) : QBrush());
    row->setToolTip(kAtEndColumn, empty
                                      ? QStringLiteral("Track %1 has no file on the card").arg(code)
                                      : QString());
    row->setText(kWaitColumn, config.Get(field::kWaitForInput, n)
                                  ? QStringLiteral("Input")
                                  : DelayText(config.Get(field::kEndDelay, n)));
    row->setText(kStepOnColumn, config.Get(field::kStepOn, n) ? QStringLiteral("Yes") : QString());
    return before != QStringList{row->text(kAtEndColumn), row->text(kWaitColumn),
                                 row->text(kStepOnColumn)};
}

QTreeWidgetItem* CTrackSetup::RowOfTrack(int n) const {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list_->topLevelItem(i);
        if (TrackOf(row) == n) {
            return row;
        }
    }
    return nullptr;
}

int CTrackSetup::FirstSelectedRow() const {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->isSelected()) {
            return i;
        }
    }
    return -1;
}

void CTrackSetup::MakeCurrent(int row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    currentRow_ = row;
    currentTrack_ = TrackOf(item);
    const QSignalBlocker blocker(list_);
    list_->setCurrentItem(item);
    list_->scrollToItem(item);
}

void CTrackSetup::TellRefused(const QString& text) {
    const QScopedValueRollback<bool> guard(telling_, true);
    Tell(text, Prompter::Icon::Warning);
}

void CTrackSetup::OnNumberEdited(const QLineEdit* edit) {
    // Half-typed text ("", "-", "1e") waits until the user leaves the field.
    const bool number = edit == delayEdit_ ? ParseNumber(edit->text()).has_value()
                                           : ParseWholeNumber(edit->text()).has_value();
    if (number) {
        Commit(edit);
    }
}

void CTrackSetup::OnNumberFinished(QLineEdit* edit) {
    // A field losing the focus because the page is hidden (a save that
    // refused, a rebuilt sheet) has been reported on already.
    if (telling_ || !isVisible()) {
        return;
    }
    // Every number that could be read has been stored as it was typed; what
    // is left is to report text that is no number and to show what is
    // stored. Nothing is written here, so a field that loses the focus while
    // the page is torn down cannot touch the document.
    if (edit == delayEdit_) {
        if (!ParseNumber(edit->text())) {
            TellRefused(kDelayNotNumber);
        }
        edit->setText(DelayText(static_cast<std::uint32_t>(values_.delayTenths)));
    } else {
        if (!ParseWholeNumber(edit->text())) {
            TellRefused(kPowerUpNotNumber);
        }
        edit->setText(QString::number(values_.powerUp));
    }
}

void CTrackSetup::OnDelaySpin() {
    delayEdit_->setText(DelayText(static_cast<std::uint32_t>(delaySpin_->value())));
    Commit();
}

void CTrackSetup::OnPowerUpSpin() {
    powerUpEdit_->setText(QString::number(powerUpSpin_->value()));
    Commit();
}

void CTrackSetup::OnCurrentItemChanged(QTreeWidgetItem* current) {
    if (current == nullptr) {
        return;
    }
    Commit();
    MakeCurrent(list_->indexOfTopLevelItem(current));
    LoadCurrentTrack();
}

void CTrackSetup::MoveTrack(int step) {
    Commit();
    int moving = FirstSelectedRow();
    if (moving < 0 && step > 0) {
        moving = currentRow_;
    }
    const int partner = moving + step;
    if (moving < 0 || partner < 0 || partner >= list_->topLevelItemCount()) {
        return;
    }
    const int a = TrackOf(list_->topLevelItem(moving));
    const int b = TrackOf(list_->topLevelItem(partner));

    // The numbers stay where they are; the files and their settings trade
    // places. The playlist slot values travel too and are derived afresh by
    // the next commit.
    Document().GetConfig()->SwapTracks(a, b);

    Refresh();
    // The selection follows the moved file.
    if (QTreeWidgetItem* row = RowOfTrack(b)) {
        MakeCurrent(list_->indexOfTopLevelItem(row));
        LoadCurrentTrack();
    }
}

void CTrackSetup::OnAll() {
    // A refused number is not copied anywhere: the user has just been told.
    if (!Commit()) {
        return;
    }
    bool changed = false;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        changed = WriteTrack(TrackOf(list_->topLevelItem(i))) || changed;
    }
    if (changed) {
        FitColumns();
    }
}

void CTrackSetup::OnReload() {
    Document().CountTracks(true);
    Refresh();
}

namespace {

QString EmptyReferenceText(const trackrefs::EmptyReference& r) {
    using Kind = trackrefs::EmptyReference::Kind;
    const QString input = QStringLiteral("%1 %2 on %3")
                              .arg(r.set == InputSet::Player ? QStringLiteral("input")
                                                             : QStringLiteral("animation input"))
                              .arg(r.input)
                              .arg(r.side == inputs::Side::Close ? QStringLiteral("closing")
                                                                 : QStringLiteral("opening"));
    switch (r.kind) {
        case Kind::PowerUp:
            return QStringLiteral("the power-up track %1").arg(r.track);
        case Kind::EndAction:
            return QStringLiteral("track %1 going on to track %2").arg(r.from).arg(r.track);
        case Kind::InputTrack:
            return QStringLiteral("%1 playing track %2").arg(input).arg(r.track);
        case Kind::InputPlaylistEntry:
            return QStringLiteral("%1 playing entry %2 of playlist %3")
                .arg(input)
                .arg(r.entry)
                .arg(r.playlist);
        case Kind::PlaylistEntry:
            return QStringLiteral("entry %1 of playlist %2 (%3)")
                .arg(r.entry)
                .arg(r.playlist)
                .arg(r.name.empty() ? QStringLiteral("no file") : QString::fromStdString(r.name));
    }
    return {};
}

}  // namespace

void CTrackSetup::ShowEmptyReferences() {
    // After the track list followed the card, settings made for the old list
    // may point at a track that is gone; the player would play nothing there.
    QStringList found;
    for (const trackrefs::EmptyReference& r :
         trackrefs::FindEmptyReferences(*Document().GetConfig())) {
        found << EmptyReferenceText(r);
    }
    emptyNote_->setVisible(!found.isEmpty());
    emptyNote_->setText(
        found.isEmpty()
            ? QString()
            : QStringLiteral("No file on the card for: %1.").arg(found.join(QStringLiteral("; "))));
}
