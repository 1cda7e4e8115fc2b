#include "pages/PlaylistSetup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

#include "model/CardwrightDoc.h"

const char* const CPlaylistSetup::kPlaylistFullText =
    "Too many tracks selected.  Max 31 tracks in a playlist.";

namespace {

constexpr int kMaxEntries = layout::kPlaylistEntries;

// Both lists show a number in a narrow right-aligned "Sel" column and a name
// in "Selection", which takes the rest of the width.
QTreeWidget* MakeTrackList(const QString& objectName, const QString& accessibleName,
                           QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(objectName);
    list->setAccessibleName(accessibleName);
    list->setColumnCount(2);
    list->setHeaderLabels({QStringLiteral("Sel"), QStringLiteral("Selection")});
    list->headerItem()->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    QHeaderView* header = list->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(true);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    // 30 pixels held "255" in the small dialog font; wider fonts need more.
    const QFontMetrics metrics(list->font());
    const int needed = std::max(metrics.horizontalAdvance(QStringLiteral("888")),
                                metrics.horizontalAdvance(QStringLiteral("Sel"))) +
                       2 * list->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) +
                       metrics.averageCharWidth();
    list->setColumnWidth(0, std::max(30, needed));
    return list;
}

// "%3d" keeps the numbers three characters wide, so the lists' text order is
// their numeric order.
QTreeWidgetItem* MakeRow(int number, const QString& name) {
    auto* row = new QTreeWidgetItem({QString::asprintf("%3d", number), name});
    row->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    return row;
}

bool AnyTrack(const CardConfig& config) {
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (config.TrackExists(n)) {
            return true;
        }
    }
    return false;
}

}  // namespace

CPlaylistSetup::CPlaylistSetup(CCardwrightDoc& doc, QWidget* parent)
    : CPropertyPage(doc, QStringLiteral("Playlists"), parent),
      playlistRadios_(new QButtonGroup(this)) {
    // Controls are made in reading order, which is the order Tab takes;
    // within the radio group the arrow keys choose the playlist.
    auto* radioBox = new QGroupBox(QStringLiteral(" Select Playlist "), this);
    radioBox->setObjectName(QStringLiteral("playlistGroup"));
    auto* radioRow = new QHBoxLayout(radioBox);
    for (int p = 0; p < layout::kPlaylistCount; ++p) {
        auto* radio = new QRadioButton(QString::number(p + 1), radioBox);
        radio->setObjectName(QStringLiteral("playlistRadio%1").arg(p + 1));
        playlistRadios_->addButton(radio, p);
        radioRow->addWidget(radio);
    }
    radioRow->addStretch();
    playlistRadios_->button(0)->setChecked(true);

    auto* availableLabel = new QLabel(QStringLiteral("Available Tracks"), this);
    availableTracks_ =
        MakeTrackList(QStringLiteral("availableTracks"), availableLabel->text(), this);
    availableLabel->setBuddy(availableTracks_);
    addTracksButton_ =
        new QPushButton(QStringLiteral("Move selected tracks to Playlist  -->"), this);
    addTracksButton_->setObjectName(QStringLiteral("addTracksButton"));

    auto* playlistLabel = new QLabel(QStringLiteral("Playlist Tracks"), this);
    playlistTracks_ = MakeTrackList(QStringLiteral("playlistTracks"), playlistLabel->text(), this);
    playlistLabel->setBuddy(playlistTracks_);
    moveUpButton_ = new QPushButton(QStringLiteral("Move Up"), this);
    moveUpButton_->setObjectName(QStringLiteral("moveUpButton"));
    moveDownButton_ = new QPushButton(QStringLiteral("Move down"), this);
    moveDownButton_->setObjectName(QStringLiteral("moveDownButton"));
    deleteButton_ = new QPushButton(QStringLiteral("Delete track"), this);
    deleteButton_->setObjectName(QStringLiteral("deleteButton"));
    rememberCheck_ =
        new QCheckBox(QStringLiteral("Remember last track played in this Playlist"), this);
    rememberCheck_->setObjectName(QStringLiteral("rememberCheck"));

    auto* entryButtons = new QHBoxLayout;
    entryButtons->addWidget(moveUpButton_);
    entryButtons->addWidget(moveDownButton_);
    entryButtons->addWidget(deleteButton_);
    entryButtons->addStretch();

    auto* grid = new QGridLayout(this);
    grid->addWidget(radioBox, 0, 0, 1, 2);
    grid->addWidget(availableLabel, 1, 0);
    grid->addWidget(playlistLabel, 1, 1);
    grid->addWidget(availableTracks_, 2, 0);
    grid->addWidget(playlistTracks_, 2, 1);
    grid->addWidget(addTracksButton_, 3, 0, Qt::AlignLeft);
    grid->addLayout(entryButtons, 3, 1);
    grid->addWidget(rememberCheck_, 4, 1);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    connect(playlistRadios_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            ShowPlaylist();
        }
    });
    ConnectEdit(addTracksButton_, &QPushButton::clicked, [this] { AddSelectedTracks(); });
    ConnectEdit(moveUpButton_, &QPushButton::clicked, [this] { MoveSelectedUp(); });
    ConnectEdit(moveDownButton_, &QPushButton::clicked, [this] { MoveSelectedDown(); });
    ConnectEdit(deleteButton_, &QPushButton::clicked, [this] { DeleteSelectedEntries(); });
    ConnectEdit(rememberCheck_, &QCheckBox::clicked, [this] { OnRememberClicked(); });
}

