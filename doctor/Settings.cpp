#include "doctor/Settings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <set>

#include "doctor/FlaggedSettings.h"
#include "doctor/Printable.h"
#include "doctor/SettingNames.h"
#include "model/Describe.h"
#include "model/InputTable.h"
#include "model/Text.h"

namespace doctor {

namespace {

using Json = nlohmann::ordered_json;
using names::Kind;
using names::Setting;

constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr int kMonths = 12;
constexpr int kDaysInRow = 31;
constexpr std::uint32_t kSlotMask = 0xFF0000;  // the playlist slot value in a record's word 1

std::string Hex2(unsigned v) {
    char out[4];
    std::snprintf(out, sizeof out, "%02X", v & 0xFF);
    return out;
}

std::string Dec2(int v) {
    char out[4];
    std::snprintf(out, sizeof out, "%02d", v);
    return out;
}

Json ValueOf(const CardConfig& c, const Setting& s) {
    switch (s.kind) {
        case Kind::Bool:
            return names::Read(c, s) != 0;
        case Kind::Signed:
            return names::Read(c, s);
        case Kind::Name:
            return c.Get(NameField{s.word});
        case Kind::Stamp:
            // As text: a number above 2^53 is rounded by readers that hold
            // every number as a double.
            return std::to_string(c.Get(StampField{s.word}));
        case Kind::Unsigned:
            break;
    }
    return static_cast<std::uint64_t>(names::Read(c, s));
}

bool Unused(const CardConfig& c, int n) {
    return !c.TrackExists(n);
}

// The record the unused track slots share most: the cleared form on a card
// the program has scanned, zeros on a new one.
std::pair<std::uint32_t, std::uint32_t> CommonUnusedRecord(const CardConfig& c) {
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> counts;
    for (int n = 0; n < layout::kTrackSlots; ++n) {
        if (Unused(c, n)) {
            ++counts[{c.TrackRecordWord(n, 0), c.TrackRecordWord(n, 1) & ~kSlotMask}];
        }
    }
    std::pair<std::uint32_t, std::uint32_t> best{0, 0};
    int most = 0;
    for (const auto& [record, count] : counts) {
        if (count > most) {
            best = record;
            most = count;
        }
    }
    return best;
}

Json EntryJson(std::uint32_t entry) {
    const auto b = ScheduleSet::EntryToBytes(entry);
    Json e;
    e["time"] = Hex2(b[0]) + ":" + Hex2(b[1] & ~ScheduleSet::kTrackEvent);
    e[(b[1] & ScheduleSet::kTrackEvent) != 0 ? "track" : "show"] = b[2];
    return e;
}

Json ModelJson(const CardConfig& c) {
    const char* name = describe::KnownModelName(c);
    return name != nullptr ? Json(name) : Json(nullptr);
}

Json TrackJson(const CardConfig& c, int n, const AliasList& aliases) {
    Json t;
    t["track"] = n;
    t["file_name"] = c.TrackName(n);
    for (const auto& [alias, longName] : aliases) {
        if (alias == c.TrackName(n)) {
            t["long_name"] = longName;
            break;
        }
    }
    for (const Setting& setting : names::TrackSettings()) {
        t[setting.name] = ValueOf(c, names::ForTrack(setting, n));
    }
    return t;
}

Json TracksJson(const CardConfig& c, const AliasList& aliases) {
    Json tracks = Json::array();
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (!Unused(c, n)) {
            tracks.push_back(TrackJson(c, n, aliases));
        }
    }
    return tracks;
}

// The unused slots are written once, as the record most of them share.
Json UnusedTracksJson(const CardConfig& c) {
    CardConfig common;
    const auto record = CommonUnusedRecord(c);
    common.SetTrackRecordWord(0, 0, record.first);
    common.SetTrackRecordWord(0, 1, record.second);
    Json unused = Json::object();
    for (const Setting& setting : names::UnusedTrackSettings()) {
        unused[setting.name] = ValueOf(common, names::ForTrack(setting, 0));
    }
    return unused;
}

// A playlist entry by the long name of its file where the card has it, so
// that the entry still names that file on a card whose aliases differ.
std::string EntryName(const std::string& alias, const AliasList& aliases) {
    for (const auto& [a, longName] : aliases) {
        if (a == alias) {
            return longName;
        }
    }
    return alias;
}

Json PlaylistsJson(const CardConfig& c, const AliasList& aliases) {
    Json playlists = Json::array();
    for (int p = 0; p < layout::kPlaylistCount; ++p) {
        Json pl;
        pl["playlist"] = p + 1;
        pl[names::PlaylistRemember().name] =
            ValueOf(c, names::ForPlaylist(names::PlaylistRemember(), p));
        Json& entries = pl["entries"] = Json::array();
        for (int k = 0; k < static_cast<int>(c.PlaylistCount(p)); ++k) {
            entries.push_back(EntryName(c.PlaylistEntry(p, k), aliases));
        }
        playlists.push_back(std::move(pl));
    }
    return playlists;
}

Json InputsJson(const CardConfig& c) {
    Json inputs = Json::object();
    for (const auto& [set, name] :
         {std::pair{InputSet::Player, "player"}, std::pair{InputSet::Animation, "animation"}}) {
        Json& list = inputs[name] = Json::array();
        for (int i = 0; i < layout::kInputCount; ++i) {
            Json in;
            in["input"] = i;
            for (const Setting& setting : names::InputSettings()) {
                in[setting.name] = ValueOf(c, names::ForInput(setting, set, i));
            }
            list.push_back(std::move(in));
        }
    }
    return inputs;
}

// Schedule n's entries and the days and weekdays that run it; null when the
// schedule is neither in use nor named by any day.
Json ScheduleJson(const ScheduleSet& s, int n) {
    Json days = Json::array();
    Json weekdays = Json::array();
    for (int m = 0; m < kMonths; ++m) {
        for (int d = 0; d < kDaysInRow; ++d) {
            if (s.DaySchedule(m, d) == n) {
                days.push_back(Dec2(m + 1) + "-" + Dec2(d + 1));
            }
        }
        for (int w = 0; w < 7; ++w) {
            if (s.WeekdaySchedule(m, w) == n) {
                weekdays.push_back(Dec2(m + 1) + "-" + kWeekdays[w]);
            }
        }
    }
    if (!s.InUse(n) && days.empty() && weekdays.empty()) {
        return nullptr;
    }
    Json one;
    one["schedule"] = n;
    Json& entries = one["entries"] = Json::array();
    for (const std::uint32_t entry : s.Entries(n)) {
        entries.push_back(EntryJson(entry));
    }
    one["days"] = std::move(days);
    one["weekdays"] = std::move(weekdays);
    return one;
}

Json SchedulesJson(const ScheduleSet& s) {
    Json schedules = Json::object();
    const auto reset = s.ResetTime();
    schedules["clock_reset_time"] = Hex2(reset[0]) + ":" + Hex2(reset[1]) + ":" + Hex2(reset[2]);
    Json& list = schedules["list"] = Json::array();
    for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
        if (Json one = ScheduleJson(s, n); !one.is_null()) {
            list.push_back(std::move(one));
        }
    }
    return schedules;
}

