#pragma once

#include <filesystem>

#include "model/Prompter.h"
#include "model/TrackScanner.h"

namespace cardprep {

// Makes sure the card has a SOUNDS directory; a fresh one receives the audio
// files of the card's root (MP3 files first, then WAV, each in the root's
// stored order). False, after telling the user, when the card cannot be used.
bool PrepareSoundsDir(const std::filesystem::path& cardDir, Prompter& prompter,
                      const DirectoryLister& lister);

}  // namespace cardprep
