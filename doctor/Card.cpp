#include "doctor/Card.h"

namespace doctor {

DirectoryLister DefaultLister() {
    return [](const std::filesystem::path& dir, std::error_code& ec) {
        return platform::ListDirectory(dir, ec, platform::ListDetail::KindOnly);
    };
}

std::vector<platform::DirEntry> ListCardFolder(const DirectoryLister& lister,
                                               const std::filesystem::path& dir,
                                               std::error_code& ec) {
    return lister ? lister(dir, ec) : DefaultLister()(dir, ec);
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
