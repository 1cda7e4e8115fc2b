#include "model/CardPreparation.h"

#include "model/CardFiles.h"
#include "model/Text.h"

namespace cardprep {

bool PrepareSoundsDir(const std::filesystem::path& cardDir, Prompter& prompter,
                      const DirectoryLister& lister) {
    std::error_code ec;
    // The usual card: SOUNDS is there, in capitals.
    if (std::filesystem::is_directory(cardDir / cardfiles::kSoundsDirName, ec)) {
        return true;
    }
    const std::filesystem::path sounds = TrackScanner::SoundsDirectory(cardDir);
    const auto status = std::filesystem::status(sounds, ec);
    if (std::filesystem::is_directory(status)) {
        return true;
    }
    if (std::filesystem::exists(status)) {
        prompter.Tell(
            "A file named SOUNDS exists on this SmartMedia.\nSOUNDS must be a directory for this "
            "media to be used with\nan TUNBOX player.  Please remove this file or use other "
            "media.");
        return false;
    }
    if (!std::filesystem::create_directory(sounds, ec)) {
        prompter.Tell(
            "Unable to create SOUNDS directory on the selected media.\nPlease choose another "
            "disk.");
        return false;
    }
    // A fresh SOUNDS receives the audio files the user copied into the root:
    // the MP3 files first, then the WAV files, each in the root's stored order,
    // which becomes their order in SOUNDS. A file that cannot be moved stays.
    const auto root = lister(cardDir, ec);
    for (const char* ext : cardfiles::kAudioExtensions) {
        for (const auto& e : root) {
            if (e.isDirectory || !text::HasExtension(e.longName, ext)) {
                continue;
            }
            std::error_code moveEc;
            std::filesystem::rename(cardDir / e.longName, sounds / e.longName, moveEc);
        }
    }
    return true;
}

}  // namespace cardprep
