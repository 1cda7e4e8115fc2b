#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/Prompter.h"
#include "schedule/ScheduleDays.h"

class CCardwrightDoc;

// How the rules reach the two schedule dialogs; the page opens the real
// ones, tests answer for them.
class ScheduleDialogs {
  public:
    virtual ~ScheduleDialogs() = default;

    struct Edited {
        std::vector<std::uint32_t> entries;
        std::string name;
    };
    // Edits a schedule's entries and name, given as they are now; the
    // edited ones on OK, nothing on Cancel.
    virtual std::optional<Edited> EditEntries(const std::vector<std::uint32_t>& entries,
                                              const std::string& name) = 0;

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

// How a selection of days and weekday cells gets its schedule: the Edit,
// New and Remove flows, and the operations they are made of. The rules work
// on the document's schedules through the page's view of them, and say what
// happened; the page shows it.
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

    // The questions the flows put to the user.
    enum class Question { None, Expand, Wider, InUse, Remove };

    // What an operation or a flow did.
    struct Outcome {
        bool done = false;                // the user went through with it
        Question asked = Question::None;  // the last question asked, and its answer
        Prompter::Answer answer = Prompter::Answer::Cancel;
        int schedule = 0;     // the schedule the selection was given, or made for it
        bool redraw = false;  // cells changed schedule: the calendar shows them afresh
        bool store = false;   // the page stores its own settings, as after any change
        bool commit = false;  // the selection moves to the saved one
    };

    ScheduleRules(ScheduleDays& days, CCardwrightDoc& doc, ScheduleDialogs& dialogs);

    Classification ClassifySelection() const;
    Outcome AssignScheduleToSelection(int n, const std::string& name);
    Outcome NewScheduleForSelection();
    Outcome EditScheduleForSelection(int n);
    Outcome DuplicateScheduleForSelection(int s);
    Outcome DeleteSchedule(int s);

    Outcome EditFlow();
    Outcome NewFlow();
    Outcome RemoveFlow();

    // Schedule n's name as the lists show it: its own, or the one a new
    // schedule has.
    static std::string NameOf(const std::vector<std::string>& names, int n);

  private:
    // A free schedule number, or 0 after telling the user there is none.
    int FreeSchedule();
    // Opens the entries dialog for schedule n, showing `entries`; on OK the
    // schedule takes the edited entries and the selection takes schedule n.
    Outcome EditAs(int n, const std::vector<std::uint32_t>& entries);
    Outcome ActOnChoice(const ScheduleDialogs::Choice& choice);
    Outcome EditOrChoose(const Classification& c);
    Prompter::Answer Ask(Outcome& outcome, Question question, Prompter::Buttons buttons);
    std::string Name(int n) const;
    void SetName(int n, const std::string& name);

    ScheduleDays& days_;
    CCardwrightDoc& doc_;
    ScheduleDialogs& dialogs_;
};
