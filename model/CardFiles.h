#pragma once

#include <string>
#include <string_view>

#include "model/Text.h"
#include "platform/Directory.h"

// The names of what the program keeps on a card, as the player looks for them.
namespace cardfiles {

inline constexpr const char* kConfigFileName = "TUNBOX.CFG";
inline constexpr const char* kScheduleFileName = "SCHEDULE.SCH";
inline constexpr const char* kKeldaFileName = "KELDA.CFG";
inline constexpr const char* kProgramFileName = "Cardwright.exe";
inline constexpr const char* kSoundsDirName = "SOUNDS";

// What the player plays, in the order a fresh SOUNDS folder receives them.
inline constexpr std::string_view kAudioExtensions[] = {".MP3", ".WAV"};

// Whether a file of this name is one the player plays, in any letter case.
inline bool IsAudioFileName(std::string_view name) {
    for (const std::string_view ext : kAudioExtensions) {
        if (text::HasExtension(name, ext)) {
            return true;
        }
    }
    return false;
}

// A show file for the player's flash lies beside the configuration, its
// extension an A and up to two more characters ("SHOW.A00"), as the wildcard
// "*.a??" finds it.
inline bool IsShowFileName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    const std::string_view ext = name.substr(dot + 1);
    return !ext.empty() && ext.size() <= 3 && text::AsciiUpper(ext[0]) == 'A';
}

// The 8.3 alias a listed file goes by on the card, upper-cased; empty when
// the file system gave none.
inline std::string Alias(const platform::DirEntry& e) {
    std::string_view alias = e.shortName;
    for (std::size_t i = alias.size(); i > 0; --i) {
        if (alias[i - 1] == '/' || alias[i - 1] == '\\') {
            alias.remove_prefix(i);
            break;
        }
    }
    return text::AsciiUpper(alias);
}

}  // namespace cardfiles
