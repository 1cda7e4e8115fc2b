#include "model/ScheduleText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "model/ScheduleSet.h"
#include "model/Text.h"

namespace scheduletext {

namespace {

int FromBcd(std::uint8_t b) {
    return (b >> 4) * 10 + (b & 0x0F);
}

// The decimal number at the start of `s`, after any white space, as the C
// library reads it; 0 when there is none. Kept from overflowing.
int LeadingNumber(std::string_view s) {
    std::size_t i = s.find_first_not_of(" \t\n\v\f\r");
    int value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value > 99999 ? value : value * 10 + (s[i] - '0');
    }
    return value;
}

std::string_view Trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t\n\v\f\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\n\v\f\r") - first + 1);
}

constexpr std::string_view kTimeCharacters = ":. 1234567890";
constexpr std::string_view kSeparators = ":. ";

// The length of `s` up to its first separator (all of it when it has none).
std::size_t UpToSeparator(std::string_view s) {
    return std::min(s.find_first_of(kSeparators), s.size());
}

}  // namespace

int Hours(std::uint32_t entry) {
    return FromBcd(ScheduleSet::EntryToBytes(entry)[0]);
}

int Minutes(std::uint32_t entry) {
    return FromBcd(ScheduleSet::EntryToBytes(entry)[1] & 0x7F);
}

bool IsTrack(std::uint32_t entry) {
    return (ScheduleSet::EntryToBytes(entry)[1] & ScheduleSet::kTrackEvent) != 0;
}

int Number(std::uint32_t entry) {
    return ScheduleSet::EntryToBytes(entry)[2];
}

std::optional<Time> ParseTime(std::string_view typed, std::string& refusal) {
    const std::string_view text = Trimmed(typed);
    if (text.find_first_not_of(kTimeCharacters) != std::string_view::npos) {
        refusal = "Time contains invalid characters, fix it: HH:MM";
        return std::nullopt;
    }
    if (text.empty()) {
        refusal = "Time value is required, fix it: HH:MM";
        return std::nullopt;
    }
    Time time;
    time.hours = LeadingNumber(text);
    const std::size_t k = UpToSeparator(text);
    if (k == 0) {
        refusal = "Time format is invalid, fix it: HH:MM";
        return std::nullopt;
    }
    if (text.size() > k + 1) {
        time.minutes = LeadingNumber(text.substr(k + 1));
    }
    if (time.hours > 23 || time.minutes > 59) {
        refusal = "Time value is invalid, fix it: HH:MM, max 23:59";
        return std::nullopt;
    }
    return time;
}

std::optional<ClockTime> ParseResetTime(std::string_view typed, std::string& refusal) {
    std::string_view text = Trimmed(typed);
    if (text.find_first_not_of(kTimeCharacters) != std::string_view::npos) {
        refusal = "Reset Time contains invalid characters, fix it: HH:MM:SS";
        return std::nullopt;
    }
    if (text.empty()) {
        refusal = "Reset Time value is required, fix it: HH:MM:SS";
        return std::nullopt;
    }
    ClockTime time;
    time.hours = LeadingNumber(text);
    // Each later part is the number after the next separator; a part that
    // starts with a separator is a format error.
    for (int* part : {&time.minutes, &time.seconds}) {
        const std::size_t n = UpToSeparator(text);
        if (n == 0) {
            refusal = "Reset Time format is invalid, fix it: HH:MM:SS";
            return std::nullopt;
        }
        if (text.size() > n + 1) {
            text = text.substr(n + 1);
            *part = LeadingNumber(text);
        }
    }
    if (time.hours > 23 || time.minutes > 59 || time.seconds > 59) {
        refusal = "Reset Time value is invalid, fix it: HH:MM:SS, max 23:59:59";
        return std::nullopt;
    }
    return time;
}

std::array<std::uint8_t, 3> ResetTimeBytes(const ClockTime& time) {
    const auto bcd = [](int v) { return static_cast<std::uint8_t>(((v / 10) << 4) | (v % 10)); };
    return {bcd(time.hours), bcd(time.minutes), bcd(time.seconds)};
}

std::string ResetTimeText(const std::array<std::uint8_t, 3>& bytes) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.2d:%.2d:%.2d", FromBcd(bytes[0]), FromBcd(bytes[1]),
                  FromBcd(bytes[2]));
    return buffer;
}

std::string TimeText(std::uint32_t entry) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%.2d:%.2d", Hours(entry), Minutes(entry));
    return buffer;
}

std::string EntryLine(std::uint32_t entry, const std::function<std::string(int)>& trackName) {
    const int number = Number(entry);
    std::string what;
    if (IsTrack(entry)) {
        what = text::Concat({"Track ", std::to_string(number), ": ", trackName(number)});
    } else if (number == 0) {
        what = "Whatever Show is next";
    } else {
        what = "Show " + std::to_string(number);
    }
    return text::Concat({TimeText(entry), "\tStart\t", what});
}

namespace {

constexpr std::string_view kDefaultNameStem = "Schedule ";

}  // namespace

std::string DefaultName(int n) {
    std::string name(kDefaultNameStem);
    char digits[12];
    name.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
    return name;
}

bool IsDefaultName(std::string_view name, int n) {
    char digits[12];
    const std::string_view number(digits,
                                  std::to_chars(digits, digits + sizeof digits, n).ptr);
    return name.size() == kDefaultNameStem.size() + number.size() &&
           name.starts_with(kDefaultNameStem) && name.ends_with(number);
}

std::string ScheduleLine(int number, std::string_view name) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "Schedule %3d:\t", number);
    return text::Concat({buffer, name});
}

}  // namespace scheduletext