CPlaylistSetup::~CPlaylistSetup() = default;

bool CPlaylistSetup::OnSetActive() {
    CCardwrightDoc& doc = Document();
    // A document without tracks takes the card's files as they lie, once;
    // then the stored list is brought in line with the card.
    if (!AnyTrack(*doc.GetConfig())) {
        doc.CountTracks(true);
    }
    doc.SyncTracks(true);
    FillAvailableTracks();
    ShowPlaylist();
    return CPropertyPage::OnSetActive();
}

bool CPlaylistSetup::OnKillActive() {
    Document().RebuildPlaylistSlots();
    return CPropertyPage::OnKillActive();
}

void CPlaylistSetup::BeforeSave() {
    Document().RebuildPlaylistSlots();
}

void CPlaylistSetup::AfterSave(SaveKind /*kind*/, bool /*saved*/) {
    OnSetActive();
}

void CPlaylistSetup::ReadControls() {
    playlist_ = playlistRadios_->checkedId();
}

void CPlaylistSetup::FillAvailableTracks() {
    availableTracks_->clear();
    const CardConfig& config = *Document().GetConfig();
    QList<QTreeWidgetItem*> rows;
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (!config.TrackExists(n)) {
            continue;
        }
        QTreeWidgetItem* row = MakeRow(n, LongName(config.TrackName(n)));
        row->setData(0, Qt::UserRole, n);
        rows.append(row);
    }
    availableTracks_->addTopLevelItems(rows);
    availableTracks_->sortItems(0, Qt::AscendingOrder);
}

void CPlaylistSetup::ShowPlaylist() {
    playlistTracks_->clear();
    ReadControls();
    if (playlist_ < 0) {
        return;
    }
    const CardConfig& config = *Document().GetConfig();
    // A stored count beyond what a playlist can hold reads as an empty list.
    const int count = static_cast<int>(config.PlaylistCount(playlist_));
    QList<QTreeWidgetItem*> rows;
    for (int k = 0; k < count; ++k) {
        rows.append(MakeRow(k + 1, LongName(config.PlaylistEntry(playlist_, k))));
    }
    playlistTracks_->addTopLevelItems(rows);
    playlistTracks_->sortItems(0, Qt::AscendingOrder);
    rememberCheck_->setChecked(config.Get(field::kPlaylistRemember, playlist_));
}

void CPlaylistSetup::AddSelectedTracks() {
    ReadControls();
    if (playlist_ < 0) {
        return;
    }
    CardConfig& config = *Document().GetConfig();
    int count = static_cast<int>(config.PlaylistCount(playlist_));
    if (count >= kMaxEntries) {
        Tell(kPlaylistFullText);
        return;
    }
    // Selected tracks go to the end in list order; what does not fit is
    // dropped. A slot past the end that still holds a name is never
    // overwritten: that track is skipped.
    for (int i = 0; i < availableTracks_->topLevelItemCount() && count < kMaxEntries; ++i) {
        const QTreeWidgetItem* row = availableTracks_->topLevelItem(i);
        if (!row->isSelected() || !config.PlaylistEntry(playlist_, count).empty()) {
            continue;
        }
        const int track = row->data(0, Qt::UserRole).toInt();
        config.SetPlaylistEntry(playlist_, count, config.TrackName(track));
        ++count;
    }
    config.SetPlaylistCount(playlist_, static_cast<std::uint32_t>(count));
    ShowPlaylist();
}

