#include "doctor/Card.h"

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

}  // namespace doctor
