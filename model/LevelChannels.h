#pragma once

#include <cstdint>
#include <optional>

#include "model/CardConfig.h"

// How the Audio page shows the two level control channels. The reception
// mode chosen on the animation control page decides: MIDI channels 0 to 127;
// DMX with its checksum 0 to 255; DMX without the checksum 1 to 512, stored
// one lower; otherwise 0 to 512.
class LevelChannels {
  public:
    explicit LevelChannels(const CardConfig& c);

    // The spin range, and the limits the range prompt names.
    int Low() const { return low_; }
    int High() const { return high_; }
    // Whether the channels are shown one above what is stored.
    bool Offset() const { return offset_ != 0; }

    int Shown(std::uint32_t stored) const { return static_cast<int>(stored) + offset_; }
    // What a shown channel stores; nothing when the field cannot hold it,
    // which the page refuses with the range prompt. Within what the field
    // holds, a channel beyond the spin range is stored as typed: the player
    // takes what the card says.
    std::optional<std::uint32_t> Stored(int shown) const;
    // The highest channel that can be shown and stored.
    int Widest() const;

    // Whether a channel's level channel may be edited: its realtime check is
    // set and the reception allows level control (DMX, MIDI or none).
    bool Enabled(bool realtimeChecked) const { return realtimeChecked && controllable_; }

  private:
    int low_ = 0;
    int high_ = 512;
    int offset_ = 0;
    bool controllable_ = true;
};
