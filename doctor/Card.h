#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "model/Card.h"
#include "model/TrackScanner.h"
#include "platform/Directory.h"

// How the checks, the dump and the settings see a card: through the card
// core, without changing anything on it.
namespace doctor {

// The long names of the audio files in SOUNDS by their 8.3 alias, the first
// of each alias in stored order.
std::vector<std::pair<std::string, std::string>> SoundsAliases(const card::Image& image);

// The files in the card's own folder, as (8.3 alias, long name).
std::vector<std::pair<std::string, std::string>> RootFiles(
    const std::vector<platform::DirEntry>& root);

// Whether the show file `name` is among `rootFiles`, where the player looks
// for it: by its alias or long name, in any letter case.
bool ShowFilePresent(const std::vector<std::pair<std::string, std::string>>& rootFiles,
                     const std::string& name);

// The lister the program itself uses: the platform's, without file times.
DirectoryLister DefaultLister();

}  // namespace doctor
