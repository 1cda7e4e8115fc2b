#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/CardConfig.h"
#include "model/ScheduleSet.h"
#include "model/TrackScanner.h"
#include "platform/Directory.h"

// A card as the checks, the dump and the settings read it: without changing
// anything on it (no SOUNDS created, no files moved, no current directory).
namespace doctor {

struct CardPath {
    std::filesystem::path dir;     // the card folder
    std::filesystem::path config;  // its configuration file (may not exist)
};

// CARD is a card folder or a configuration file. In a folder the
// configuration is TUNBOX.CFG in any letter case, as FAT finds it.
CardPath LocateCard(const std::filesystem::path& card);

// Lists a folder in stored order with the 8.3 aliases it has on the card.
std::vector<platform::DirEntry> ListCardFolder(const DirectoryLister& lister,
                                               const std::filesystem::path& dir,
                                               std::error_code& ec);

// The largest schedule file there can be: its length field holds 24 bits.
inline constexpr std::size_t kScheduleFileLimit = 0xFFFFFF + 9;

// A card's configuration and schedules.
struct CardSettings {
    CardConfig config;
    ScheduleSet schedules;
    bool scheduleBad = false;  // SCHEDULE.SCH was there but failed its checks
};

// Reads the configuration file and SCHEDULE.SCH beside it as the program
// opens them (an empty configuration file gives the defaults, surplus bytes
// are not read), but whatever version the file says. False, with `error`
// naming the file and the fault, when the configuration cannot be read.
bool ReadCardSettings(const CardPath& card, CardSettings& out, std::string& error);

// The long names of the audio files in SOUNDS by their 8.3 alias, the first
// of each alias in stored order.
std::vector<std::pair<std::string, std::string>> SoundsAliases(const DirectoryLister& lister,
                                                               const std::filesystem::path& dir);

// The lister the program itself uses: the platform's, without file times.
DirectoryLister DefaultLister();

}  // namespace doctor
