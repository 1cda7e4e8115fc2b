#include "model/CardPreparation.h"

#include "model/CardFiles.h"
#include "model/Text.h"

namespace cardprep {

namespace {

// What the card's SOUNDS, found at `sounds`, is.
SoundsState StateAt(const std::filesystem::path& sounds) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // A link is judged by what it leads to, so what SOUNDS leads to is asked
    // first: most often a folder, and then nothing more needs asking.
    const fs::file_status target = fs::status(sounds, ec);
    if (fs::is_directory(target)) {
        return SoundsState::Folder;
    }
    if (fs::exists(target)) {
        return SoundsState::NotFolder;
    }
    // A link that leads nowhere (or round in a loop) cannot hold the audio,
    // and creating a folder in its place would fail only half-way through a
    // save.
    const fs::file_status link = fs::symlink_status(sounds, ec);
    return fs::exists(link) ? SoundsState::BrokenLink : SoundsState::Missing;
}

}  // namespace

Sounds FindSounds(const std::filesystem::path& cardDir,
                  const std::vector<platform::DirEntry>& root) {
    for (const platform::DirEntry& e : root) {
        if (e.isDirectory && e.longName == cardfiles::kSoundsDirName) {
            return {cardDir / cardfiles::kSoundsDirName, SoundsState::Folder};
        }
    }
    std::filesystem::path sounds = TrackScanner::SoundsDirectory(cardDir);
    const SoundsState state = StateAt(sounds);
    return {std::move(sounds), state};
}

std::vector<const platform::DirEntry*> RootAudioInMoveOrder(
    const std::vector<platform::DirEntry>& root) {
    std::vector<const platform::DirEntry*> audio;
    for (const std::string_view ext : cardfiles::kAudioExtensions) {
        for (const auto& e : root) {
            if (!e.isDirectory && text::HasExtension(e.longName, ext)) {
                audio.push_back(&e);
            }
        }
    }
    return audio;
}

Result<Prepared> PrepareSoundsDir(const std::filesystem::path& cardDir,
                                  const DirectoryLister& lister) {
    const std::filesystem::path sounds = TrackScanner::SoundsDirectory(cardDir);
    switch (StateAt(sounds)) {
        case SoundsState::Folder:
            return Prepared{};
        case SoundsState::NotFolder:
            return Failure{sounds, "it is a file, but the player needs a folder of that name"};
        case SoundsState::BrokenLink:
            return Failure{sounds, "it is a link that leads to no folder"};
        case SoundsState::Missing:
            break;
    }
    std::error_code ec;
    if (!std::filesystem::create_directory(sounds, ec)) {
        return Failure{sounds, text::Concat({"the folder cannot be created (",
                                             ec ? ec.message() : "unknown error", ")"})};
    }
    // A fresh SOUNDS receives the audio files the user copied into the root.
    // A file that cannot be moved stays where it is.
    Prepared prepared{true, 0};
    const auto root = lister(cardDir, ec);
    for (const platform::DirEntry* e : RootAudioInMoveOrder(root)) {
        std::error_code moveEc;
        std::filesystem::rename(cardDir / e->longName, sounds / e->longName, moveEc);
        prepared.moved += moveEc ? 0 : 1;
    }
    return prepared;
}

}  // namespace cardprep
