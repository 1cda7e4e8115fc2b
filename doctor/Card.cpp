#include "doctor/Card.h"

#include "model/CardFiles.h"
#include "model/ConfigFile.h"
#include "model/FileIo.h"
#include "model/Text.h"

namespace doctor {

DirectoryLister DefaultLister() {
    return [](const std::filesystem::path& dir, std::error_code& ec) {
        return platform::ListDirectory(dir, ec, platform::ListDetail::KindOnly);
    };
}

CardPath LocateCard(const std::filesystem::path& card) {
    std::error_code ec;
    if (!std::filesystem::is_directory(card, ec)) {
        return {card.parent_path().empty() ? std::filesystem::path(".") : card.parent_path(), card};
    }
    CardPath found{card, card / cardfiles::kConfigFileName};
    if (std::filesystem::exists(found.config, ec)) {
        return found;
    }
    for (std::filesystem::directory_iterator it(card, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (text::EqualIgnoringCase(it->path().filename().string(), cardfiles::kConfigFileName)) {
            found.config = it->path();
            break;
        }
    }
    return found;
}

std::vector<platform::DirEntry> ListCardFolder(const DirectoryLister& lister,
                                               const std::filesystem::path& dir,
                                               std::error_code& ec) {
    return lister ? lister(dir, ec) : DefaultLister()(dir, ec);
}

bool ReadCardSettings(const CardPath& card, CardSettings& out, std::string& error) {
    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
    std::string reason;
    if (!fileio::ReadPrefix(card.config, layout::kFileSize, bytes, size, reason)) {
        error = text::Concat({fileio::Display(card.config), ": ", reason});
        return false;
    }
    out.config.SetDefaults();
    if (size != 0) {
        if (size / 3 != static_cast<std::uintmax_t>(layout::kWordCount)) {
            error = text::Concat({fileio::Display(card.config), ": the file is ",
                                  std::to_string(size), " bytes long; a configuration file holds ",
                                  std::to_string(layout::kFileSize)});
            return false;
        }
        configfile::Decode(bytes, out.config);
    }
    const auto serial = static_cast<std::uint8_t>(out.config.Get(field::kSerialAddress));
    bytes.clear();
    size = 0;
    if (!fileio::ReadPrefix(card.dir / cardfiles::kScheduleFileName, kScheduleFileLimit, bytes,
                            size, reason)) {
        bytes.clear();
    }
    const bool tooLarge = size > kScheduleFileLimit;
    if (tooLarge) {
        bytes.clear();
    }
    out.scheduleBad =
        out.schedules.Parse(bytes, serial) == ScheduleSet::ParseResult::Bad || tooLarge;
    return true;
}

std::vector<std::pair<std::string, std::string>> SoundsAliases(const DirectoryLister& lister,
                                                               const std::filesystem::path& dir) {
    std::vector<std::pair<std::string, std::string>> aliases;
    std::error_code ec;
    for (const platform::DirEntry& e :
         ListCardFolder(lister, TrackScanner::SoundsDirectory(dir), ec)) {
        if (!e.isDirectory && cardfiles::IsAudioFileName(e.longName)) {
            aliases.emplace_back(cardfiles::Alias(e), e.longName);
        }
    }
    return aliases;
}

}  // namespace doctor
