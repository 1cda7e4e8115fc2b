#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/CardConfig.h"
#include "model/ScheduleSet.h"

// What one change of the user's replaced or produced: everything the user
// edits, the schedule names included.
struct DocumentState {
    CardConfig config;
    ScheduleSet schedules;
    std::vector<std::string> scheduleNames;
};

// One change between two document states, kept small enough for a long undo
// history: the record's changed words, and the schedules and their names only
// when they changed.
class StateChange {
  public:
    StateChange(const DocumentState& before, const DocumentState& after);

    // Whether the change leaves what a save writes as it was.
    bool LeavesFilesAlone() const;
    // Takes `state` (the state after the change) back to before it, or
    // (the state before) on to after it.
    void Undo(DocumentState& state) const;
    void Redo(DocumentState& state) const;
    // Makes this change end where `later`, which followed it, ends.
    void Extend(const StateChange& later);

  private:
    struct Word {
        int index;
        std::uint32_t before;
        std::uint32_t after;
    };
    // Puts the state as it was before the change, or as it is after.
    void Put(DocumentState& state, bool after) const;

    template <typename T>
    using BeforeAfter = std::optional<std::pair<T, T>>;

    std::vector<Word> words_;  // in index order
    BeforeAfter<ScheduleSet> schedules_;
    BeforeAfter<std::vector<std::string>> names_;
};
