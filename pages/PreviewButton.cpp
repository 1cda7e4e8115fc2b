#include "pages/PreviewButton.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHideEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMediaDevices>

#include "model/CardwrightDoc.h"

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
    : QPushButton(parent), doc_(doc), devices_(new QMediaDevices(this)) {
    setObjectName(QStringLiteral("previewButton"));
    // Wide enough for the time of a long track, so the row does not jump.
    setText(StopText(88 * 60000, 88 * 60000));
    setMinimumWidth(sizeHint().width());
    connect(this, &QPushButton::clicked, this, &PreviewButton::Toggle);
    connect(devices_, &QMediaDevices::audioOutputsChanged, this, &PreviewButton::ShowState);
    connect(&player_, &PreviewPlayer::Progress, this, [this] {
        // The sound came from the card that was open; another card ends it.
        if (doc_.CardDirectory() != playingCard_) {
            player_.Stop();
        }
        ShowState();
    });
    connect(&player_, &PreviewPlayer::Finished, this, [this](const QString& error) {
        ShowState();
        if (!error.isEmpty()) {
            doc_.GetPrompter().Tell(
                QStringLiteral("The track stopped playing.\n\n%1").arg(error).toStdString(),
                Prompter::Icon::Warning);
        }
    });
    ShowState();
}

PreviewButton::~PreviewButton() {
    for (const Served& served : lists_) {
        served.list->removeEventFilter(this);
    }
    player_.disconnect(this);
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
        player_.Stop();
    }
    QPushButton::hideEvent(event);
}

void PreviewButton::Toggle() {
    if (player_.IsPlaying()) {
        player_.Stop();
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
    QString error;
    if (!player_.Play(doc_.TrackFile(name), error)) {
        doc_.GetPrompter().Tell(
            QStringLiteral("This track cannot be played.\n\n%1").arg(error).toStdString(),
            Prompter::Icon::Warning);
        return;
    }
    playingCard_ = doc_.CardDirectory();
    ShowState();
}

void PreviewButton::ShowState() {
    if (player_.IsPlaying()) {
        setText(StopText(player_.PlayedMs(), player_.LengthMs()));
        // "Stop" has no letter of "Play": the key that started it stops it.
        setShortcut(QKeySequence::mnemonic(kPlayText));
        return;
    }
    setText(kPlayText);
    const QString unavailable = PreviewPlayer::Unavailable();
    setEnabled(unavailable.isEmpty());
    setToolTip(unavailable.isEmpty() ? kPlayTip : unavailable);
}
