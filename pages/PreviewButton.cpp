#include "pages/PreviewButton.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHideEvent>
#include <QKeyEvent>
#include <QKeySequence>

#include "model/CardwrightDoc.h"
#include "pages/Devices.h"

namespace {

const QString kPlayText = QStringLiteral("Pla&y");
const QString kPlayTip =
    QStringLiteral("Plays the chosen track from the card (Space in the track list)");

// "0:07", "12:30", "1:02:03".
QString Clock(qint64 ms) {
    const qint64 s = ms / 1000;
    if (s >= 3600) {
        return QStringLiteral("%1:%2:%3")
            .arg(s / 3600)
            .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(s % 60, 2, 10, QLatin1Char('0'));
    }
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString StopText(qint64 playedMs, qint64 lengthMs) {
    return QStringLiteral("Stop %1 / %2").arg(Clock(playedMs), Clock(lengthMs));
}

}  // namespace

PreviewButton::PreviewButton(CCardwrightDoc& doc, QWidget* parent)
    : QPushButton(parent), doc_(doc) {
    setObjectName(QStringLiteral("previewButton"));
    // Wide enough for the time of a long track, so the row does not jump.
    setText(StopText(88 * 60000, 88 * 60000));
    setMinimumWidth(sizeHint().width());
    connect(this, &QPushButton::clicked, this, &PreviewButton::Toggle);
    devices::WhenSoundKnown(this, [this](const QString& unavailable) {
        unavailable_ = unavailable;
        ShowState();
    });
    ShowState();
}

PreviewButton::~PreviewButton() {
    for (const Served& served : lists_) {
        served.list->removeEventFilter(this);
    }
    // The player's callbacks point here.
    player_.reset();
}

bool PreviewButton::IsPlaying() const {
    return player_ != nullptr && player_->IsPlaying();
}

void PreviewButton::Stop() {
    if (player_ != nullptr) {
        player_->Stop();
    }
}

bool PreviewButton::MakePlayer() {
    if (player_ != nullptr) {
        return true;
    }
    QString error;
    SoundOutputs* sound = devices::Sound(error);
    if (sound == nullptr) {
        doc_.GetPrompter().Tell(error.toStdString(), Prompter::Icon::Warning);
        return false;
    }
    PlayerEvents events;
    events.progress = [this] {
        // The sound came from the card that was open; another card ends it.
        if (doc_.CardDirectory() != playingCard_) {
            Stop();
        }
        ShowState();
    };
    events.finished = [this](const QString& failure) {
        ShowState();
        if (!failure.isEmpty()) {
            doc_.GetPrompter().Tell(
                QStringLiteral("The track stopped playing.\n\n%1").arg(failure).toStdString(),
                Prompter::Icon::Warning);
        }
    };
    player_ = sound->NewPlayer(std::move(events));
    return true;
}

void PreviewButton::ServeList(QAbstractItemView* list, std::function<std::string()> pick) {
    lists_.push_back({list, std::move(pick)});
    list->installEventFilter(this);
    // The list is a child of the same page and goes with it; the button may
    // go first.
    connect(list, &QObject::destroyed, this, [this, list] {
        std::erase_if(lists_, [list](const Served& s) { return s.list == list; });
        if (lastList_ == list) {
            lastList_ = nullptr;
        }
    });
}

bool PreviewButton::eventFilter(QObject* watched, QEvent* event) {
    auto* list = qobject_cast<QAbstractItemView*>(watched);
    if (list == nullptr) {
        return false;
    }
    if (event->type() == QEvent::FocusIn) {
        lastList_ = list;
    } else if (event->type() == QEvent::KeyPress && isEnabled()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            lastList_ = list;
            Toggle();
            return true;
        }
    }
    return false;
}

void PreviewButton::hideEvent(QHideEvent* event) {
    // Leaving the page stops the sound; a minimised window does not.
    if (!event->spontaneous()) {
        Stop();
    }
    QPushButton::hideEvent(event);
}

void PreviewButton::Toggle() {
    if (IsPlaying()) {
        Stop();
    } else {
        Start();
    }
}

void PreviewButton::Start() {
    const Served* served = lists_.empty() ? nullptr : &lists_.front();
    for (const Served& s : lists_) {
        if (s.list == lastList_) {
            served = &s;
        }
    }
    const std::string name = served != nullptr ? served->pick() : std::string();
    if (name.empty()) {
        return;
    }
    if (!MakePlayer()) {
        return;
    }
    QString error;
    if (!player_->Play(doc_.TrackFile(name), error)) {
        doc_.GetPrompter().Tell(
            QStringLiteral("This track cannot be played.\n\n%1").arg(error).toStdString(),
            Prompter::Icon::Warning);
        return;
    }
    playingCard_ = doc_.CardDirectory();
    ShowState();
}

void PreviewButton::ShowState() {
    if (IsPlaying()) {
        setText(StopText(player_->PlayedMs(), player_->LengthMs()));
        // "Stop" has no letter of "Play": the key that started it stops it.
        setShortcut(QKeySequence::mnemonic(kPlayText));
        return;
    }
    setText(kPlayText);
    // Until the outputs have been looked at, the button offers to play.
    setEnabled(unavailable_.isEmpty());
    setToolTip(unavailable_.isEmpty() ? kPlayTip : unavailable_);
}
