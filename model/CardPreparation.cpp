
#include "model/CardFiles.h"
#include "model/CardwrightDoc.h"
#include "model/Text.h"

bool CCardwrightDoc::PrepareSoundsDir(const std::filesystem::path& cardDir) {
    std::error_code ec;
    // The usual card: SOUNDS is there, in capitals.
    if (std::filesystem::is_directory(cardDir / "SOUNDS", ec)) {
        return true;
    }
    const std::filesystem::path sounds = SoundsDirectory(cardDir);
    const auto status = std::filesystem::status(sounds, ec);
    if (std::filesystem::is_directory(status)) {
        return true;
    }
    if (std::filesystem::exists(status)) {
        prompter_.Tell(
            "A file named SOUNDS exists on this SmartMedia.\nSOUNDS must be a directory for this "
            "media to be used with\nan TUNBOX player.  Please remove this file or use other "
            "media.");
        return false;
    }
    if (!std::filesystem::create_directory(sounds, ec)) {
        prompter_.Tell(
            "Unable to create SOUNDS directory on the selected media.\nPlease choose another "
            "disk.");
        return false;
    }
    // A fresh SOUNDS receives the audio files the user copied into the root:
    // the MP3 files first, then the WAV files, each in the root's stored order,
    // which becomes their order in SOUNDS. A file that cannot be moved stays.
    const auto root = lister_(cardDir, ec);
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
