#pragma once

#include <QString>
#include <cstdint>

#include "pages/PropertyPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class PreviewButton;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;
class AudioChoices;

// "Track Setup": each track's end behaviour, the power-up track and the order
// of tracks. The page edits one track at a time, the current track, and
// stores every change into the document as it is made; the list and the
// "Then" entries are rebuilt from the document on every activation.
class CTrackSetup : public CPropertyPage {
    Q_OBJECT

  public:
    // Columns of the track list.
    enum Column {
        kSelColumn,
        kIdColumn,
        kSelectionColumn,
        kAtEndColumn,
        kWaitColumn,
        kStepOnColumn
    };
    // The fixed entries of the "Then" combo; one entry per track follows.
    static constexpr int kFixedThenEntries = 4;
    // The delay spin reaches 999.9 s; the field itself holds 1638.3 s.
    static constexpr int kDelaySpinMax = 9999;
    static constexpr int kDelayFieldMax = 16383;

    explicit CTrackSetup(CCardwrightDoc& doc, QWidget* parent = nullptr);
    ~CTrackSetup() override;

    void BeforeShow() override;
    bool OnSetActive() override;

    // The track whose settings the controls show; 0 when there is none.
    int CurrentTrack() const { return currentTrack_; }

    // Who chooses and confirms the files "Add Audio…" writes.
    void SetAudioChoices(AudioChoices* choices) { audioChoices_ = choices; }

  protected:
    bool StoreControls() override;
    // Sound files dropped on the track list are added as new tracks.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void AfterSave(SaveKind kind, bool saved) override;
    void changeEvent(QEvent* event) override;

  private:
    // What the controls hold, as read by ReadControls and shown by
    // WriteControls.
    struct Values {
        int thenIndex = -1;
        QString name;
        int delayTenths = 0;  // already limited to what the field holds
        bool stepOn = false;
        int powerUp = 0;
        int atEndIndex = 0;
    };

    void BuildControls();
    QLayout* BuildEndRow();
    QLayout* BuildOptionRow();
    void BuildTrackList();
    void ConnectControls();
    // Rebuilds the list and the "Then" entries from the document, after the
    // document has matched its track list with the card, and loads the
    // current track.
    void Refresh();
    // Says which settings name a track or playlist entry without a file.
    void ShowEmptyReferences();
    void LoadCurrentTrack();
    // Reads the controls and writes the current track, the playlist slot
    // values and the power-up track. False when a typed number was refused
    // (the user has been told, the stored value stays). `typing` is the
    // field the user is typing into, whose text is left alone.
    bool Commit(const QLineEdit* typing = nullptr);
    bool ReadControls();
    void WriteControls(const QLineEdit* typing = nullptr);
    // Writes track n from the controls; true when its row now reads
    // differently.
    bool WriteTrack(int n);
    int ThenIndexOf(std::uint32_t code) const;
    std::uint32_t EndActionOf(int thenIndex) const;
    void FillRow(QTreeWidgetItem* row, int n, const QString& longName) const;
    // True when the row now reads differently.
    bool FillSettings(QTreeWidgetItem* row, int n) const;
    // Makes every column but the long names as wide as its widest entry.
    void FitColumns();
    QTreeWidgetItem* RowOfTrack(int n) const;
    int FirstSelectedRow() const;
    void MakeCurrent(int row);
    // Tells the user a typed value was refused; the field losing the focus
    // to the message box then says nothing more.
    void TellRefused(const QString& text);

    void OnNumberEdited(const QLineEdit* edit);
    void OnNumberFinished(QLineEdit* edit);
    void OnDelaySpin();
    void OnPowerUpSpin();
    void OnCurrentItemChanged(QTreeWidgetItem* current);
    // Trades the first selected row's file and settings with the row `step`
    // rows away.
    void MoveTrack(int step);
    void OnAll();
    void OnReload();
    void OnAddAudio(const QStringList& files);
    void OnPutInTrackOrder();

    QLabel* trackName_;
    QLabel* emptyNote_ = nullptr;
    QComboBox* atEnd_;
    QLineEdit* delayEdit_;
    QSpinBox* delaySpin_;
    QComboBox* then_;
    QPushButton* all_;
    QCheckBox* stepOn_;
    QLineEdit* powerUpEdit_;
    QSpinBox* powerUpSpin_;
    QTreeWidget* list_;
    QPushButton* moveUp_;
    QPushButton* moveDown_;
    QPushButton* reload_;
    PreviewButton* preview_;
    QPushButton* addAudio_;
    QPushButton* trackOrder_;
    AudioChoices* audioChoices_;

    Values values_;
    int currentTrack_ = 0;
    int currentRow_ = -1;
    // Set while a message is up, so that the focus leaving an edit for the
    // message box does not report the same text again.
    bool telling_ = false;
};