Json DumpNamed(const CardConfig& c, const ScheduleSet& s, const AliasList& aliases) {
    Json j;
    j["format"] = kSettingsFormat;
    j["version"] = kSettingsVersion;
    j["model"] = ModelJson(c);
    j[names::PowerUpTrack().name] = ValueOf(c, names::PowerUpTrack());
    for (const names::Section& section : names::RecordSections()) {
        Json& out = j[section.name] = Json::object();
        for (const Setting& setting : section.settings) {
            out[setting.name] = ValueOf(c, setting);
        }
    }
    j["tracks"] = TracksJson(c, aliases);
    j["unused_tracks"] = UnusedTracksJson(c);
    j["playlists"] = PlaylistsJson(c, aliases);
    j["inputs"] = InputsJson(c);
    j["schedules"] = SchedulesJson(s);
    return j;
}

// How a file name in the settings is taken.
enum class Names {
    OnCard,   // it must name one of the card's audio files; flagged values are refused
    AsGiven,  // the card's alias where it names one of its files, else the name as it is
};

// Writes settings into copies of a configuration and its schedules,
// collecting every error before anything is kept.
class Applier {
  public:
    Applier(CardConfig& config, ScheduleSet& schedules, const AliasList& aliases, Names names,
            const AliasList& rootFiles = {})
        : config_(config),
          schedules_(schedules),
          aliases_(aliases),
          rootFiles_(rootFiles),
          names_(names) {}

    std::vector<std::string> Run(const Json& j) {
        CardConfig c = config_;
        ScheduleSet s = schedules_;
        if (!j.is_object()) {
            Fail("(top level)", j, "the settings must be a JSON object");
            return errors_;
        }
        for (const auto& [key, value] : j.items()) {
            Top(c, s, key, value);
        }
        Finish(c, j);
        if (j.contains("raw") && j["raw"].is_object()) {
            Raw(c, j["raw"]);
        }
        if (errors_.empty() && names_ == Names::OnCard) {
            RefuseFlagged(c, s, j);
        }
        if (errors_.empty()) {
            config_ = c;
            schedules_ = std::move(s);
        }
        return errors_;
    }

