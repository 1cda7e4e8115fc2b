#pragma once

#include <cstdint>
#include <optional>

#include "model/CardConfig.h"

// How the player's animation outputs are driven, and the numbers that go
// with each way: the rules behind the Animation Control Setup page.
namespace animation {

// What the player listens to, in the order the page offers it. Transmitting
// DMX-512 is what a player does when it receives nothing.
enum class Reception { DmxTransmit, Dmx, Midi, NetSerial, IrRemote };

// The reception the option word asks for: its lowest set reception bit.
Reception ReceptionOf(const CardConfig& c);
// Clears the four reception bits and sets the one of `r` (none to transmit).
void SetReception(CardConfig& c, Reception r);

// The two numbers whose meaning follows the reception, as the page shows
// them. In MIDI mode: the MIDI channel, 1 to 16, and the note of the first
// animation channel. Otherwise: the player's serial address and the first
// animation channel. Each meaning keeps its own stored value, so switching
// mode and back shows what was there.
struct ModeNumbers {
    std::optional<std::int64_t> addressOrChannel;
    std::optional<std::int64_t> firstChannelOrNote;
};
ModeNumbers ShownNumbers(const CardConfig& c, Reception r);
// Stores what was shown under `r` into that mode's fields, cut to the
// fields' widths as the player reads them; the other meaning's fields, and
// a field shown without a number, stay.
void KeepNumbers(CardConfig& c, Reception r, const ModeNumbers& shown);

// The player's own control channel (its first note in MIDI mode), one field
// in every mode, cut to its sixteen bits.
void SetPlayerControl(CardConfig& c, std::int64_t shown);

}  // namespace animation
