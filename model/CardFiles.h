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

// What the player plays, in the order a fresh SOUNDS folder receives them.
inline constexpr const char* kAudioExtensions[] = {".MP3", ".WAV"};

// Whether a file of this name is one the player plays, in any letter case.
inline bool IsAudioFileName(std::string_view name) {
    for (const char* ext : kAudioExtensions) {
        if (text::HasExtension(name, ext)) {
            return true;
        }
    }
    return false;
}

}  // namespace cardfiles
