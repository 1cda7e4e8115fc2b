#pragma once

#include <string>
#include <vector>

#include "model/CardConfig.h"
#include "model/InputTable.h"

// Settings that name a track or playlist entry the card no longer has: the
// player would play nothing there. The Track page marks them after the track
// list followed the card, and the card check reports them.
namespace trackrefs {

struct EmptyReference {
    enum class Kind {
        PowerUp,             // the power-up track
        EndAction,           // track `from` goes on to `track` at its end
        PlaylistEntry,       // entry `entry` of `playlist` names `name`
        InputTrack,          // an input starts `track` of all tracks
        InputPlaylistEntry,  // an input starts entry `entry` of `playlist`
    };
    Kind kind = Kind::PowerUp;
    int track = 0;
    int from = 0;
    int playlist = 0;  // 1 to 8
    int entry = 0;     // 1-based
    std::string name;
    InputSet set = InputSet::Player;
    int input = 0;
    inputs::Side side = inputs::Side::Close;
};

// Every such setting, in the order: power-up track, end actions by track,
// player inputs, animation inputs (on models that have them), playlists.
// An end action that is not a track number is not looked at here.
std::vector<EmptyReference> FindEmptyReferences(const CardConfig& c);

// Whether track n has a file to play.
bool TrackPlays(const CardConfig& c, std::uint32_t n);

// What a reconciliation did to the track list: the names of the files that
// took a track, and of the tracks whose file went, in track order.
struct TrackListChanges {
    std::vector<std::string> added;
    std::vector<std::string> removed;
};
TrackListChanges CompareTrackLists(const CardConfig& before, const CardConfig& after);

}  // namespace trackrefs
