// The sound module: the track player over Qt Multimedia, which the window
// loads the first time a page asks about sound.

#include <QMediaDevices>
#include <QObject>
#include <QPointer>

#include "devices/PreviewPlayer.h"
#include "pages/Devices.h"

namespace {

class Player : public TrackPlayer {
  public:
    explicit Player(PlayerEvents events) : events_(std::move(events)) {
        QObject::connect(&player_, &PreviewPlayer::Progress, [this] {
            if (events_.progress) {
                events_.progress();
            }
        });
        QObject::connect(&player_, &PreviewPlayer::Finished, [this](const QString& error) {
            if (events_.finished) {
                events_.finished(error);
            }
        });
    }
    ~Player() override {
        // Whoever listened is going away: stopping now tells nobody.
        events_ = {};
        player_.disconnect();
    }

    bool Play(const std::filesystem::path& file, QString& error) override {
        return player_.Play(file, error);
    }
    void Stop() override { player_.Stop(); }
    bool IsPlaying() const override { return player_.IsPlaying(); }
    qint64 PlayedMs() const override { return player_.PlayedMs(); }
    qint64 LengthMs() const override { return player_.LengthMs(); }

  private:
    PlayerEvents events_;
    PreviewPlayer player_;
};

}  // namespace

class SoundModule : public QObject, public SoundOutputs {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID CARDWRIGHT_SOUND_OUTPUTS_IID)
    Q_INTERFACES(SoundOutputs)

  public:
    QString Unavailable() override { return PreviewPlayer::Unavailable(); }

    void WatchOutputs(QObject* context, std::function<void()> changed) override {
        if (devices_ == nullptr) {
            devices_ = new QMediaDevices(this);
        }
        connect(devices_, &QMediaDevices::audioOutputsChanged, context, std::move(changed));
    }

    std::unique_ptr<TrackPlayer> NewPlayer(PlayerEvents events) override {
        return std::make_unique<Player>(std::move(events));
    }

  private:
    QMediaDevices* devices_ = nullptr;
};

#include "SoundModule.moc"
