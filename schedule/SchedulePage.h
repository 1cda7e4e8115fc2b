#pragma once

#include <functional>
#include <memory>

#include "calendar/CalendarDate.h"
#include "calendar/ColorRef.h"
#include "pages/PropertyPage.h"
#include "schedule/ScheduleDays.h"
#include "schedule/ScheduleRules.h"

class CYearCalendarCtrl;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Schedule": the clock models' year of schedules. The user selects days
// and weekday cells on the calendar and gives them a schedule; the schedule
// dialogs edit what a schedule does. The page also holds the two clock
// options and the time the player resets its clock to. The calendar shows
// the document's own day and weekday maps and every change is made there;
// only the selection is the page's.
class SchedulePage : public CPropertyPage, private ScheduleDialogs {
    Q_OBJECT

  public:
    // `year` is the year shown, the current one unless a test says.
    explicit SchedulePage(CCardwrightDoc& doc, QWidget* parent = nullptr, int year = 0);
    ~SchedulePage() override;

    static const char* const kHelpText;
    // How the page shows its help; the program supplies its help dialog.
    void SetHelp(std::function<void(const QString&)> showHelp) { showHelp_ = std::move(showHelp); }
    // Where the rules open their dialogs; the page's own unless a test says.
    void SetDialogs(ScheduleDialogs* dialogs);

    bool OnSetActive() override;
    ScheduleDays& Days() { return days_; }
    CYearCalendarCtrl* Calendar() const { return calendar_; }

    // The colour a schedule's days are drawn in (red in the low byte).
    static ColorRef ScheduleColour(int n);

  protected:
    bool StoreControls() override;
    void AfterSave(SaveKind kind, bool saved) override;

  private:
    // ScheduleDialogs, answered with the real dialogs
    std::optional<Edited> EditEntries(const std::vector<std::uint32_t>& entries,
                                      const std::string& name) override;
    Choice SelectSchedule(bool severalSchedules,
                          const std::vector<std::pair<int, std::string>>& list) override;

    void Connect(QPushButton* edit, QPushButton* create, QPushButton* remove, QPushButton* clear,
                 QPushButton* help);
    // Shows what the rules did.
    void Show(const ScheduleRules::Outcome& outcome);
    void StoreToDocument();
    void CommitSelection();
    void RedrawCalendar();
    void SetUpCalendar();
    void LoadFromDocument();
    void OnResetTimeFinished();
    void RebuildScheduleCombo();
    // Rebuilt from the document, showing the same item if it is still there.
    void RefreshScheduleCombo();
    void ShowSelectionInCombo();
    void OnCalendarClicked(const CalendarDate& start, const CalendarDate& end);
    void OnCalendarDoubleClicked(const CalendarDate& start, const CalendarDate& end);
    void OnComboChoice(int index);
    void OnComboWithSelection(int index, const ScheduleRules::Classification& c);
    void OnClearSelection();
    ColorRef DayColour(const CalendarDate& date) const;
    void ClearCalendarRange();

    ScheduleDays days_;
    std::unique_ptr<ScheduleRules> rules_;
    ScheduleDialogs* dialogs_ = this;
    std::function<void(const QString&)> showHelp_;
    bool calendarSetUp_ = false;
    bool telling_ = false;  // a refused reset time is being told

    CYearCalendarCtrl* calendar_ = nullptr;
    QComboBox* combo_ = nullptr;
    QCheckBox* noBlueStarts_ = nullptr;
    QCheckBox* resetClock_ = nullptr;
    QLineEdit* resetTime_ = nullptr;
};
