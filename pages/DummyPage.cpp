#include "pages/DummyPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/CardwrightDoc.h"
#include "model/TrackReferences.h"
#include "pages/AudioOnCard.h"
#include "pages/PageFields.h"

const char* const DummyPage::kTemplateText =
    "\nThere are no tracks in the current directory.\n\nOpen an existing configuration file on "
    "the TUNBOX player drive.\n\nOr save this file to the TUNBOX drive to create a new "
    "configuration.";
const char* const DummyPage::kTracksChangedText =
    "\n\nTracks on card have changed!\n\n\nCheck the Track and Playlist configuration to make "
    "sure that it still is what you want.";
const char* const DummyPage::kNoSoundFilesText =
    "\n\nThere are no sound files on this card.\n\nCopy some WAV or MP3 files to the SOUNDS "
    "directory and rerun the Configurator.";

DummyPage::DummyPage(CCardwrightDoc& doc, QWidget* parent)
    : CPropertyPage(doc, PageId::TrackWarning, parent),
      message_(new QLabel(QString::fromUtf8(kTemplateText), this)) {
    message_->setObjectName(QStringLiteral("trackWarningText"));
    message_->setTextFormat(Qt::PlainText);
    message_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    message_->setWordWrap(true);
    // The page takes the sheet's size; the big text wraps to it rather than
    // widening the window.
    message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    // Under the message: which files came and which tracks went.
    changes_ = new QLabel(this);
    changes_->setObjectName(QStringLiteral("trackChangesText"));
    changes_->setTextFormat(Qt::PlainText);
    changes_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    changes_->setWordWrap(true);
    changes_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    changes_->hide();
    addAudio_ = pagefields::MakeButton(this, QStringLiteral("Add Aud&io…"), "addAudioButton");
    trackOrder_ =
        pagefields::MakeButton(this, QStringLiteral("Put in Trac&k Order"), "trackOrderButton");
    addAudio_->hide();
    trackOrder_->hide();
    audioChoices_ = &DialogAudioChoices();
    connect(addAudio_, &QPushButton::clicked, this, [this] {
        if (audioflows::AddAudio(*this, *audioChoices_)) {
            addAudio_->hide();
        }
    });
    connect(trackOrder_, &QPushButton::clicked, this, [this] {
        if (audioflows::PutInTrackOrder(*this)) {
            trackOrder_->hide();
        }
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(addAudio_);
    buttons->addWidget(trackOrder_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_, 1);
    layout->addWidget(changes_);
    layout->addLayout(buttons);
}

QString DummyPage::ChangesText() const {
    return changes_->text();
}

void DummyPage::ShowChanges(const trackrefs::TrackListChanges& changes) {
    CCardwrightDoc& doc = Document();
    const auto names = [&doc](const std::vector<std::string>& list, bool onCard) {
        QStringList shown;
        for (const std::string& name : list) {
            shown << QString::fromStdString(onCard ? doc.GetLongTrackName(name) : name);
        }
        return shown.join(QStringLiteral(", "));
    };
    QStringList lines;
    if (!changes.added.empty()) {
        lines << QStringLiteral("New on the card: %1").arg(names(changes.added, true));
    }
    if (!changes.removed.empty()) {
        lines << QStringLiteral("Gone from the card: %1").arg(names(changes.removed, false));
    }
    changes_->setText(lines.join(QLatin1Char('\n')));
    changes_->setVisible(!lines.isEmpty());
}

DummyPage::~DummyPage() = default;

QString DummyPage::MessageText() const {
    return message_->text();
}

void DummyPage::BeforeShow() {
    CCardwrightDoc& doc = Document();
    const CardConfig before = *doc.GetConfig();
    cardChanged_ = doc.SyncTracks(true).CardChanged();
    trackChanges_ = trackrefs::CompareTrackLists(before, *doc.GetConfig());
}

bool DummyPage::OnSetActive() {
    left_ = false;
    if (!font_) {
        font_ = std::make_unique<QFont>(QStringLiteral("Arial"), 24);
    }
    message_->setFont(*font_);

    CCardwrightDoc& doc = Document();
    const bool noAudio = !cardChanged_ && doc.CountTracks(false) == 0 && doc.IsLoaded();
    if (cardChanged_) {
        message_->setText(QString::fromUtf8(kTracksChangedText));
        ShowChanges(trackChanges_);
    } else if (noAudio) {
        message_->setText(QString::fromUtf8(kNoSoundFilesText));
    }
    addAudio_->setVisible(noAudio);
    trackOrder_->setVisible(cardChanged_ && audioflows::OutOfTrackOrder(*this));
    return CPropertyPage::OnSetActive();
}

bool DummyPage::OnKillActive() {
    if (left_) {
        return CPropertyPage::OnKillActive();
    }
    left_ = true;
    const bool ok = CPropertyPage::OnKillActive();
    if (Host() != nullptr) {
        Host()->RemovePage(this);
    }
    return ok;
}