  private:
    void Fail(const std::string& key, const Json& value, const std::string& why) {
        std::string shown = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        if (shown.size() > 80) {
            shown = shown.substr(0, 77) + "...";
        }
        errors_.push_back(text::Concat({key, " = ", shown, ": ", why}));
    }

    // The keys that say what the file is; false for any other key.
    bool Header(const std::string& key, const Json& v) {
        if (key == "$schema") {
            if (!v.is_string()) {
                Fail(key, v, "must be the address of a schema, in quotes");
            }
        } else if (key == "format") {
            if (v != kSettingsFormat) {
                Fail(key, v,
                     text::Concat(
                         {"not a card settings file (expected \"", kSettingsFormat, "\")"}));
            }
        } else if (key == "version") {
            if (!v.is_number_integer() || v.get<std::int64_t>() < 1 ||
                v.get<std::int64_t>() > kSettingsVersion) {
                Fail(key, v,
                     text::Concat({"this program reads settings of version 1 to ",
                                   std::to_string(kSettingsVersion)}));
            }
        } else {
            return false;
        }
        return true;
    }

    void Top(CardConfig& c, ScheduleSet& s, const std::string& key, const Json& v) {
        if (Header(key, v)) {
            return;
        } else if (key == "model") {
            Model(c, key, v);
        } else if (key == names::PowerUpTrack().name) {
            Scalar(c, key, v, names::PowerUpTrack());
        } else if (key == "tracks") {
            Tracks(c, key, v);
        } else if (key == "unused_tracks") {
            // Applied once the track names are settled, in Finish.
            if (ObjectOf(key, v)) {
                for (const auto& [name, value] : v.items()) {
                    if (!FindSetting(names::UnusedTrackSettings(), name)) {
                        Fail(key + "." + name, value, "unknown key");
                    }
                }
            }
        } else if (key == "playlists") {
            Playlists(c, key, v);
        } else if (key == "inputs") {
            Inputs(c, key, v);
        } else if (key == "schedules") {
            Schedules(s, key, v);
        } else if (key == "raw") {
            ObjectOf(key, v);
        } else {
            for (const names::Section& section : names::RecordSections()) {
                if (key == section.name) {
                    Section(c, key, v, section.settings);
                    return;
                }
            }
            Fail(key, v, "unknown key");
        }
    }

    bool ObjectOf(const std::string& key, const Json& v) {
        if (!v.is_object()) {
            Fail(key, v, "must be an object");
            return false;
        }
        return true;
    }
    bool ArrayOf(const std::string& key, const Json& v) {
        if (!v.is_array()) {
            Fail(key, v, "must be a list");
            return false;
        }
        return true;
    }

    static const Setting* FindSetting(const std::vector<Setting>& list, const std::string& name) {
        for (const Setting& s : list) {
            if (s.name == name) {
                return &s;
            }
        }
        return nullptr;
    }

    void Section(CardConfig& c, const std::string& key, const Json& v,
                 const std::vector<Setting>& settings) {
        if (!ObjectOf(key, v)) {
            return;
        }
        for (const auto& [name, value] : v.items()) {
            if (const Setting* s = FindSetting(settings, name)) {
                Scalar(c, key + "." + name, value, *s);
            } else {
                Fail(key + "." + name, value, "unknown key");
            }
        }
    }

