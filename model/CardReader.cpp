#include "BuildInfo.h"
#include "model/Card.h"
#include "model/CardFiles.h"
#include "model/CardPreparation.h"
#include "model/ConfigFile.h"
#include "model/FileIo.h"
#include "model/Text.h"

namespace card {

namespace fs = std::filesystem;
using Kind = Problem::Kind;

std::uint32_t ProgramVersion() {
    return static_cast<std::uint32_t>(buildinfo::kVersionRelease);
}

bool Location::ConfigIsTheCards() const {
    return text::EqualIgnoringCase(config.filename().string(), cardfiles::kConfigFileName);
}

Location Locate(const fs::path& card) {
    std::error_code ec;
    if (!fs::is_directory(card, ec)) {
        return {card.parent_path().empty() ? fs::path(".") : card.parent_path(), card};
    }
    Location found{card, card / cardfiles::kConfigFileName};
    if (fs::exists(found.config, ec)) {
        return found;
    }
    for (fs::directory_iterator it(card, ec), end; !ec && it != end; it.increment(ec)) {
        if (text::EqualIgnoringCase(it->path().filename().string(), cardfiles::kConfigFileName)) {
            found.config = it->path();
            break;
        }
    }
    return found;
}

const Problem* Read::Find(Problem::Kind kind) const {
    for (const Problem& p : problems) {
        if (p.kind == kind) {
            return &p;
        }
    }
    return nullptr;
}

namespace {

class Reader {
  public:
    Reader(const Location& where, DirectoryLister lister)
        : where_(where), lister_(std::move(lister)) {}

    Read Run() {
        read_.image.config.SetDefaults();
        read_.image.config.Set(field::kConfigVersion, ProgramVersion());
        ReadConfig();
        ReadSchedules();
        ReadRoot();
        ReadSounds();
        return std::move(read_);
    }

  private:
    void Add(Kind kind, fs::path file, std::string detail = {}, std::uintmax_t number = 0) {
        read_.problems.push_back({kind, std::move(file), std::move(detail), number, {}});
    }

    void ReadConfig() {
        const fs::path& path = where_.config;
        auto prefix = fileio::ReadPrefix(path, layout::kFileSize);
        if (!prefix) {
            // Only a name with nothing behind it, not even a broken link,
            // is a configuration still to be made.
            std::error_code ec;
            if (!fs::exists(fs::symlink_status(path, ec))) {
                Add(Kind::ConfigMissing, path);
            } else {
                Add(Kind::ConfigUnreadable, path, prefix.error().reason);
            }
            return;
        }
        const std::uintmax_t size = prefix->size;
        if (size == 0) {
            Add(Kind::ConfigEmpty, path);
            return;
        }
        if (size / 3 != static_cast<std::uintmax_t>(layout::kWordCount)) {
            Add(Kind::ConfigWrongSize, path, {}, size);
            return;
        }
        if (size != static_cast<std::uintmax_t>(layout::kFileSize)) {
            Add(Kind::ConfigSurplus, path, {}, size - layout::kFileSize);
        }
        const std::uint32_t version = configfile::Version(prefix->bytes);
        if (version > ProgramVersion()) {
            Add(Kind::ConfigNewer, path, {}, version);
        } else if (version < ProgramVersion()) {
            Add(Kind::ConfigOlder, path, {}, version);
        }
        configfile::Decode(prefix->bytes, read_.image.config);
    }

    void ReadSchedules() {
        const fs::path path = where_.dir / cardfiles::kScheduleFileName;
        const auto serial =
            static_cast<std::uint8_t>(read_.image.config.Get(field::kSerialAddress));
        // A missing or unreadable file simply means no schedules; one larger
        // than its length field can say is as bad as a wrong length.
        auto prefix = fileio::ReadPrefix(path, kScheduleFileLimit);
        std::vector<std::uint8_t> bytes;
        if (prefix) {
            read_.holdsOtherFiles = true;
            if (prefix->size > kScheduleFileLimit) {
                Add(Kind::ScheduleBad, path, "it is larger than its length field can describe");
                read_.image.schedules.Parse({}, serial);
                return;
            }
            bytes = std::move(prefix->bytes);
        }
        const Result<int> parsed = read_.image.schedules.Parse(bytes, serial);
        if (!parsed) {
            Add(Kind::ScheduleBad, path, parsed.error().reason);
        } else if (parsed.value() > 0) {
            Add(Kind::ScheduleDropped, path, {}, static_cast<std::uintmax_t>(parsed.value()));
        }
    }

    void ReadRoot() {
        std::error_code ec;
        Problem inRoot{Kind::AudioInRoot, where_.dir, {}, 0, {}};
        Problem leftovers{Kind::LeftoverTemporary, where_.dir, {}, 0, {}};
        read_.root = lister_(where_.dir, ec);
        for (const platform::DirEntry& e : read_.root) {
            if (e.isDirectory) {
                continue;
            }
            if (cardfiles::IsAudioFileName(e.longName)) {
                inRoot.names.push_back(e.longName);
            } else if (fileio::IsTemporaryName(e.longName)) {
                leftovers.names.push_back(e.longName);
            } else if (text::EqualIgnoringCase(e.longName, cardfiles::kKeldaFileName)) {
                read_.holdsOtherFiles = true;
            }
        }
        for (Problem* p : {&inRoot, &leftovers}) {
            if (!p->names.empty()) {
                p->number = p->names.size();
                read_.problems.push_back(std::move(*p));
            }
        }
    }

    void ReadSounds() {
        const auto [sounds, state] = cardprep::FindSounds(where_.dir, read_.root);
        read_.sounds = state;
        switch (state) {
            case cardprep::SoundsState::Missing:
                // The tracks the card will have once a save makes SOUNDS
                // and moves the root's audio into it.
                for (const platform::DirEntry* e : cardprep::RootAudioInMoveOrder(read_.root)) {
                    read_.image.audio.push_back(
                        {e->longName, cardfiles::Alias(*e), e->aliasGenerated});
                }
                return Add(Kind::SoundsMissing, sounds);
            case cardprep::SoundsState::NotFolder:
                return Add(Kind::SoundsNotFolder, sounds);
            case cardprep::SoundsState::BrokenLink:
                return Add(Kind::SoundsBrokenLink, sounds);
            case cardprep::SoundsState::Folder:
                break;
        }
        std::error_code ec;
        auto listing = lister_(sounds, ec);
        if (ec) {
            return Add(Kind::SoundsUnreadable, sounds, ec.message());
        }
        read_.image.audio.reserve(listing.size());
        for (platform::DirEntry& e : listing) {
            if (!e.isDirectory && cardfiles::IsAudioFileName(e.longName)) {
                read_.image.audio.push_back(
                    {std::move(e.longName), cardfiles::Alias(e), e.aliasGenerated});
            }
        }
        read_.holdsOtherFiles = read_.holdsOtherFiles || !read_.image.audio.empty();
    }

    const Location& where_;
    DirectoryLister lister_;
    Read read_;
};

}  // namespace

Result<Read> ReadCard(const Location& where, const DirectoryLister& lister) {
    std::error_code ec;
    if (!fs::is_directory(where.dir, ec)) {
        return Failure{where.dir, "no such card folder"};
    }
    return Reader(where, ListerOrDefault(lister)).Run();
}

}  // namespace card
