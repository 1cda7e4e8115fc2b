#pragma once

#include <string_view>

#include "model/Text.h"

// The names of what the program keeps on a card, as the player looks for them.
namespace cardfiles {

inline constexpr const char* kConfigFileName = "TUNBOX.CFG";
inline constexpr const char* kScheduleFileName = "SCHEDULE.SCH";
inline constexpr const char* kKeldaFileName = "KELDA.CFG";
inline constexpr const char* kProgramFileName = "Cardwright.exe";
inline constexpr const char* kSoundsDirName = "SOUNDS";

// Whether a file of this name is one the player plays: MP3 or WAV, in any
// letter case.
inline bool IsAudioFileName(std::string_view name) {
    return text::HasExtension(name, ".MP3") || text::HasExtension(name, ".WAV");
}

}  // namespace cardfiles
