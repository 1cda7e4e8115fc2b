#include "model/Describe.h"

#include <array>

#include "model/InputTable.h"
#include "model/ScheduleSet.h"
#include "model/ScheduleText.h"
#include "model/Text.h"

namespace describe {

namespace {

constexpr std::array<const char*, 12> kMonthNames{"January",   "February", "March",    "April",
                                                  "May",       "June",     "July",     "August",
                                                  "September", "October",  "November", "December"};
constexpr std::array<const char*, 7> kWeekdayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                   "Thursday", "Friday", "Saturday"};
// The most days a month has in any year: the day map keeps 31 cells for
// every month, and those beyond these are days no year has.
constexpr std::array<int, 12> kLongestMonth{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

std::string Num(long long n) {
    return std::to_string(n);
}

std::string LongOrShort(const std::string& shortName, const LongNames& names) {
    std::string longName = names ? names(shortName) : std::string();
    return longName.empty() ? shortName : longName;
}

std::string FadeText(const InputAction& a) {
    const char* to = "";
    switch (a.fade) {
        case InputAction::Fade::None:
            return {};
        case InputAction::Fade::ToFull:
            to = "full";
            break;
        case InputAction::Fade::ToZero:
            to = "zero";
            break;
        case InputAction::Fade::ToHalfMute:
            to = "'Half Mute'";
            break;
    }
    return a.fadeTime == 0 ? text::Concat({"fade to ", to, " at once"})
                           : text::Concat({"fade to ", to, " in ", Seconds(a.fadeTime)});
}

// The playlist position an action names: "entry 4 of playlist 2 (Bell.wav)".
std::string PlaylistPosition(const CardConfig& c, int playlist, int entry, const LongNames& names) {
    const std::string where = text::Concat({"entry ", Num(entry), " of playlist ", Num(playlist)});
    const int count = static_cast<int>(c.PlaylistCount(playlist - 1));
    if (entry > count) {
        return text::Concat(
            {where, ", which has ", Num(count), count == 1 ? " entry" : " entries"});
    }
    return text::Concat(
        {where, " (", LongOrShort(c.PlaylistEntry(playlist - 1, entry - 1), names), ")"});
}

std::string StartText(const CardConfig& c, const InputAction& a, const LongNames& names) {
    std::string what;
    switch (a.choice) {
        case InputAction::Choice::Next:
        case InputAction::Choice::Unchosen:
            what = "whatever is next";
            break;
        case InputAction::Choice::NextHigher:
            what = "the next higher track";
            break;
        case InputAction::Choice::SameAgain:
            what = "the same track again";
            break;
        case InputAction::Choice::Random:
            what = "a random track";
            break;
        case InputAction::Choice::Numbered:
            what = a.scope == InputAction::kAllTracks
                       ? TrackName(c, a.number, names)
                       : PlaylistPosition(c, a.scope, a.number, names);
            break;
    }
    const bool inPlaylist =
        a.scope != InputAction::kAllTracks && a.choice != InputAction::Choice::Numbered;
    return text::Concat({"start ", what, inPlaylist ? " in playlist " + Num(a.scope) : "",
                         a.delay > 0 ? " after " + Seconds(a.delay) : ""});
}

std::string Capitalised(std::string s) {
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') {
        s[0] = static_cast<char>(s[0] - 'a' + 'A');
    }
    return s;
}

// "Input 3 closes: ..." and "Input 3 opens: ...", or the group's.
std::vector<std::string> BothSides(const CardConfig& c, InputSet set, int input,
                                   const std::string& who, const LongNames& names) {
    std::vector<std::string> out;
    for (const inputs::Side side : {inputs::Side::Close, inputs::Side::Open}) {
        const InputAction a = inputs::ReadAction(c, set, input, side);
        out.push_back(text::Concat({who, side == inputs::Side::Close ? " closes: " : " opens: ",
                                    Action(c, a, names), "."}));
    }
    return out;
}

void Binary(const CardConfig& c, InputSet set, int input, int bit, const LongNames& names,
            std::vector<std::string>& out) {
    std::vector<std::string> members;
    int bitZero = -1;
    for (int b = 0; b < inputs::kBinaryBits; ++b) {
        for (int i = 0; i < c.InputCount(); ++i) {
            if (inputs::BinaryBit(c.Get(field::kInputMode, set, i)) == b) {
                members.push_back(Num(i));
                bitZero = b == 0 ? i : bitZero;
            }
        }
    }
    const std::string name = Capitalised(InputName(set, input));
    const std::string group = text::Concat({"the binary group of inputs ", JoinWords(members)});
    if (bit == 0) {
        out.push_back(text::Concat({name, " is bit 0 of ", group, ", and sets its actions."}));
        for (std::string& s : BothSides(c, set, input, "The group", names)) {
            out.push_back(std::move(s));
        }
    } else if (bitZero < 0) {
        out.push_back(text::Concat({name, " is bit ", Num(bit), " of ", group,
                                    ", which has no bit 0 and so starts nothing."}));
    } else {
        out.push_back(text::Concat({name, " is bit ", Num(bit), " of ", group, "; input ",
                                    Num(bitZero), " sets the group's actions."}));
    }
}

std::string Months(unsigned mask) {
    std::vector<std::string> runs;
    for (int m = 0; m < 12; ++m) {
        if ((mask & (1u << m)) == 0) {
            continue;
        }
        int last = m;
        while (last + 1 < 12 && (mask & (1u << (last + 1))) != 0) {
            ++last;
        }
        runs.push_back(last == m ? kMonthNames[m]
                                 : text::Concat({kMonthNames[m], " to ", kMonthNames[last]}));
        m = last;
    }
    return JoinWords(runs);
}

// The weekday cells of schedule n: weekdays that share their months are
// named together.
std::vector<std::string> WeekdayPhrases(const ScheduleSet& s, int n) {
    std::array<unsigned, 7> months{};
    for (int w = 0; w < 7; ++w) {
        for (int m = 0; m < 12; ++m) {
            if (s.WeekdaySchedule(m, w) == n) {
                months[w] |= 1u << m;
            }
        }
    }
    std::vector<std::string> phrases;
    for (int w = 0; w < 7; ++w) {
        if (months[w] == 0) {
            continue;
        }
        std::vector<std::string> days;
        for (int v = w; v < 7; ++v) {
            if (months[v] == months[w]) {
                days.push_back(kWeekdayNames[v]);
                if (v != w) {
                    months[v] = 0;
                }
            }
        }
        phrases.push_back(text::Concat(
            {"every ", JoinWords(days), months[w] == 0xFFF ? "" : " in " + Months(months[w])}));
    }
    return phrases;
}

std::string DayName(int month, int day) {
    return text::Concat({Num(day + 1), " ", kMonthNames[month]});
}

// The days of schedule n as runs, each through the days that follow on.
std::vector<std::string> DayPhrases(const ScheduleSet& s, int n, bool& everyDay) {
    std::vector<std::pair<int, int>> cells;  // month, day: every day some year has
    for (int m = 0; m < 12; ++m) {
        for (int d = 0; d < kLongestMonth[m]; ++d) {
            cells.emplace_back(m, d);
        }
    }
    std::vector<std::string> phrases;
    everyDay = true;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (s.DaySchedule(cells[i].first, cells[i].second) != n) {
            everyDay = false;
            continue;
        }
        std::size_t last = i;
        while (last + 1 < cells.size() &&
               s.DaySchedule(cells[last + 1].first, cells[last + 1].second) == n) {
            ++last;
        }
        const auto [m1, d1] = cells[i];
        const auto [m2, d2] = cells[last];
        if (last == i) {
            phrases.push_back(DayName(m1, d1));
        } else if (m1 == m2) {
            phrases.push_back(text::Concat({Num(d1 + 1), " to ", DayName(m2, d2)}));
        } else {
            phrases.push_back(text::Concat({DayName(m1, d1), " to ", DayName(m2, d2)}));
        }
        i = last;
    }
    return phrases;
}

}  // namespace

