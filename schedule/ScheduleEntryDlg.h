#pragma once

#include <QDialog>
#include <cstdint>

class CCardwrightDoc;
class QComboBox;
class QLineEdit;

// "Edit or Create Schedule Entry": one event of a schedule, its time typed
// as HH:MM, and the show it starts or the track it plays. OK checks what was
// typed and chosen; a refusal is told and the dialog stays open. Shown again
// after OK, it still shows what the user entered.
class CScheduleEntryDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CScheduleEntryDlg(CCardwrightDoc& doc, QWidget* parent = nullptr);

    // The entry the dialog shows; after OK, the one built from the controls.
    void SetEntry(std::uint32_t entry);
    std::uint32_t Entry() const { return entry_; }

    void accept() override;

  private:
    enum Kind { kShow, kAudioTrack };
    // Fills the show or track list for the kind chosen, keeping the position.
    void FillSelection();

    CCardwrightDoc& doc_;
    std::uint32_t entry_;
    QLineEdit* time_ = nullptr;
    QComboBox* kind_ = nullptr;
    QComboBox* selection_ = nullptr;
};
