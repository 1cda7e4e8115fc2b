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

// The lister the program itself uses: the platform's, without file times.
DirectoryLister DefaultLister();

}  // namespace doctor
