#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "model/CardConfig.h"
#include "model/ScheduleSet.h"

// A card's settings as JSON, by the names the program gives its fields, and
// back. docs/card-json.md describes the layout; kSettingsVersion changes
// whenever a reader of an older layout would misread a newer one.
namespace doctor {

inline constexpr int kSettingsVersion = 1;
inline constexpr const char* kSettingsFormat = "cardwright-card";

// The long name of each audio file on the card by its 8.3 alias.
using AliasList = std::vector<std::pair<std::string, std::string>>;

// Every setting of `config` and `schedules`. The "raw" section holds the
// words the named settings do not give back, so that applying the whole dump
// to a card without a configuration writes the same files again.
nlohmann::ordered_json DumpSettings(const CardConfig& config, const ScheduleSet& schedules,
                                    const AliasList& aliases);

// Writes the settings in `json` (a whole dump, or only the keys to change)
// into `config` and `schedules`. A track may name only a file in `aliases`.
// Returns the errors, each naming the key and the value; with any error,
// `config` and `schedules` are left as they were.
std::vector<std::string> ApplySettings(const nlohmann::ordered_json& json, CardConfig& config,
                                       ScheduleSet& schedules, const AliasList& aliases);

// One setting of a dump: its key path ("levels.main_volume_left",
// "tracks[3].end_action") and its value as compact JSON.
struct FlatSetting {
    std::string key;
    std::string value;
};
// Every setting of a dump in document order; entries of the lists of
// tracks, playlists, inputs and schedules are keyed by their number.
std::vector<FlatSetting> Flatten(const nlohmann::ordered_json& json);

// A dump as text for people: one setting a line, sections indented.
std::string RenderText(const nlohmann::ordered_json& json);

}  // namespace doctor