const std::vector<NamedModel>& NamedModels() {
    static const std::vector<NamedModel> kModels = {
        {PlayerModel::Tunlet, "TUNLET"},      {PlayerModel::Tunbox, "TUNBOX"},
        {PlayerModel::TunboxA8, "TUNBOX/A8"}, {PlayerModel::TunboxA40, "TUNBOX/A40"},
        {PlayerModel::TunboxC8, "TUNBOX/C8"}, {PlayerModel::TunboxC40, "TUNBOX/C40"},
    };
    return kModels;
}

const char* KnownModelName(const CardConfig& c) {
    for (const NamedModel& m : NamedModels()) {
        if (c.IsModel(m.model)) {
            return m.name;
        }
    }
    return nullptr;
}

std::string ModelName(const CardConfig& c) {
    const char* name = KnownModelName(c);
    return name != nullptr ? name : "an unknown model";
}

std::string Seconds(std::uint32_t tenths) {
    return text::Concat({Num(tenths / 10), ".", Num(tenths % 10), " s"});
}

std::string InputName(InputSet set, int input) {
    return text::Concat({set == InputSet::Player ? "input " : "animation input ", Num(input)});
}

std::string TrackName(const CardConfig& c, int track, const LongNames& names) {
    if (track < 1 || track > layout::kMaxTrack || !c.TrackExists(track)) {
        return text::Concat({"track ", Num(track), ", which has no file"});
    }
    return text::Concat({"track ", Num(track), " (", LongOrShort(c.TrackName(track), names), ")"});
}

std::string Action(const CardConfig& c, const InputAction& action, const LongNames& names) {
    std::vector<std::string> parts;
    switch (action.kind) {
        case InputAction::Kind::Start:
            parts.push_back(StartText(c, action, names));
            break;
        case InputAction::Kind::Stop:
            parts.push_back(action.stop == InputAction::StopWhen::AtEnd
                                ? "stop at the end of the current track"
                                : "stop now");
            break;
        case InputAction::Kind::PauseResume:
            parts.push_back("pause or resume");
            break;
        case InputAction::Kind::Nothing:
            break;
    }
    if (std::string fade = FadeText(action); !fade.empty()) {
        parts.push_back(std::move(fade));
    }
    if (parts.empty()) {
        return "nothing";
    }
    return parts.size() == 1 ? parts[0] : text::Concat({parts[0], ", ", parts[1]});
}

