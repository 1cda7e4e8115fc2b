#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/CardConfig.h"

// The named settings of the configuration record as the dump and the
// settings writer see them: each field of model/ConfigFields.h under its own
// name without the k, in lower case with underscores (kMainVolumeLeft is
// main_volume_left), with its place, its kind and the values it may take.
namespace doctor::names {

enum class Kind { Unsigned, Bool, Signed, Name, Stamp };

struct Setting {
    std::string name;
    int word;   // absolute, or from the start of the record it belongs to
    int shift;  // from the start of the group, for a playlist option
    int width;
    Kind kind;
    std::int64_t min;
    std::int64_t max;
    // Within min to max, the values the player knows; null: all of them.
    bool (*valid)(std::uint32_t) = nullptr;
};

struct Section {
    const char* name;
    std::vector<Setting> settings;
};

// The sections of single settings, in dump order.
const std::vector<Section>& RecordSections();
// power_up_track, which stands beside the model at the top.
const Setting& PowerUpTrack();
// Per track (word from the record's first), per input, per playlist. The
// settings of a track that has a file know fewer end actions than an unused
// slot may hold.
const std::vector<Setting>& TrackSettings();  // without the derived playlist slot
const std::vector<Setting>& UnusedTrackSettings();
const std::vector<Setting>& InputSettings();
const Setting& PlaylistRemember();

// Where a per-record setting lives for track n, input i of a set, playlist p.
Setting ForTrack(const Setting& s, int n);
Setting ForInput(const Setting& s, InputSet set, int i);
Setting ForPlaylist(const Setting& s, int p);

// The runs of values from min to max a setting allows, lowest first: one
// run unless `valid` leaves gaps.
std::vector<std::pair<std::int64_t, std::int64_t>> AllowedRuns(const Setting& s);
// "must be a whole number from 0 to 63", naming each run.
std::string AllowedText(const Setting& s);

// Reads and writes a number, flag or signed setting as a 64-bit value.
std::int64_t Read(const CardConfig& c, const Setting& s);
void Write(CardConfig& c, const Setting& s, std::int64_t value);

// "kMainVolumeLeft" -> "main_volume_left".
std::string SnakeName(const char* identifier);

}  // namespace doctor::names
