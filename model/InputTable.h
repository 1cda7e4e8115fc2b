#pragma once

#include <cstdint>
#include <string>

#include "model/CardConfig.h"
#include "model/InputAction.h"

// The rules of the two input action tables behind the Input Setup and
// Animation Input Setup pages: the modes, the masks the player reads instead
// of searching the tables, and the texts that show the modes.
namespace inputs {

enum class Side { Close, Open };

// Input modes: unused, independent, or binary bit 0 to 7 as 2 to 9.
inline constexpr std::uint32_t kUnused = 0;
inline constexpr std::uint32_t kIndependent = 1;
inline constexpr int kBinaryBits = 8;
constexpr std::uint32_t BinaryMode(int bit) {
    return 2 + static_cast<std::uint32_t>(bit);
}
inline constexpr std::uint32_t kHighestMode = BinaryMode(kBinaryBits - 1);
constexpr bool IsMode(std::uint32_t mode) {
    return mode <= kHighestMode;
}
// The bit a mode makes its input, or -1 when the input is not binary.
constexpr int BinaryBit(std::uint32_t mode) {
    return mode >= BinaryMode(0) && mode < BinaryMode(kBinaryBits) ? static_cast<int>(mode) - 2
                                                                   : -1;
}

InputAction ReadAction(const CardConfig& c, InputSet set, int input, Side side);
void WriteAction(CardConfig& c, InputSet set, int input, Side side, const InputAction& action);

// Gives `input` its mode. A binary bit belongs to one input: whichever
// other input had it becomes unused.
void SetMode(CardConfig& c, InputSet set, int input, std::uint32_t mode);
void SetAllUnused(CardConfig& c, InputSet set);
void SetAllIndependent(CardConfig& c, InputSet set);
// Input i becomes binary bit i.
void SetAllBinary(CardConfig& c, InputSet set);
// On the two-input model inputs 2 to 7 do not exist, so they are unused.
void ApplyInputCount(CardConfig& c, InputSet set);

// Both binary bit masks from their tables: bit b set when some input is
// binary bit b.
void RecomputeBinaryMasks(CardConfig& c);
// Animation input masks A (close) and B (open): bit i set when animation
// input i starts playing. A binary input acts as its group, whose actions
// are those of the input that is binary bit 0; a group without one starts
// nothing. Both stay clear unless the model word's bit 4 is set.
void RecomputeAnimationInputMasks(CardConfig& c);

// How many tracks or positions the track choice list offers after its four
// fixed entries: up to the highest track that has a file, or the playlist's
// entries.
int NumberedChoices(const CardConfig& c, int scope);

// "3 is Independent.", "5 is Binary bit 2." and so on.
std::string InputListEntry(int input, std::uint32_t mode);
// The binary group under the header "7  6  5  4  3  2  1  0 ": for each bit
// from 7 down, two blanks and the digit of its input, or four blanks when
// no input has the bit; then one blank.
std::string BinaryGroupDisplay(const CardConfig& c, InputSet set);

}  // namespace inputs
