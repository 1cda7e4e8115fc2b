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
#include "pages/PageFields.h"
#include "pages/PreviewButton.h"

const char* const CPlaylistSetup::kPlaylistFullText =
    "Too many tracks selected.  Max 31 tracks in a playlist.";

namespace {

constexpr int kMaxEntries = layout::kPlaylistEntries;

// Both lists show a number in a narrow right-aligned "Sel" column and a name
// in "Selection", which takes the rest of the width.
QTreeWidget* MakeTrackList(const QString& objectName, const QString& accessibleName,
                           QWidget* parent) {
    QTreeWidget* list = pagefields::MakeReportList(
        parent, objectName, {QStringLiteral("Sel"), QStringLiteral("Selection")},
        QAbstractItemView::ExtendedSelection);
    list->setAccessibleName(accessibleName);
    list->headerItem()->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    QHeaderView* header = list->header();
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
    row->setToolTip(1, name);
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
    : CPropertyPage(doc, PageId::Playlists, parent), playlistRadios_(new QButtonGroup(this)) {
    // Controls are made in reading order, which is the order Tab takes.
    QGroupBox* radioBox = BuildPlaylistChoice();
    auto* availableLabel = new QLabel(QStringLiteral("&Available Tracks"), this);
    availableTracks_ = MakeTrackList(QStringLiteral("availableTracks"),
                                     pagefields::WithoutMnemonic(availableLabel->text()), this);
    availableLabel->setBuddy(availableTracks_);
    addTracksButton_ = pagefields::MakeButton(
        this, QStringLiteral("&Move selected tracks to Playlist  -->"), "addTracksButton");

    auto* playlistLabel = new QLabel(QStringLiteral("Playlist &Tracks"), this);
    playlistTracks_ = MakeTrackList(QStringLiteral("playlistTracks"),
                                    pagefields::WithoutMnemonic(playlistLabel->text()), this);
    playlistLabel->setBuddy(playlistTracks_);
    moveUpButton_ = pagefields::MakeButton(this, QStringLiteral("Move &Up"), "moveUpButton");
    moveDownButton_ = pagefields::MakeButton(this, QStringLiteral("Move &down"), "moveDownButton");
    deleteButton_ = pagefields::MakeButton(this, QStringLiteral("De&lete track"), "deleteButton");
    rememberCheck_ =
        new QCheckBox(QStringLiteral("&Remember last track played in this Playlist"), this);
    rememberCheck_->setObjectName(QStringLiteral("rememberCheck"));
    preview_ = new PreviewButton(doc, this);
    // The track chosen in either list; the one the user was in last.
    preview_->ServeList(availableTracks_, [this] {
        const QTreeWidgetItem* row = availableTracks_->currentItem();
        return row != nullptr
                   ? Document().GetConfig()->TrackName(row->data(0, Qt::UserRole).toInt())
                   : std::string();
    });
    preview_->ServeList(playlistTracks_, [this] {
        const int row = playlistTracks_->indexOfTopLevelItem(playlistTracks_->currentItem());
        return row >= 0 && playlist_ >= 0 ? Document().GetConfig()->PlaylistEntry(playlist_, row)
                                          : std::string();
    });

    auto* entryButtons = new QHBoxLayout;
    entryButtons->addWidget(moveUpButton_);
    entryButtons->addWidget(moveDownButton_);
    entryButtons->addWidget(deleteButton_);
    entryButtons->addStretch();
    entryButtons->addWidget(preview_);

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
    ConnectControls();
}

QGroupBox* CPlaylistSetup::BuildPlaylistChoice() {
    // Within the group the arrow keys choose the playlist.
    auto* radioBox = new QGroupBox(QStringLiteral(" &Select Playlist "), this);
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
    pagefields::TabToChecked(playlistRadios_);
    return radioBox;
}

void CPlaylistSetup::ConnectControls() {
    connect(playlistRadios_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            ShowPlaylist();
        }
    });
    // The track numbers the playlists name follow each edit, within its step.
    const auto withSlots = [this](auto edit) {
        return [this, edit] {
            edit();
            Document().RebuildPlaylistSlots();
        };
    };
    ConnectEdit(addTracksButton_, &QPushButton::clicked,
                withSlots([this] { AddSelectedTracks(); }));
    ConnectEdit(moveUpButton_, &QPushButton::clicked, withSlots([this] { MoveSelected(-1); }));
    ConnectEdit(moveDownButton_, &QPushButton::clicked, withSlots([this] { MoveSelected(1); }));
    ConnectEdit(deleteButton_, &QPushButton::clicked,
                withSlots([this] { DeleteSelectedEntries(); }));
    ConnectEdit(rememberCheck_, &QCheckBox::clicked, [this] { OnRememberClicked(); });
}

CPlaylistSetup::~CPlaylistSetup() = default;

void CPlaylistSetup::BeforeShow() {
    CCardwrightDoc& doc = Document();
    // A document without tracks takes the card's files as they lie, once;
    // then the stored list is brought in line with the card.
    if (!AnyTrack(*doc.GetConfig())) {
        doc.CountTracks(true);
    }
    doc.SyncTracks(true);
}

bool CPlaylistSetup::OnSetActive() {
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
    // After Save As the card is another one: its tracks are looked at anew.
    BeforeShow();
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
        Tell(QString::fromLatin1(kPlaylistFullText));
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
    Document().GetConfig()->RemovePlaylistEntries(playlist_, SelectedEntryRows());
    ShowPlaylist();
}

// The moves work on the playlist as last shown. A block of selected entries
// moves by one place; with the block against the edge nothing moves at all.
void CPlaylistSetup::MoveSelected(int step) {
    if (playlist_ < 0) {
        return;
    }
    const std::vector<int> rows = SelectedEntryRows();
    if (!Document().GetConfig()->MovePlaylistEntries(playlist_, rows, step)) {
        return;
    }
    // The numbers stay where they are; only the names change rows, and the
    // selection and the keyboard focus travel with them.
    QItemSelectionModel* selection = playlistTracks_->selectionModel();
    const int focused = selection->currentIndex().row();
    ShowPlaylist();
    for (int row : rows) {
        playlistTracks_->topLevelItem(row + step)->setSelected(true);
    }
    if (focused >= 0) {
        const bool moved = std::find(rows.begin(), rows.end(), focused) != rows.end();
        selection->setCurrentIndex(playlistTracks_->model()->index(focused + (moved ? step : 0), 0),
                                   QItemSelectionModel::NoUpdate);
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

QString CPlaylistSetup::LongName(const std::string& shortName) {
    return QString::fromStdString(Document().GetLongTrackName(shortName));
}
