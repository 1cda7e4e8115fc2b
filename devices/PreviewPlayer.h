#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <filesystem>

class QAudioSink;

namespace media {
class PreviewStream;
}

// Plays one track at a time through the default sound output. The sound is
// decoded as the player's own decoder reads it, a chunk ahead of what the
// device asks for, so a file the card check calls broken is refused with its
// reason and a long one starts at once.
class PreviewPlayer : public QObject {
    Q_OBJECT

  public:
    explicit PreviewPlayer(QObject* parent = nullptr);
    ~PreviewPlayer() override;

    // Why nothing can be heard on this computer; empty when it can.
    static QString Unavailable();

    // Stops what plays and starts `file`. False, with the reason in `error`,
    // for a file the player would not play or an output that refuses it.
    bool Play(const std::filesystem::path& file, QString& error);
    // Stops at once; Finished follows unless nothing was playing.
    void Stop();

    bool IsPlaying() const { return sink_ != nullptr; }
    // The time heard so far and the track's length, in milliseconds.
    qint64 PlayedMs() const;
    qint64 LengthMs() const { return lengthMs_; }

  signals:
    // A few times a second while playing.
    void Progress();
    // Playing ended: at the end of the track, by Stop, or by a fault, which
    // `error` then names.
    void Finished(const QString& error);

  private:
    // Ends playing on a fault of the output; notes when the last of the
    // sound has gone to it.
    void CheckOutput();
    // Lets go of the output and tells that playing ended.
    void End(const QString& error);
    void Release();

    QAudioSink* sink_ = nullptr;
    media::PreviewStream* stream_ = nullptr;  // read through the output, which owns it
    QTimer ticker_;
    QElapsedTimer draining_;  // since the output took the last of the sound
    qint64 lengthMs_ = 0;
};
