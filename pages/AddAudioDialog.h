#pragma once

#include <QDialog>
#include <filesystem>
#include <vector>

#include "model/AddAudio.h"

class QLabel;
class QPushButton;
class QTreeWidget;

// "Add Audio": every file the user chose, with what it is (format, length),
// what becomes of it on the card (copied or converted, its name and 8.3
// name, the space it takes) or why it cannot be read, and the space needed
// against the space free. The user orders the files, which become tracks in
// that order, and ticks those to write; a file that cannot be read cannot
// be ticked.
class CAddAudioDialog : public QDialog {
    Q_OBJECT

  public:
    enum Column {
        kFileColumn,
        kFormatColumn,
        kLengthColumn,
        kActionColumn,
        kSizeColumn,
        kNameColumn
    };

    CAddAudioDialog(std::filesystem::path cardDir, std::vector<addaudio::Source> sources,
                    addaudio::PlanOptions options, QWidget* parent = nullptr);

    // The ticked files, in the order shown.
    std::vector<addaudio::Source> Confirmed() const;
    // The plan for them, as the dialog shows it.
    const addaudio::Plan& CurrentPlan() const { return plan_; }

  private:
    void Fill();
    void Replan();
    void Move(int step);
    bool Ticked(int row) const;

    std::filesystem::path cardDir_;
    std::vector<addaudio::Source> sources_;  // in the order shown
    addaudio::PlanOptions options_;
    addaudio::Plan plan_;
    QTreeWidget* list_;
    QLabel* space_;
    QPushButton* up_;
    QPushButton* down_;
    QPushButton* add_;
};