    // A file time as dumped (decimal digits in quotes) or as a bare number,
    // as files of the first layout hold it.
    static std::optional<std::uint64_t> StampOf(const Json& v) {
        if (v.is_number_unsigned()) {
            return v.get<std::uint64_t>();
        }
        if (!v.is_string()) {
            return std::nullopt;
        }
        const std::string& digits = v.get_ref<const std::string&>();
        std::uint64_t stamp = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), stamp);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
            return std::nullopt;
        }
        return stamp;
    }

    void Scalar(CardConfig& c, const std::string& key, const Json& v, const Setting& s) {
        switch (s.kind) {
            case Kind::Name: {
                if (!v.is_string()) {
                    Fail(key, v, "must be a file name in quotes");
                } else if (const std::string name = v.get<std::string>();
                           name.size() > static_cast<std::size_t>(layout::kNameLength) ||
                           name.find('\0') != std::string::npos) {
                    Fail(key, v, "a file name has at most 12 characters");
                } else {
                    c.Set(NameField{s.word}, name);
                }
                return;
            }
            case Kind::Stamp:
                if (const auto stamp = StampOf(v)) {
                    c.Set(StampField{s.word}, *stamp);
                } else {
                    Fail(key, v,
                         "must be a whole number from 0 to 18446744073709551615, in quotes or "
                         "not");
                }
                return;
            case Kind::Bool:
                if (!v.is_boolean()) {
                    Fail(key, v, "must be true or false");
                } else {
                    names::Write(c, s, v.get<bool>() ? 1 : 0);
                }
                return;
            case Kind::Signed:
            case Kind::Unsigned:
                break;
        }
        const std::string range = names::AllowedText(s);
        if (!v.is_number_integer()) {
            Fail(key, v, range);
            return;
        }
        const bool fits = v.is_number_unsigned()
                              ? v.get<std::uint64_t>() <= static_cast<std::uint64_t>(s.max)
                              : v.get<std::int64_t>() >= s.min && v.get<std::int64_t>() <= s.max;
        if (!fits || (s.valid && !s.valid(static_cast<std::uint32_t>(v.get<std::int64_t>())))) {
            Fail(key, v, range);
            return;
        }
        names::Write(c, s, v.get<std::int64_t>());
    }

    void Model(CardConfig& c, const std::string& key, const Json& v) {
        if (v.is_null()) {
            return;  // a model word no menu item sets; the raw words hold it
        }
        for (const describe::NamedModel& m : describe::NamedModels()) {
            if (v.is_string() && v.get<std::string>() == m.name) {
                c.SetPlayerModel(m.model);
                return;
            }
        }
        Fail(key, v, "must be one of TUNLET, TUNBOX, TUNBOX/A8, TUNBOX/A40, TUNBOX/C8, TUNBOX/C40");
    }

    // A list entry's number under `idKey`, from `low` to `high`; -1 if bad.
    int Number(const std::string& key, const Json& entry, const char* idKey, int low, int high) {
        if (!entry.is_object() || !entry.contains(idKey)) {
            Fail(key, entry, text::Concat({"each entry must be an object with \"", idKey, "\""}));
            return -1;
        }
        const Json& id = entry[idKey];
        if (!id.is_number_integer() || id.get<std::int64_t>() < low ||
            id.get<std::int64_t>() > high) {
            Fail(text::Concat({key, ".", idKey}), id,
                 text::Concat({"must be a whole number from ", std::to_string(low), " to ",
                               std::to_string(high)}));
            return -1;
        }
        return static_cast<int>(id.get<std::int64_t>());
    }

    void Tracks(CardConfig& c, const std::string& key, const Json& v) {
        if (!ArrayOf(key, v)) {
            return;
        }
        for (const Json& t : v) {
            const int n = Number(key, t, "track", 1, layout::kMaxTrack);
            if (n < 0) {
                continue;
            }
            const std::string at = text::Concat({key, "[", std::to_string(n), "]"});
            for (const auto& [name, value] : t.items()) {
                const std::string k = at + "." + name;
                if (name == "track" || name == "long_name" || name == "file_name") {
                    continue;
                } else if (const Setting* s = FindSetting(names::TrackSettings(), name)) {
                    Scalar(c, k, value, names::ForTrack(*s, n));
                } else {
                    Fail(k, value, "unknown key");
                }
            }
            TrackFile(c, at, t, n);
        }
        playlistsTouched_ = true;
    }

    // The card's alias for a file the settings name, or nothing (with the
    // error said when the name must be the card's).
    std::optional<std::string> AudioName(const std::string& key, const Json& v) {
        if (!v.is_string() || v.get<std::string>().size() > kLongestName) {
            Fail(key, v, "must be the 8.3 or long name of an audio file in SOUNDS, in quotes");
            return std::nullopt;
        }
        const std::string& name = v.get_ref<const std::string&>();
        if (auto alias = ResolveAudioName(aliases_, name)) {
            return alias;
        }
        if (names_ == Names::OnCard) {
            Fail(key, v,
                 text::Concat({"no audio file of that name is in the card's SOUNDS folder; ",
                               AudioCandidates(aliases_, name)}));
            return std::nullopt;
        }
        // Without the card a long name cannot be written; the name is only
        // checked.
        return name.size() <= static_cast<std::size_t>(layout::kNameLength) ? name : "";
    }

    // A track's file, by its long name where the entry gives one: aliases
    // differ from card to card, long names do not. An empty file name
    // removes the track.
    void TrackFile(CardConfig& c, const std::string& at, const Json& track, int n) {
        const Json* fileName = track.contains("file_name") ? &track["file_name"] : nullptr;
        const Json* longName = track.contains("long_name") ? &track["long_name"] : nullptr;
        if (fileName && fileName->is_string() && fileName->get<std::string>().empty()) {
            c.SetTrackName(n, "");
            return;
        }
        if (longName) {
            if (const auto alias = AudioName(at + ".long_name", *longName)) {
                if (!alias->empty()) {
                    c.SetTrackName(n, *alias);
                    return;
                }
            } else {
                return;
            }
        }
        if (fileName) {
            if (const auto alias = AudioName(at + ".file_name", *fileName)) {
                c.SetTrackName(n, *alias);
            }
        }
    }

    void Playlists(CardConfig& c, const std::string& key, const Json& v) {
        if (!ArrayOf(key, v)) {
            return;
        }
        playlistsTouched_ = true;
        for (const Json& pl : v) {
            const int p = Number(key, pl, "playlist", 1, layout::kPlaylistCount) - 1;
            if (p < 0) {
                continue;
            }
            const std::string at = text::Concat({key, "[", std::to_string(p + 1), "]"});
            for (const auto& [name, value] : pl.items()) {
                const std::string k = at + "." + name;
                if (name == "playlist") {
                    continue;
                }
                if (name == names::PlaylistRemember().name) {
                    Scalar(c, k, value, names::ForPlaylist(names::PlaylistRemember(), p));
                } else if (name == "entries") {
                    PlaylistEntries(c, k, value, p);
                } else {
                    Fail(k, value, "unknown key");
                }
            }
        }
    }

    void PlaylistEntries(CardConfig& c, const std::string& key, const Json& v, int p) {
        if (!ArrayOf(key, v)) {
            return;
        }
        if (v.size() > static_cast<std::size_t>(layout::kPlaylistEntries)) {
            Fail(key, v, "a playlist holds at most 31 entries");
            return;
        }
        std::vector<std::string> entries;
        for (const Json& e : v) {
            const auto alias =
                AudioName(text::Concat({key, "[", std::to_string(entries.size()), "]"}), e);
            if (!alias) {
                return;
            }
            entries.push_back(*alias);
        }
        entries.resize(static_cast<std::size_t>(layout::kPlaylistEntries));
        for (int k = 0; k < layout::kPlaylistEntries; ++k) {
            c.SetPlaylistEntry(p, k, entries[static_cast<std::size_t>(k)]);
        }
        c.SetPlaylistCount(p, static_cast<std::uint32_t>(v.size()));
    }

    void Inputs(CardConfig& c, const std::string& key, const Json& v) {
        if (!ObjectOf(key, v)) {
            return;
        }
        inputsTouched_ = true;
        for (const auto& [setName, list] : v.items()) {
            const std::string at = key + "." + setName;
            InputSet set;
            if (setName == "player") {
                set = InputSet::Player;
            } else if (setName == "animation") {
                set = InputSet::Animation;
            } else {
                Fail(at, list, "unknown key (the input tables are player and animation)");
                continue;
            }
            if (!ArrayOf(at, list)) {
                continue;
            }
            for (const Json& in : list) {
                const int i = Number(at, in, "input", 0, layout::kInputCount - 1);
                if (i < 0) {
                    continue;
                }
                const std::string inAt = text::Concat({at, "[", std::to_string(i), "]"});
                for (const auto& [name, value] : in.items()) {
                    if (name == "input") {
                        continue;
                    }
                    if (const Setting* s = FindSetting(names::InputSettings(), name)) {
                        Scalar(c, inAt + "." + name, value, names::ForInput(*s, set, i));
                    } else {
                        Fail(inAt + "." + name, value, "unknown key");
                    }
                }
            }
        }
    }

    // Two decimal digits from text[at]; -1 when they are not.
    static int Digits(const std::string& text, std::size_t at) {
        if (at + 2 > text.size() || text[at] < '0' || text[at] > '9' || text[at + 1] < '0' ||
            text[at + 1] > '9') {
            return -1;
        }
        return (text[at] - '0') * 10 + (text[at + 1] - '0');
    }
    static std::uint8_t Bcd(int v) { return static_cast<std::uint8_t>((v / 10) << 4 | (v % 10)); }

    void Schedules(ScheduleSet& s, const std::string& key, const Json& v) {
        if (!ObjectOf(key, v)) {
            return;
        }
        for (const auto& [name, value] : v.items()) {
            const std::string k = key + "." + name;
            if (name == "clock_reset_time") {
                const std::string t = value.is_string() ? value.get<std::string>() : "";
                const int h = Digits(t, 0), m = Digits(t, 3), sec = Digits(t, 6);
                if (t.size() != 8 || t[2] != ':' || t[5] != ':' || h < 0 || h > 23 || m < 0 ||
                    m > 59 || sec < 0 || sec > 59) {
                    Fail(k, value, "must be a time of day as \"HH:MM:SS\"");
                } else {
                    s.SetResetTime(Bcd(h), Bcd(m), Bcd(sec));
                }
            } else if (name == "list") {
                ScheduleList(s, k, value);
            } else {
                Fail(k, value, "unknown key");
            }
        }
    }

    void ScheduleList(ScheduleSet& s, const std::string& key, const Json& v) {
        if (!ArrayOf(key, v)) {
            return;
        }
        std::map<std::pair<int, int>, int> dayOwner, weekdayOwner;
        for (const Json& one : v) {
            const int n = Number(key, one, "schedule", 1, ScheduleSet::kMaxSchedule);
            if (n < 0) {
                continue;
            }
            const std::string at = text::Concat({key, "[", std::to_string(n), "]"});
            for (const auto& [name, value] : one.items()) {
                const std::string k = at + "." + name;
                if (name == "schedule") {
                    continue;
                }
                if (name == "entries") {
                    ScheduleEntries(s, k, value, n);
                } else if (name == "days" || name == "weekdays") {
                    Calendar(s, k, value, n, name == "days" ? dayOwner : weekdayOwner,
                             name == "days");
                } else {
                    Fail(k, value, "unknown key");
                }
            }
        }
    }

    void ScheduleEntries(ScheduleSet& s, const std::string& key, const Json& v, int n) {
        if (!ArrayOf(key, v)) {
            return;
        }
        s.ClearSchedule(n);
        int index = 0;
        for (const Json& e : v) {
            const std::string k = text::Concat({key, "[", std::to_string(index++), "]"});
            const std::string t = e.is_object() && e.contains("time") && e["time"].is_string()
                                      ? e["time"].get<std::string>()
                                      : "";
            const int h = Digits(t, 0), m = Digits(t, 3);
            const bool track = e.is_object() && e.contains("track");
            const bool show = e.is_object() && e.contains("show");
            if (t.size() != 5 || t[2] != ':' || h < 0 || h > 23 || m < 0 || m > 59 ||
                track == show || e.size() != 2) {
                Fail(k, e,
                     "must be {\"time\": \"HH:MM\", \"track\": N} or {\"time\": \"HH:MM\", "
                     "\"show\": N}");
                continue;
            }
            const Json& number = e[track ? "track" : "show"];
            const int low = track ? 1 : 0;
            if (!number.is_number_integer() || number.get<std::int64_t>() < low ||
                number.get<std::int64_t>() > 255) {
                Fail(
                    k + (track ? ".track" : ".show"), number,
                    text::Concat({"must be a whole number from ", std::to_string(low), " to 255"}));
                continue;
            }
            const std::uint32_t entry =
                ScheduleSet::MakeEntry(h, m, track, static_cast<int>(number.get<std::int64_t>()));
            if (!s.AddScheduleEntry(n, entry)) {
                Fail(k, e, "the schedule already has an entry at that time");
            }
        }
    }

    void Calendar(ScheduleSet& s, const std::string& key, const Json& v, int n,
                  std::map<std::pair<int, int>, int>& owner, bool days) {
        if (!ArrayOf(key, v)) {
            return;
        }
        // The listed cells name this schedule; cells it named before and are
        // not listed any more name none.
        for (int m = 0; m < kMonths; ++m) {
            for (int d = 0; d < (days ? kDaysInRow : 7); ++d) {
                if ((days ? s.DaySchedule(m, d) : s.WeekdaySchedule(m, d)) == n) {
                    days ? s.SetDaySchedule(m, d, 0) : s.SetWeekdaySchedule(m, d, 0);
                }
            }
        }
        for (const Json& cell : v) {
            const std::string t = cell.is_string() ? cell.get<std::string>() : "";
            const int m = Digits(t, 0) - 1;
            int d = -1;
            if (t.size() >= 3 && t[2] == '-') {
                if (days) {
                    d = t.size() == 5 ? Digits(t, 3) - 1 : -1;
                } else {
                    for (int w = 0; w < 7; ++w) {
                        if (t.substr(3) == kWeekdays[w]) {
                            d = w;
                        }
                    }
                }
            }
            if (m < 0 || m >= kMonths || d < 0 || d >= (days ? kDaysInRow : 7)) {
                Fail(key, cell,
                     days ? "each day must be \"MM-DD\" (01-01 to 12-31)"
                          : "each weekday must be \"MM-Ddd\" (01-Sun to 12-Sat)");
                continue;
            }
            const auto [it, added] = owner.emplace(std::pair{m, d}, n);
            if (!added && it->second != n) {
                Fail(key, cell,
                     text::Concat({"also given to schedule ", std::to_string(it->second)}));
                continue;
            }
            days ? s.SetDaySchedule(m, d, static_cast<std::uint8_t>(n))
                 : s.SetWeekdaySchedule(m, d, static_cast<std::uint8_t>(n));
        }
    }

    // What follows from the settings as the window's pages derive it: the
    // unused track slots' record, the playlist slot values and the input masks.
    void Finish(CardConfig& c, const Json& j) {
        if (j.is_object() && j.contains("unused_tracks") && j["unused_tracks"].is_object()) {
            for (int n = 0; n < layout::kTrackSlots; ++n) {
                if (!Unused(c, n)) {
                    continue;
                }
                for (const auto& [name, value] : j["unused_tracks"].items()) {
                    if (const Setting* s = FindSetting(names::UnusedTrackSettings(), name)) {
                        Scalar(c, "unused_tracks." + name, value, names::ForTrack(*s, n));
                    }
                }
                if (!errors_.empty()) {
                    break;  // one report per wrong value, not one per slot
                }
            }
        }
        if (playlistsTouched_) {
            c.RebuildPlaylistSlots();
        }
        if (inputsTouched_) {
            inputs::RecomputeBinaryMasks(c);
            inputs::RecomputeAnimationInputMasks(c);
        }
    }

    void Raw(CardConfig& c, const Json& raw) {
        for (const auto& [index, value] : raw.items()) {
            const std::string k = "raw." + index;
            int w = -1;
            if (!index.empty() && index.size() <= 4 &&
                std::all_of(index.begin(), index.end(),
                            [](char ch) { return ch >= '0' && ch <= '9'; })) {
                w = std::stoi(index);
            }
            if (w < 0 || w >= layout::kWordCount) {
                Fail(k, value, "unknown key (raw words are numbered 0 to 2933)");
            } else if (!value.is_number_unsigned() || value.get<std::uint64_t>() > 0xFFFFFF) {
                Fail(k, value, "must be a whole number from 0 to 16777215");
            } else {
                c.SetWord(w, static_cast<std::uint32_t>(value.get<std::uint64_t>()));
            }
        }
    }

    // Whether the card would warn about a setting that names what the card
    // lacks: refused where the file sets it, or where the card was clear of
    // it before, so that applying a file never brings a new warning.
    void RefuseFlagged(const CardConfig& c, const ScheduleSet& s, const Json& j) {
        std::set<std::string> set, before;
        for (const FlatSetting& f : Flatten(j)) {
            set.insert(f.key);
        }
        for (const FlaggedSetting& f : FlaggedSettings(config_, schedules_, rootFiles_)) {
            before.insert(f.key);
        }
        const auto sets = [&](const std::string& key) {
            for (std::size_t at = key.size(); at != std::string::npos && at > 0;
                 at = key.find_last_of(".[", at - 1)) {
                if (set.count(key.substr(0, at))) {
                    return true;
                }
            }
            return false;
        };
        for (const FlaggedSetting& f : FlaggedSettings(c, s, rootFiles_)) {
            if (sets(f.key) || !before.count(f.key)) {
                Fail(f.key, f.value, f.why);
            }
        }
    }

    static constexpr std::size_t kLongestName = 255;  // a long file name on FAT

    CardConfig& config_;
    ScheduleSet& schedules_;
    const AliasList& aliases_;
    const AliasList& rootFiles_;  // the card folder's own files, for the show files
    Names names_;
    bool playlistsTouched_ = false;
    bool inputsTouched_ = false;
    std::vector<std::string> errors_;
};

}  // namespace

