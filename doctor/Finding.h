#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace doctor {

// How bad a finding is; a card's verdict is its worst finding.
//   Error:   the player will not start from the card, or a track will not play.
//   Warning: something is wrong or will go wrong, but the card still plays.
//   Note:    worth knowing; nothing is wrong.
enum class Severity { Note, Warning, Error };

// "note", "warning", "error".
const char* SeverityName(Severity severity);
// The severity of one of those names; nothing for any other.
std::optional<Severity> SeverityNamed(std::string_view name);

// One problem found on a card.
struct Finding {
    Severity severity = Severity::Warning;
    std::string id;    // a stable short name, such as "track-missing", for scripts
    std::string file;  // what it concerns, relative to the card ("SOUNDS/A.MP3"); empty: the card
    std::string problem;  // what is wrong
    std::string action;   // what to do about it
    int blinkCount = 0;   // the code the player blinks for it; 0 when it blinks none
};

// The exit status of a check: 0 when nothing is wrong, 1 for warnings only,
// 2 when the player will not start or a track will not play.
int ExitStatus(const std::vector<Finding>& findings);

// Orders findings worst first, keeping the order they were found in within
// a severity, as every list of findings is shown.
void SortWorstFirst(std::vector<Finding>& findings);

// Every id a check can give, in alphabetical order. Scripts silence findings
// by these, so an id once given is never renamed.
std::span<const std::string_view> FindingIds();
bool IsFindingId(std::string_view id);

}  // namespace doctor
