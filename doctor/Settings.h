#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "doctor/AudioNames.h"
#include "model/CardConfig.h"
#include "model/ScheduleSet.h"

// A card's settings as JSON, by the names the program gives its fields, and
// back. docs/card-json.md describes the layout; kSettingsVersion changes
// whenever a reader of an older layout would misread a newer one.
namespace doctor {

inline constexpr int kSettingsVersion = 2;
inline constexpr const char* kSettingsFormat = "cardwright-card";

// The names of the player models, as "model" gives them.
std::vector<std::string> ModelNames();

// Every setting of `config` and `schedules`. The "raw" section holds the
// words the named settings do not give back, so that applying the whole dump
// to a card without a configuration writes the same files again.
nlohmann::ordered_json DumpSettings(const CardConfig& config, const ScheduleSet& schedules,
                                    const AliasList& aliases);

// Writes the settings in `json` (a whole dump, or only the keys to change)
// into `config` and `schedules`, the card's configuration and schedules. A
// track or playlist entry may name only a file in `aliases`, by its alias or
// long name; the card's alias is what is written. A show file to load must be
// among `rootFiles`, the files beside the configuration. A value a check of the
// result would warn about is refused when the file sets it, or when the card
// did not have that warning before. Returns the errors, each naming the key
// and the value; with any error, `config` and `schedules` are left as they
// were.
std::vector<std::string> ApplySettings(const nlohmann::ordered_json& json, CardConfig& config,
                                       ScheduleSet& schedules, const AliasList& aliases,
                                       const AliasList& rootFiles);

// The errors `json` holds without a card to apply it to: every key, type and
// range, but no file name or track looked up.
std::vector<std::string> ValidateSettings(const nlohmann::ordered_json& json);

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
