#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// How schedule entries are typed and listed: the time an entry editor
// accepts, and the lines of the entry and schedule lists.
namespace scheduletext {

// The parts of an entry (see ScheduleSet).
int Hours(std::uint32_t entry);
int Minutes(std::uint32_t entry);
bool IsTrack(std::uint32_t entry);
int Number(std::uint32_t entry);  // the track, or the show (0 = whichever is next)

struct Time {
    int hours = 0;
    int minutes = 0;
};
// A time as typed, "HH:MM": hours, then a colon, period or space, then the
// minutes (only the number right after the first separator counts). Nothing,
// with the message that says what is wrong, when it is refused.
std::optional<Time> ParseTime(std::string_view typed, std::string& refusal);

// The clock reset time as typed, "HH:MM:SS": minutes and seconds each follow
// a colon, period or space and may be left out. Nothing, with the message,
// when it is refused.
struct ClockTime {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};
std::optional<ClockTime> ParseResetTime(std::string_view typed, std::string& refusal);
// The reset time as the schedule file holds it, three packed-BCD bytes, and
// as the page shows them: "03:05:01".
std::array<std::uint8_t, 3> ResetTimeBytes(const ClockTime& time);
std::string ResetTimeText(const std::array<std::uint8_t, 3>& bytes);

// "07:30", and the entry list's line, its columns parted by tabs:
// "07:30\tStart\tTrack 12: <long name>", "...\tStart\tShow 3",
// "...\tStart\tWhatever Show is next".
std::string TimeText(std::uint32_t entry);
std::string EntryLine(std::uint32_t entry, const std::function<std::string(int)>& trackName);

// The name a schedule has until the user gives it one: "Schedule 7".
std::string DefaultName(int n);
bool IsDefaultName(std::string_view name, int n);

// The select dialog's line of a schedule: "Schedule   7:\t<name>", the number
// right-aligned in three places so the lines sort by number.
std::string ScheduleLine(int number, std::string_view name);

}  // namespace scheduletext
