#pragma once

#include <QPushButton>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <memory>

class TrackPlayer;

class CCardwrightDoc;
class QAbstractItemView;

// The Play/Stop button of a page that lists tracks. It plays the chosen
// track's file from the card and, while it plays, shows the time heard and
// the length; the space bar in a list it serves does the same. With no sound
// output it is disabled, and its tooltip says why. Playing stops when the
// page is hidden or another card is opened.
class PreviewButton : public QPushButton {
    Q_OBJECT

  public:
    PreviewButton(CCardwrightDoc& doc, QWidget* parent);
    ~PreviewButton() override;

    // A list whose chosen track the button plays: `pick` gives that track's
    // name on the card, empty when none is chosen. The list the user was in
    // last decides.
    void ServeList(QAbstractItemView* list, std::function<std::string()> pick);

    void Stop();
    bool IsPlaying() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    struct Served {
        QAbstractItemView* list;
        std::function<std::string()> pick;
    };

    // The player, from the sound module loaded on first use; false (after
    // telling the user) when the module is missing.
    bool MakePlayer();
    void Toggle();
    void Start();
    // Text, tooltip and enabled state, from what plays and what can.
    void ShowState();

    CCardwrightDoc& doc_;
    std::unique_ptr<TrackPlayer> player_;
    QString unavailable_;  // why nothing can be heard; empty when it can
    std::vector<Served> lists_;
    QAbstractItemView* lastList_ = nullptr;
    std::filesystem::path playingCard_;  // the card folder of the track playing
};
