#pragma once

#include <QString>
#include <QtPlugin>
#include <filesystem>
#include <functional>
#include <memory>

class QObject;
class QTextDocument;
class QWidget;

// Sound output and printing live in modules of their own, loaded the first
// time they are needed: the libraries behind them (the sound server's client,
// the print system's) take longer to load than the whole window takes to
// appear, and most runs never play a track or print.

// Plays one track at a time through the default sound output.
class TrackPlayer {
  public:
    virtual ~TrackPlayer() = default;
    // Stops what plays and starts `file`. False, with the reason in `error`,
    // for a file the player would not play or an output that refuses it.
    virtual bool Play(const std::filesystem::path& file, QString& error) = 0;
    // Stops at once; the finished callback follows unless nothing played.
    virtual void Stop() = 0;
    virtual bool IsPlaying() const = 0;
    // The time heard so far and the track's length, in milliseconds.
    virtual qint64 PlayedMs() const = 0;
    virtual qint64 LengthMs() const = 0;
};

// What a player tells while it plays: a few times a second, and once when
// playing ended (at the end of the track, by Stop, or by a fault, which the
// text then names).
struct PlayerEvents {
    std::function<void()> progress;
    std::function<void(const QString& error)> finished;
};

class SoundOutputs {
  public:
    virtual ~SoundOutputs() = default;
    // Why nothing can be heard on this computer; empty when it can.
    virtual QString Unavailable() = 0;
    // Calls `changed` whenever outputs come or go, while `context` lives.
    virtual void WatchOutputs(QObject* context, std::function<void()> changed) = 0;
    virtual std::unique_ptr<TrackPlayer> NewPlayer(PlayerEvents events) = 0;
};

class ReportPrinter {
  public:
    virtual ~ReportPrinter() = default;
    // Asks for a printer and prints `document`; false when the user cancelled.
    virtual bool Print(QTextDocument& document, const QString& title, QWidget* parent) = 0;
};

#define CARDWRIGHT_SOUND_OUTPUTS_IID "org.cardwright.SoundOutputs/1"
#define CARDWRIGHT_REPORT_PRINTER_IID "org.cardwright.ReportPrinter/1"
Q_DECLARE_INTERFACE(SoundOutputs, CARDWRIGHT_SOUND_OUTPUTS_IID)
Q_DECLARE_INTERFACE(ReportPrinter, CARDWRIGHT_REPORT_PRINTER_IID)

namespace devices {

// The module, loaded on the first call and kept; null, with the reason in
// `error`, when it cannot be loaded.
SoundOutputs* Sound(QString& error);
ReportPrinter* Printer(QString& error);

// Calls `known` with the reason nothing can be heard (empty when something
// can), once the sound outputs have been looked at, and again whenever they
// change, while `context` lives. The first look waits until the window has
// had time to appear, so that it never delays it.
void WhenSoundKnown(QObject* context, std::function<void(const QString& unavailable)> known);
// Whether the sound outputs have been looked at.
bool SoundLookedAt();

}  // namespace devices
