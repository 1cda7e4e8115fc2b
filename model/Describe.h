#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/CardConfig.h"
#include "model/InputAction.h"

class ScheduleSet;

// What the card makes the player do, in words for people: the sentences the
// card report, the card check and the command line share. Each decodes the
// card through the model's own readers (InputAction, the input table, the
// schedule entries), so a sentence says what the pages show.
namespace describe {

// The long name of a card file by its 8.3 name; empty when it is not known.
using LongNames = std::function<std::string(const std::string& shortName)>;

// Every model the Player Type menu sets, by the name it is sold under.
struct NamedModel {
    PlayerModel model;
    const char* name;
};
const std::vector<NamedModel>& NamedModels();

// "TUNBOX/C40": the model the model word names; null for a word no Player
// Type menu item sets.
const char* KnownModelName(const CardConfig& c);
// The same, or "an unknown model".
std::string ModelName(const CardConfig& c);

// Tenths of a second as "2.0 s".
std::string Seconds(std::uint32_t tenths);

// "input 3", "animation input 3".
std::string InputName(InputSet set, int input);

// "track 5 (Harbour Bell.wav)": the track's long name, its 8.3 name when the
// long one is unknown, or a note that no file has that number.
std::string TrackName(const CardConfig& c, int track, const LongNames& names);

// One side of an input action: "start track 5 after 2.0 s, fade to full in
// 1.0 s", "stop at the end of the current track", "nothing".
std::string Action(const CardConfig& c, const InputAction& action, const LongNames& names);

// What an input of the table does, in one sentence or a few: "Input 3
// closes: ...", "Input 3 opens: ..."; "Input 5 is unused."; a binary input
// says which group it belongs to, and the group's bit 0 input carries the
// group's actions. Empty for an input the model does not have.
std::vector<std::string> InputSentences(const CardConfig& c, InputSet set, int input,
                                        const LongNames& names);

// What the player does when track n ends: "wait 2.0 s, then start track 3
// (Gulls.wav)", "wait for an input, then stop".
std::string EndAction(const CardConfig& c, int track, const LongNames& names);

// What plays at power up: "play track 1 (Intro.wav)", or "nothing".
std::string PowerUp(const CardConfig& c, const LongNames& names);

// "Playlist 2: 4 tracks; remembers the last track played.", "Playlist 3 is
// empty."
std::string PlaylistSummary(const CardConfig& c, int playlist);
// The entries of playlist p (0 to 7) in order: "Intro.wav (TRACK01.MP3)",
// with a note for an entry whose file is not a track.
std::vector<std::string> PlaylistEntries(const CardConfig& c, int playlist, const LongNames& names);

// A schedule event: "07:30 play track 12 (Bell.wav)", "19:00 start the show
// that is next", "11:00 start show 1".
std::string ScheduleEvent(const CardConfig& c, std::uint32_t entry, const LongNames& names);

// The days that run schedule n: "4 July, 20 July to 19 August; every Saturday;
// every Monday from March to May", "every day", or "no day". A day of the
// month that no year has (30 February) is never named.
std::string ScheduleDays(const ScheduleSet& s, int schedule);

// "a, b and c".
std::string JoinWords(const std::vector<std::string>& words);

}  // namespace describe
