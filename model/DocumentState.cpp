#include "model/DocumentState.h"

#include <algorithm>

StateChange::StateChange(const DocumentState& before, const DocumentState& after) {
    for (int w = 0; w < layout::kWordCount; ++w) {
        if (before.config.Word(w) != after.config.Word(w)) {
            words_.push_back({w, before.config.Word(w), after.config.Word(w)});
        }
    }
    if (!before.schedules.SameFileContent(after.schedules)) {
        schedules_.emplace(before.schedules, after.schedules);
    }
    if (before.scheduleNames != after.scheduleNames) {
        names_.emplace(before.scheduleNames, after.scheduleNames);
    }
}

bool StateChange::LeavesFilesAlone() const {
    const bool words = std::all_of(words_.begin(), words_.end(),
                                   [](const Word& w) { return w.before == w.after; });
    return words && (!schedules_ || schedules_->first.SameFileContent(schedules_->second));
}

void StateChange::Undo(DocumentState& state) const {
    Put(state, false);
}

void StateChange::Redo(DocumentState& state) const {
    Put(state, true);
}

void StateChange::Put(DocumentState& state, bool after) const {
    for (const Word& w : words_) {
        state.config.SetWord(w.index, after ? w.after : w.before);
    }
    if (schedules_) {
        state.schedules = after ? schedules_->second : schedules_->first;
    }
    if (names_) {
        state.scheduleNames = after ? names_->second : names_->first;
    }
}

void StateChange::Extend(const StateChange& later) {
    std::vector<Word> merged;
    merged.reserve(words_.size() + later.words_.size());
    auto mine = words_.begin();
    auto theirs = later.words_.begin();
    while (mine != words_.end() || theirs != later.words_.end()) {
        if (theirs == later.words_.end() || (mine != words_.end() && mine->index < theirs->index)) {
            merged.push_back(*mine++);
        } else if (mine == words_.end() || theirs->index < mine->index) {
            merged.push_back(*theirs++);
        } else {
            merged.push_back({mine->index, mine->before, theirs->after});
            ++mine;
            ++theirs;
        }
    }
    words_ = std::move(merged);
    const auto extend = [](auto& mineBA, const auto& theirsBA) {
        if (!theirsBA) {
            return;
        }
        if (mineBA) {
            mineBA->second = theirsBA->second;
        } else {
            mineBA = theirsBA;
        }
    };
    extend(schedules_, later.schedules_);
    extend(names_, later.names_);
}
