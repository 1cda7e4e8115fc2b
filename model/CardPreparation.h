#pragma once

#include <filesystem>
#include <vector>

#include "model/Result.h"
#include "model/TrackScanner.h"

// A card is ready for the player when its audio lies in a folder SOUNDS.
namespace cardprep {

enum class SoundsState {
    Folder,      // SOUNDS is a folder (or a link to one)
    Missing,     // there is no SOUNDS yet
    NotFolder,   // SOUNDS is a file
    BrokenLink,  // SOUNDS is a link to nothing, or a loop of links
};

// Where the card's SOUNDS is, found as FAT finds it (in any letter case),
// and what it is.
struct Sounds {
    std::filesystem::path path;
    SoundsState state;
};
// Both, taken from a listing of the card's root where it shows a folder of
// exactly that name (the listing follows links); otherwise asked of the file
// system.
Sounds FindSounds(const std::filesystem::path& cardDir,
                  const std::vector<platform::DirEntry>& root);

// The audio files of a card's root in the order a fresh SOUNDS receives them:
// MP3 files first, then WAV, each in the root's stored order.
std::vector<const platform::DirEntry*> RootAudioInMoveOrder(
    const std::vector<platform::DirEntry>& root);

struct Prepared {
    bool created = false;  // SOUNDS was made
    int moved = 0;         // audio files moved into it from the root
};

// Makes sure the card has a SOUNDS folder; a fresh one receives the audio
// files of the card's root (MP3 files first, then WAV, each in the root's
// stored order, which becomes their order in SOUNDS). Fails, naming SOUNDS,
// when the card cannot hold its audio: SOUNDS is a file or a broken link, or
// it cannot be created.
Result<Prepared> PrepareSoundsDir(const std::filesystem::path& cardDir,
                                  const DirectoryLister& lister);

}  // namespace cardprep
