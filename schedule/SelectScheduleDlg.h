#pragma once

#include <QDialog>
#include <string>
#include <vector>

class Prompter;
class QTreeWidget;

// "Select Schedule to Edit": picks one schedule out of a list, to take it,
// edit it or delete it. The first choice creates a new schedule.
class CSelectScheduleDlg : public QDialog {
    Q_OBJECT

  public:
    struct Choice {
        int number;  // 0: a new schedule
        std::string name;
    };
    enum Mode { kSeveralSchedules = 0, kAnySchedule = 1 };

    // `choices` starts with the create-new choice (number 0).
    CSelectScheduleDlg(Prompter& prompter, Mode mode, std::vector<Choice> choices,
                       QWidget* parent = nullptr);

    // After OK: the schedule chosen (0 for a new one), and whether the user
    // asked to edit it or confirmed deleting it.
    int Chosen() const { return chosen_; }
    bool EditFlag() const { return edit_; }
    bool DeleteFlag() const { return delete_; }

    void accept() override;
    void OnEditSchedule();
    void OnDeleteSchedule();

  private:
    // The choice of the selected line, or -1.
    int SelectedChoice() const;

    Prompter& prompter_;
    std::vector<Choice> choices_;
    QTreeWidget* list_ = nullptr;
    int chosen_ = 0;
    bool edit_ = false;
    bool delete_ = false;
};