void CPlaylistSetup::DeleteSelectedEntries() {
    ReadControls();
    if (playlist_ < 0) {
        return;
    }
    CardConfig& config = *Document().GetConfig();
    int count = static_cast<int>(config.PlaylistCount(playlist_));
    for (int row : SelectedEntryRows()) {
        if (row < count) {
            config.SetPlaylistEntry(playlist_, row, {});
        }
    }
    // Close the gaps, keeping the remaining entries in their order.
    for (int k = 0; k < count;) {
        if (!config.PlaylistEntry(playlist_, k).empty()) {
            ++k;
            continue;
        }
        for (int j = k + 1; j < count; ++j) {
            config.SetPlaylistEntry(playlist_, j - 1, config.PlaylistEntry(playlist_, j));
        }
        --count;
        config.SetPlaylistEntry(playlist_, count, {});
    }
    config.SetPlaylistCount(playlist_, static_cast<std::uint32_t>(count));
    ShowPlaylist();
}

// The moves work on the playlist as last shown. A block of selected entries
// moves by one place; with the block against the edge nothing moves at all.
void CPlaylistSetup::MoveSelectedUp() {
    if (playlist_ < 0) {
        return;
    }
    const std::vector<int> rows = SelectedEntryRows();
    if (rows.empty() || rows.front() == 0) {
        return;
    }
    for (int i : rows) {
        SwapEntries(i - 1, i, i - 1);
    }
}

void CPlaylistSetup::MoveSelectedDown() {
    if (playlist_ < 0) {
        return;
    }
    const std::vector<int> rows = SelectedEntryRows();
    const int count = playlistTracks_->topLevelItemCount();
    if (rows.empty() || rows.back() >= count - 1) {
        return;
    }
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        SwapEntries(*it, *it, *it + 1);
    }
}

void CPlaylistSetup::OnRememberClicked() {
    ReadControls();
    if (playlist_ >= 0) {
        Document().GetConfig()->Set(field::kPlaylistRemember, playlist_,
                                    rememberCheck_->isChecked());
    }
}

std::vector<int> CPlaylistSetup::SelectedEntryRows() const {
    std::vector<int> rows;
    for (int i = 0; i < playlistTracks_->topLevelItemCount(); ++i) {
        if (playlistTracks_->topLevelItem(i)->isSelected()) {
            rows.push_back(i);
        }
    }
    return rows;
}

void CPlaylistSetup::SwapEntries(int upper, int from, int to) {
    CardConfig& config = *Document().GetConfig();
    const std::string first = config.PlaylistEntry(playlist_, upper);
    const std::string second = config.PlaylistEntry(playlist_, upper + 1);
    config.SetPlaylistEntry(playlist_, upper, second);
    config.SetPlaylistEntry(playlist_, upper + 1, first);
    // The numbers stay where they are; only the names change rows.
    playlistTracks_->topLevelItem(upper)->setText(1, LongName(second));
    playlistTracks_->topLevelItem(upper + 1)->setText(1, LongName(first));
    playlistTracks_->topLevelItem(from)->setSelected(false);
    playlistTracks_->topLevelItem(to)->setSelected(true);
    // Keyboard focus travels with the entry it was on.
    QItemSelectionModel* selection = playlistTracks_->selectionModel();
    if (selection->currentIndex().row() == from) {
        selection->setCurrentIndex(playlistTracks_->model()->index(to, 0),
                                   QItemSelectionModel::NoUpdate);
    }
}

QString CPlaylistSetup::LongName(const std::string& shortName) {
    return QString::fromStdString(Document().GetLongTrackName(shortName));
}

void CPlaylistSetup::Tell(const std::string& text) {
    Document().GetPrompter().Tell(text);
}
