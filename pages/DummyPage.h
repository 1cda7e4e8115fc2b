#pragma once

#include <QFont>
#include <memory>

#include "model/TrackReferences.h"
#include "pages/PropertyPage.h"

class QLabel;
class QPushButton;
class AudioChoices;
namespace trackrefs {
struct TrackListChanges;
}

// "Track Warning": stands in front of the other pages when the card holds no
// audio files or its files no longer match the track list, and takes itself
// out of the sheet as soon as the user moves on.
class DummyPage : public CPropertyPage {
    Q_OBJECT

  public:
    static const char* const kTemplateText;
    static const char* const kTracksChangedText;
    static const char* const kNoSoundFilesText;

    explicit DummyPage(CCardwrightDoc& doc, QWidget* parent = nullptr);
    ~DummyPage() override;

    void BeforeShow() override;
    bool OnSetActive() override;
    bool OnKillActive() override;

    QString MessageText() const;
    // The names of the files that came and the tracks that went, as the
    // last reconciliation that changed anything found them.
    QString ChangesText() const;
    bool HasLeft() const { return left_; }
    // Who chooses and confirms the files "Add Audio…" writes.
    void SetAudioChoices(AudioChoices* choices) { audioChoices_ = choices; }

  private:
    void ShowChanges(const trackrefs::TrackListChanges& changes);

    QLabel* message_;
    QLabel* changes_;
    // What the user can do about it here: put audio on a card that has
    // none, or the files in the order of their tracks.
    QPushButton* addAudio_;
    QPushButton* trackOrder_;
    AudioChoices* audioChoices_;
    // What bringing the track list in line with the card found, last time.
    bool cardChanged_ = false;
    trackrefs::TrackListChanges trackChanges_;
    // Made on the first activation and kept for the page's life.
    std::unique_ptr<QFont> font_;
    bool left_ = false;
};
