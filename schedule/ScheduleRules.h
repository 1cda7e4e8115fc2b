#pragma once

#include <string>
#include <utility>
#include <vector>

#include "schedule/ScheduleDays.h"

class CCardwrightDoc;

// How the rules reach the two schedule dialogs; the page opens the real
// ones, tests answer for them.
class ScheduleDialogs {
  public:
    virtual ~ScheduleDialogs() = default;
    // Edits schedule n's entries and name; true on OK, with the name as edited.
    virtual bool EditEntries(int n, std::string& name) = 0;

    struct Choice {
        bool ok = false;
        int chosen = 0;  // 0: create a new schedule
        bool edit = false;
        bool erase = false;
    };
    // Offers the listed schedules, the first being the create-new choice (0).
    virtual Choice SelectSchedule(bool severalSchedules,
                                  const std::vector<std::pair<int, std::string>>& list) = 0;
};

// What the rules ask of the page around them.
class SchedulePageHooks {
  public:
    virtual ~SchedulePageHooks() = default;
    // Writes the page into the document, marking it modified when it changed.
    virtual void StoreToDocument() = 0;
    // Shows what the selection holds, then moves it to the saved selection.
    virtual void CommitSelection() = 0;
    // Repaints the calendar and clears its own range.
    virtual void RedrawCalendar() = 0;
};

// How a selection of days and weekday cells gets its schedule: the Edit,
// New and Remove flows, and the operations they are made of.
class ScheduleRules {
  public:
    enum SelectionKind {
        SelNone,
        SelUnscheduled,         // nothing selected has a schedule
        SelOnePlusUnscheduled,  // one schedule, and some cells without
        SelOneWider,            // all one schedule, which other days have too
        SelOneExact,            // all one schedule, on no other day
        SelMultiple,            // several schedules
    };
    struct Classification {
        SelectionKind kind = SelNone;
        int schedule = 0;
        std::vector<int> found;  // the schedules selected, in order of first occurrence
    };

    ScheduleRules(ScheduleDays& days, CCardwrightDoc& doc, ScheduleDialogs& dialogs,
                  SchedulePageHooks& page);

    Classification ClassifySelection() const;
    void AssignScheduleToSelection(int n, const std::string& name);
    bool NewScheduleForSelection();
    bool EditScheduleForSelection(int n);
    bool DuplicateScheduleForSelection(int s);
    bool DeleteSchedule(int s);

    void EditFlow();
    void NewFlow();
    void RemoveFlow();

  private:
    // A free schedule number, or 0 after telling the user there is none.
    int FreeSchedule();
    void ActOnChoice(const ScheduleDialogs::Choice& choice);
    std::string& Name(int n);

    ScheduleDays& days_;
    CCardwrightDoc& doc_;
    ScheduleDialogs& dialogs_;
    SchedulePageHooks& page_;
};
