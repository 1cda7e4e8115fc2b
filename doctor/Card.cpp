#include "doctor/Card.h"

#include "doctor/AudioNames.h"
#include "model/CardFiles.h"

namespace doctor {

DirectoryLister DefaultLister() {
    return KindOnlyLister();
}

std::vector<std::pair<std::string, std::string>> SoundsAliases(const card::Image& image) {
    std::vector<std::pair<std::string, std::string>> aliases;
    aliases.reserve(image.audio.size());
    for (const card::AudioFile& f : image.audio) {
        aliases.emplace_back(f.alias, f.longName);
    }
    return aliases;
}

std::vector<std::pair<std::string, std::string>> RootFiles(
    const std::vector<platform::DirEntry>& root) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const platform::DirEntry& e : root) {
        if (!e.isDirectory) {
            files.emplace_back(cardfiles::Alias(e), e.longName);
        }
    }
    return files;
}

bool ShowFilePresent(const std::vector<std::pair<std::string, std::string>>& rootFiles,
                     const std::string& name) {
    return ResolveAudioName(rootFiles, name).has_value();
}

}  // namespace doctor
