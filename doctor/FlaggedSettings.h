#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "model/CardConfig.h"
#include "model/ScheduleSet.h"

// The settings a check of the card would warn about because they name what
// the card does not have, each under the key a settings file gives it. The
// values no field or page allows are the setting table's to refuse; these are
// the ones that are wrong only for the tracks and playlists beside them.
namespace doctor {

struct FlaggedSetting {
    std::string key;  // "tracks[3].end_action", "playlists[1].entries[0]"
    nlohmann::ordered_json value;
    std::string why;
};

// `rootFiles`, the files of the card's own folder, judge the show files.
std::vector<FlaggedSetting> FlaggedSettings(
    const CardConfig& c, const ScheduleSet& s,
    const std::vector<std::pair<std::string, std::string>>& rootFiles);

}  // namespace doctor
