#pragma once

#include <string>
#include <string_view>

#include "media/Probe.h"

// Whether the player plays a probed file under its name. The player picks
// its decoder by the extension, then plays only 16-bit PCM WAV in mono or
// stereo, or MPEG layer III, and trusts what a file's header says.
namespace media {

enum class Verdict {
    Plays,
    CannotOpen,
    Empty,
    WavUnreadable,  // named .WAV; no library reads it
    WavEncoding,    // a WAV, but not 16-bit PCM in mono or stereo
    WavTruncated,   // a WAV whose header promises more sound than it holds
    Mp3Unreadable,  // named .MP3 (or anything not .WAV); no MPEG frames found
    Mp3Layer,       // MPEG audio, but not layer III
    Mp3Damaged,     // frames stop making sense part-way
    Mp3Truncated,   // the last frame is cut short
    WavHoldsMp3,    // named .WAV, holds MPEG audio
    WavHoldsOther,  // named .WAV, holds AIFF, FLAC, ...
    Mp3HoldsWav,    // named .MP3, holds a WAV
    Mp3HoldsOther,  // named .MP3, holds AIFF, FLAC, ...
};

struct PlayerCheck {
    Verdict verdict = Verdict::Plays;
    std::string problem;  // what is wrong, in words; empty when it plays
};

// Judges `probe` as the file `name` (the name on the card, which may differ
// from the probed path's).
PlayerCheck CheckForPlayer(const Probe& probe, std::string_view name);

// True for ".WAV" in any case.
bool NamedWav(std::string_view name);

}  // namespace media