std::vector<std::string> InputSentences(const CardConfig& c, InputSet set, int input,
                                        const LongNames& names) {
    std::vector<std::string> out;
    if (input < 0 || input >= c.InputCount()) {
        return out;
    }
    const std::uint32_t mode = c.Get(field::kInputMode, set, input);
    const std::string name = Capitalised(InputName(set, input));
    if (mode == inputs::kIndependent) {
        return BothSides(c, set, input, name, names);
    }
    if (const int bit = inputs::BinaryBit(mode); bit >= 0) {
        Binary(c, set, input, bit, names, out);
        return out;
    }
    out.push_back(text::Concat({name, " is unused."}));
    return out;
}

std::string EndAction(const CardConfig& c, int track, const LongNames& names) {
    // An end action is a play action code like an input's; the input's
    // reader decodes it, without the delay and fade an input has.
    const std::uint32_t code = c.Get(field::kEndAction, track);
    const InputAction a = InputAction::Decode(StoredAction{code, false, 0, 0, 0});
    std::string then = Action(c, a, names);
    if (a.kind == InputAction::Kind::Stop && a.stop == InputAction::StopWhen::Now) {
        then = "stop";
    } else if (a.kind == InputAction::Kind::Nothing) {
        then = code == playcode::kNothing
                   ? "do nothing"
                   : text::Concat({"do nothing (action code ", Num(code), " means nothing)"});
    }
    if (c.Get(field::kWaitForInput, track)) {
        return text::Concat({"wait for an input, then ", then});
    }
    const std::uint32_t delay = c.Get(field::kEndDelay, track);
    return delay == 0 ? then : text::Concat({"wait ", Seconds(delay), ", then ", then});
}

std::string PowerUp(const CardConfig& c, const LongNames& names) {
    const int track = static_cast<int>(c.Get(field::kPowerUpTrack));
    return track == 0 ? "nothing" : "play " + TrackName(c, track, names);
}

std::string PlaylistSummary(const CardConfig& c, int playlist) {
    const std::uint32_t count = c.PlaylistCount(playlist);
    const std::string name = text::Concat({"Playlist ", Num(playlist + 1)});
    if (count == 0) {
        return text::Concat({name, " is empty."});
    }
    return text::Concat({name, ": ", Num(count), count == 1 ? " track" : " tracks",
                         c.Get(field::kPlaylistRemember, playlist)
                             ? "; remembers the last track played."
                             : "; starts again from its first track."});
}

std::vector<std::string> PlaylistEntries(const CardConfig& c, int playlist,
                                         const LongNames& names) {
    std::vector<std::string> out;
    for (int k = 0; k < static_cast<int>(c.PlaylistCount(playlist)); ++k) {
        const std::string entry = c.PlaylistEntry(playlist, k);
        int track = 0;
        for (int n = 1; n <= layout::kMaxTrack && track == 0; ++n) {
            track = c.TrackExists(n) && c.TrackName(n) == entry ? n : 0;
        }
        if (entry.empty()) {
            out.push_back("no file");
        } else if (track == 0) {
            out.push_back(text::Concat({entry, ", which is not a track on the card"}));
        } else {
            const std::string longName = LongOrShort(entry, names);
            out.push_back(longName == entry
                              ? text::Concat({entry, " (track ", Num(track), ")"})
                              : text::Concat({longName, " (", entry, ", track ", Num(track), ")"}));
        }
    }
    return out;
}

std::string ScheduleEvent(const CardConfig& c, std::uint32_t entry, const LongNames& names) {
    const int number = scheduletext::Number(entry);
    std::string what;
    if (scheduletext::IsTrack(entry)) {
        what = "play " + TrackName(c, number, names);
    } else {
        what = number == 0 ? "start whatever show is next" : "start show " + Num(number);
    }
    return text::Concat({scheduletext::TimeText(entry), " ", what});
}

std::string ScheduleDays(const ScheduleSet& s, int schedule) {
    bool everyDay = false;
    std::vector<std::string> parts = DayPhrases(s, schedule, everyDay);
    if (everyDay) {
        return "every day";
    }
    const std::vector<std::string> weekdays = WeekdayPhrases(s, schedule);
    std::string out;
    for (const std::string& p : parts) {
        out += (out.empty() ? "" : ", ") + p;
    }
    for (const std::string& p : weekdays) {
        out += (out.empty() ? "" : "; ") + p;
    }
    return out.empty() ? "no day" : out;
}

std::string JoinWords(const std::vector<std::string>& words) {
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        out += i == 0 ? "" : (i + 1 == words.size() ? " and " : ", ");
        out += words[i];
    }
    return out;
}

}  // namespace describe