std::vector<std::string> ModelNames() {
    std::vector<std::string> out;
    for (const describe::NamedModel& m : describe::NamedModels()) {
        out.emplace_back(m.name);
    }
    return out;
}

nlohmann::ordered_json DumpSettings(const CardConfig& config, const ScheduleSet& schedules,
                                    const AliasList& aliases) {
    Json j = DumpNamed(config, schedules, aliases);
    // What the named settings give back on a card without a configuration;
    // the words that come out differently are carried whole.
    CardConfig rebuilt;
    rebuilt.SetDefaults();
    ScheduleSet ignored;
    Applier(rebuilt, ignored, aliases, Names::AsGiven).Run(j);
    Json& raw = j["raw"] = Json::object();
    for (int w = 0; w < layout::kWordCount; ++w) {
        if (rebuilt.Word(w) != config.Word(w)) {
            raw[std::to_string(w)] = config.Word(w);
        }
    }
    return j;
}

std::vector<std::string> ApplySettings(const nlohmann::ordered_json& json, CardConfig& config,
                                       ScheduleSet& schedules, const AliasList& aliases,
                                       const AliasList& rootFiles) {
    return Applier(config, schedules, aliases, Names::OnCard, rootFiles).Run(json);
}

std::vector<std::string> ValidateSettings(const nlohmann::ordered_json& json) {
    CardConfig config;
    config.SetDefaults();
    ScheduleSet schedules;
    return Applier(config, schedules, {}, Names::AsGiven).Run(json);
}

