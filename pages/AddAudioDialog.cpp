#include "pages/AddAudioDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

CAddAudioDialog::CAddAudioDialog(std::filesystem::path cardDir,
                                 std::vector<addaudio::Source> sources,
                                 addaudio::PlanOptions options, QWidget* parent)
    : QDialog(parent),
      cardDir_(std::move(cardDir)),
      sources_(std::move(sources)),
      options_(std::move(options)) {
    setWindowTitle(QStringLiteral("Add Audio"));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("audioPlanList"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Format"),
                            QStringLiteral("Length"), QStringLiteral("On the card"),
                            QStringLiteral("Size"), QStringLiteral("8.3 Name")});
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    up_ = new QPushButton(QStringLiteral("Move &Up"), this);
    up_->setObjectName(QStringLiteral("moveUpButton"));
    down_ = new QPushButton(QStringLiteral("Move &Down"), this);
    down_->setObjectName(QStringLiteral("moveDownButton"));
    space_ = new QLabel(this);
    space_->setObjectName(QStringLiteral("spaceLabel"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    add_ = buttons->addButton(QStringLiteral("&Add"), QDialogButtonBox::AcceptRole);
    add_->setObjectName(QStringLiteral("addButton"));

    auto* row = new QHBoxLayout;
    row->addWidget(up_);
    row->addWidget(down_);
    row->addStretch(1);
    row->addWidget(space_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(row);
    layout->addWidget(buttons);
    connect(up_, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { Move(1); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemChanged, this, [this] { Replan(); });
    Fill();
    // A file that cannot be read says why in its tooltip too, so its column
    // is as wide as the plans of the others, not as its reason.
    list_->header()->setSectionResizeMode(kActionColumn, QHeaderView::Interactive);
    int action = list_->header()->sectionSizeHint(kActionColumn);
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list_->topLevelItem(row);
        if (item->flags() & Qt::ItemIsUserCheckable) {
            action = std::max(
                action, list_->fontMetrics().horizontalAdvance(item->text(kActionColumn)) + 16);
        }
    }
    list_->header()->resizeSection(kActionColumn, action);
    // Wide enough for every column, as far as the screen allows.
    int wanted = 2 * list_->frameWidth() + 2 * layout->contentsMargins().left() +
                 list_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < list_->columnCount(); ++c) {
        wanted += list_->header()->sectionSize(c);
    }
    const int room = screen()->availableGeometry().width() * 9 / 10;
    resize(std::clamp(wanted, 760, std::max(760, room)), 360);
}

bool CAddAudioDialog::Ticked(int row) const {
    return list_->topLevelItem(row)->checkState(kFileColumn) == Qt::Checked;
}

void CAddAudioDialog::Fill() {
    const QSignalBlocker blocker(list_);
    list_->clear();
    for (const addaudio::Source& s : sources_) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(kFileColumn, Q(s.path.filename().string()));
        item->setToolTip(kFileColumn, Q(s.path.string()));
        if (!s.info.refusal.empty()) {
            item->setText(kFormatColumn, QStringLiteral("Cannot be read"));
            item->setText(kActionColumn, Q(s.info.refusal));
            item->setToolTip(kActionColumn, Q(s.info.refusal));
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            item->setData(kFileColumn, Qt::CheckStateRole, QVariant());
            continue;
        }
        item->setCheckState(kFileColumn, Qt::Checked);
        item->setText(kFormatColumn, Q(s.info.format + ", " + s.info.encoding));
        item->setText(kLengthColumn, Q(addaudio::LengthText(s.info.seconds)));
    }
    Replan();
}

std::vector<addaudio::Source> CAddAudioDialog::Confirmed() const {
    std::vector<addaudio::Source> out;
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        if (Ticked(row)) {
            out.push_back(sources_[static_cast<std::size_t>(row)]);
        }
    }
    return out;
}

void CAddAudioDialog::Replan() {
    plan_ = addaudio::MakePlan(cardDir_, Confirmed(), options_);
    const QSignalBlocker blocker(list_);
    std::size_t next = 0;
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list_->topLevelItem(row);
        const addaudio::Source& s = sources_[static_cast<std::size_t>(row)];
        if (!s.info.refusal.empty()) {
            continue;
        }
        if (!Ticked(row)) {
            item->setText(kActionColumn, QStringLiteral("Not added"));
            item->setText(kSizeColumn, QString());
            item->setText(kNameColumn, QString());
            continue;
        }
        const addaudio::PlannedFile& f = plan_.files[next++];
        item->setText(kActionColumn, QStringLiteral("%1 as \"%2\"")
                                         .arg(s.info.convert ? QStringLiteral("Converted")
                                                             : QStringLiteral("Copied"))
                                         .arg(Q(f.cardName)));
        item->setText(kSizeColumn, Q(addaudio::SizeText(f.cardBytes)));
        item->setText(kNameColumn, Q(f.alias));
    }
    const bool fits = plan_.Fits();
    space_->setText(plan_.spaceUnknown
                        ? QStringLiteral("The free space on the card cannot be read.")
                        : QStringLiteral("Space needed: %1 of %2 free.")
                              .arg(Q(addaudio::SizeText(plan_.spaceNeeded)),
                                   Q(addaudio::SizeText(plan_.spaceFree))));
    space_->setStyleSheet(fits ? QString() : QStringLiteral("color: #c00000"));
    add_->setEnabled(fits && !plan_.files.empty());
}

void CAddAudioDialog::Move(int step) {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    const int to = row + step;
    if (row < 0 || to < 0 || to >= list_->topLevelItemCount()) {
        return;
    }
    std::vector<char> ticked;
    for (int r = 0; r < list_->topLevelItemCount(); ++r) {
        ticked.push_back(Ticked(r));
    }
    std::swap(sources_[static_cast<std::size_t>(row)], sources_[static_cast<std::size_t>(to)]);
    std::swap(ticked[static_cast<std::size_t>(row)], ticked[static_cast<std::size_t>(to)]);
    Fill();
    const QSignalBlocker blocker(list_);
    for (int r = 0; r < list_->topLevelItemCount(); ++r) {
        if (sources_[static_cast<std::size_t>(r)].info.refusal.empty()) {
            list_->topLevelItem(r)->setCheckState(
                kFileColumn, ticked[static_cast<std::size_t>(r)] ? Qt::Checked : Qt::Unchecked);
        }
    }
    list_->setCurrentItem(list_->topLevelItem(to));
    Replan();
}