namespace {

const char* ListKey(const std::string& list) {
    static const std::map<std::string, const char*> kKeys = {
        {"tracks", "track"},    {"playlists", "playlist"}, {"player", "input"},
        {"animation", "input"}, {"list", "schedule"},
    };
    const auto it = kKeys.find(list);
    return it == kKeys.end() ? nullptr : it->second;
}

void FlattenInto(const Json& j, const std::string& prefix, const std::string& name,
                 std::vector<FlatSetting>& out) {
    const char* id = ListKey(name);
    if (j.is_object()) {
        for (const auto& [key, value] : j.items()) {
            FlattenInto(value, prefix.empty() ? key : prefix + "." + key, key, out);
        }
    } else if (j.is_array() && id && std::all_of(j.begin(), j.end(), [&](const Json& e) {
                   return e.is_object() && e.contains(id);
               })) {
        for (const Json& e : j) {
            const std::string at = text::Concat(
                {prefix, "[", e[id].dump(-1, ' ', false, nlohmann::json::error_handler_t::replace),
                 "]"});
            for (const auto& [key, value] : e.items()) {
                if (key != id) {
                    FlattenInto(value, at + "." + key, key, out);
                }
            }
        }
    } else {
        out.push_back({prefix, j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)});
    }
}

void RenderInto(const Json& j, int depth, std::string& out) {
    const std::string indent(static_cast<std::size_t>(2 * depth), ' ');
    for (const auto& [key, value] : j.items()) {
        const char* id = ListKey(key);
        if (value.is_object() && !value.empty()) {
            out += text::Concat({indent, key, ":\n"});
            RenderInto(value, depth + 1, out);
        } else if (value.is_array() && id && !value.empty() && value[0].is_object()) {
            out += text::Concat({indent, key, ":\n"});
            for (const Json& e : value) {
                out += text::Concat(
                    {indent, "  ", id, " ",
                     e.contains(id)
                         ? e[id].dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
                         : "?",
                     ":\n"});
                Json rest = e;
                rest.erase(id);
                RenderInto(rest, depth + 2, out);
            }
        } else if (value.is_array()) {
            std::string line;
            for (const Json& e : value) {
                if (!line.empty()) {
                    line += ", ";
                }
                if (e.is_object()) {
                    std::string parts;
                    for (const auto& [k, v] : e.items()) {
                        parts += text::Concat(
                            {parts.empty() ? "" : " ", k == "time" ? "" : k + " ",
                             v.is_string() ? Printable(v.get<std::string>())
                                           : v.dump(-1, ' ', false,
                                                    nlohmann::json::error_handler_t::replace)});
                    }
                    line += parts;
                } else {
                    line += e.is_string()
                                ? Printable(e.get<std::string>())
                                : e.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
                }
            }
            out += text::Concat({indent, key, ": ", line.empty() ? "(none)" : line, "\n"});
        } else {
            const std::string shown =
                value.is_string()
                    ? (value.get<std::string>().empty() ? "(none)"
                                                        : Printable(value.get<std::string>()))
                : value.is_object()
                    ? "(none)"
                    : value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
            out += text::Concat({indent, key, ": ", shown, "\n"});
        }
    }
}

}  // namespace

std::vector<FlatSetting> Flatten(const nlohmann::ordered_json& json) {
    std::vector<FlatSetting> out;
    FlattenInto(json, "", "", out);
    return out;
}

std::string RenderText(const nlohmann::ordered_json& json) {
    std::string out;
    RenderInto(json, 0, out);
    return out;
}

}  // namespace doctor
