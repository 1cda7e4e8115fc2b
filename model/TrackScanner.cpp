#include "model/TrackScanner.h"

#include <algorithm>
#include <unordered_map>

#include "platform/ShortKeyTable.h"

#include "model/CardFiles.h"
#include "model/FileIo.h"
#include "model/Text.h"

namespace {

bool IsAudioFile(const platform::DirEntry& e) {
    return !e.isDirectory && cardfiles::IsAudioFileName(e.longName);
}

// Only the audio files of a listing, in stored order.
std::vector<const platform::DirEntry*> AudioFiles(const std::vector<platform::DirEntry>& all) {
    std::vector<const platform::DirEntry*> audio;
    audio.reserve(all.size());
    for (const auto& e : all) {
        if (IsAudioFile(e)) {
            audio.push_back(&e);
        }
    }
    return audio;
}

// Each named slot's lowest slot of that name, for one lookup per file, and
// which slots hold a name at all. A track name is at most twelve bytes, well
// within what the table holds.
platform::ShortKeyTable<int> LowestSlots(const CardConfig& config, std::vector<bool>& named) {
    platform::ShortKeyTable<int> slotOf;
    slotOf.Reserve(layout::kTrackSlots);
    named.assign(layout::kTrackSlots, false);
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        const NameText name = config.TrackNameText(n);
        if (name.size > 0) {
            named[static_cast<std::size_t>(n)] = true;
            slotOf.Insert(name.View(), n);  // the first, lowest, stays
        }
    }
    return slotOf;
}

// The name a track takes for a file that has no 8.3 alias.
constexpr std::string_view kNoAlias = "error.mp3";

}  // namespace

DirectoryLister KindOnlyLister() {
    return [](const std::filesystem::path& dir, std::error_code& ec) {
        return platform::ListDirectory(dir, ec, platform::ListDetail::KindOnly);
    };
}

DirectoryLister ListerOrDefault(const DirectoryLister& lister) {
    return lister ? lister : KindOnlyLister();
}

TrackScanner::TrackScanner() : lister_(KindOnlyLister()) {}

DirectoryLister TrackScanner::NamesLister() const {
    if (!ownLister_) {
        return lister_;
    }
    return [](const std::filesystem::path& dir, std::error_code& ec) {
        return platform::ListDirectory(dir, ec, platform::ListDetail::NamesAndKinds);
    };
}

std::filesystem::path TrackScanner::SoundsDirectory(const std::filesystem::path& cardDir) {
    const std::filesystem::path exact = cardDir / cardfiles::kSoundsDirName;
    std::error_code ec;
    if (std::filesystem::symlink_status(exact, ec).type() !=
        std::filesystem::file_type::not_found) {
        return exact;
    }
    for (std::filesystem::directory_iterator it(cardDir, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (text::EqualIgnoringCase(it->path().filename().string(), cardfiles::kSoundsDirName)) {
            return it->path();
        }
    }
    return exact;
}

void TrackScanner::List(const std::filesystem::path& dir, std::error_code& ec,
                        std::vector<platform::DirEntry>& listing) {
    if (ownLister_) {
        platform::ListDirectoryInto(dir, ec, platform::ListDetail::KindOnly, listing);
    } else {
        listing = lister_(dir, ec);
    }
}

Status TrackScanner::ReadSounds(const std::filesystem::path& cardDir,
                                std::vector<platform::DirEntry>& listing,
                                std::filesystem::path* where) {
    // Most cards have SOUNDS by exactly that name: it is listed without
    // asking first, and looked for in other letter cases only when missing.
    std::filesystem::path dir = cardDir / cardfiles::kSoundsDirName;
    std::error_code ec;
    List(dir, ec, listing);
    if (ec == std::errc::no_such_file_or_directory) {
        if (std::filesystem::path found = SoundsDirectory(cardDir); found != dir) {
            dir = std::move(found);
            List(dir, ec, listing);
        }
    }
    if (where != nullptr) {
        *where = std::move(dir);
    }
    if (!ec) {
        return {};
    }
    listing.clear();
    // A card without SOUNDS holds no tracks; one that is there but cannot be
    // read says nothing about the files in it, and taking it as empty would
    // throw the track list away.
    if (ec == std::errc::no_such_file_or_directory) {
        return {};
    }
    return Failure{where != nullptr ? *where : dir, ec.message()};
}

int TrackScanner::CountTracks(CardConfig& config, const std::filesystem::path& cardDir,
                              bool rebuild, std::optional<Failure>* unreadable) {
    // Listed into the room of the listing before last.
    std::vector<platform::DirEntry>& listing = spare_;
    if (Status read = ReadSounds(cardDir, listing); !read) {
        if (unreadable != nullptr) {
            *unreadable = read.error();
        }
        return 0;
    }
    const auto audio = AudioFiles(listing);
    if (rebuild) {
        for (int n = 0; n < layout::kTrackSlots; ++n) {
            config.ClearTrack(n);
        }
        const int slots = std::min<int>(static_cast<int>(audio.size()), layout::kMaxTrack);
        for (int k = 1; k <= slots; ++k) {
            const std::string alias = cardfiles::Alias(*audio[static_cast<std::size_t>(k - 1)]);
            config.SetTrackName(k, alias.empty() ? "ERROR.ERR" : alias);
            config.Set(field::kFilePosition, k, static_cast<std::uint32_t>(k));
        }
    }
    return static_cast<int>(audio.size());
}

void TrackScanner::PlaceNewFile(CardConfig& config, std::vector<bool>& named, int& lowestFree,
                                const std::string& alias, std::uint32_t position) {
    while (lowestFree <= layout::kMaxTrack && named[static_cast<std::size_t>(lowestFree)]) {
        ++lowestFree;
    }
    if (lowestFree > layout::kMaxTrack) {
        return;
    }
    const int n = lowestFree;
    named[static_cast<std::size_t>(n)] = true;
    // A slot never used holds the all-zero record, which the player reads as
    // "play track 0" at the end: a file placed there starts from the cleared
    // form instead.
    if (config.Get(field::kEndAction, n) == 0 && config.Get(field::kEndDelay, n) == 0 &&
        !config.Get(field::kStepOn, n) && !config.Get(field::kWaitForInput, n) &&
        config.Get(field::kFilePosition, n) == 0) {
        config.ClearTrack(n);
    }
    config.SetTrackName(n, alias);
    config.Set(field::kFilePosition, n, position);
}

TrackSync TrackScanner::SyncTracks(CardConfig& config, const std::filesystem::path& docPath,
                                   const std::filesystem::path& cardDir, bool apply) {
    TrackSync result;
    // Listed into the room of the listing before last.
    std::vector<platform::DirEntry>& listing = spare_;
    std::filesystem::path soundsDir;
    if (Status read = ReadSounds(cardDir, listing, &soundsDir); !read) {
        result.unreadable = read.error();
        return result;
    }
    const auto audio = AudioFiles(listing);
    const int count = static_cast<int>(audio.size());
    result.audioFiles = count;
    // Paths are told apart by their text: two spellings of one folder only
    // cost a fresh look, and the text compares without taking the paths
    // apart.
    const bool samePath = docPath.native() == scanPath_;
    if (samePath && count == scanCount_ && !apply) {
        return result;
    }
    if (!samePath || scanCount_ < count || soundsDir.native() != scanSounds_) {
        storedAliases_.clear();
        shortToLong_.clear();
    }
    scanPath_ = docPath.native();
    scanSounds_ = soundsDir.native();
    scanCount_ = count;
    Reconcile(config, audio, apply, result);
    // The long names are looked up only when a page shows them; the listing
    // is kept for that rather than indexed on every scan.
    std::swap(lastListing_, spare_);
    listingIndexed_ = false;
    return result;
}

void TrackScanner::Reconcile(CardConfig& config,
                             const std::vector<const platform::DirEntry*>& audio, bool apply,
                             TrackSync& result) {
    std::vector<bool> seen(layout::kTrackSlots);
    const int usable = std::min(static_cast<int>(audio.size()), layout::kMaxTrack);
    const auto placeAt = [&](int n, std::uint32_t pos) {
        seen[static_cast<std::size_t>(n)] = true;
        if (apply && config.Get(field::kFilePosition, n) != pos) {
            result.positionsMoved = true;
            config.Set(field::kFilePosition, n, pos);
        }
    };
    // Most often track k still names the k-th file, as the last scan left
    // them. While that holds, track k is the lowest of that name (the tracks
    // before it name other files), and no table is needed. A file without an
    // alias goes by a name others may share, and takes the general way.
    int k = 1;
    std::string alias;
    for (; k <= usable; ++k) {
        alias = AliasOf(*audio[static_cast<std::size_t>(k - 1)]);
        if (alias == kNoAlias || config.TrackNameText(k).View() != alias) {
            break;
        }
        placeAt(k, static_cast<std::uint32_t>(k));
        alias.clear();
    }
    std::vector<bool> named;
    platform::ShortKeyTable<int> slotOfName;
    if (k <= usable) {
        slotOfName = LowestSlots(config, named);
    }
    int lowestFree = 1;
    for (; k <= usable; ++k) {
        if (alias.empty()) {
            alias = AliasOf(*audio[static_cast<std::size_t>(k - 1)]);
        }
        const auto pos = static_cast<std::uint32_t>(k);
        if (const int* match = slotOfName.Find(alias)) {
            placeAt(*match, pos);
        } else {
            result.newFiles = true;
            if (apply) {
                PlaceNewFile(config, named, lowestFree, alias, pos);
                if (lowestFree <= layout::kMaxTrack) {
                    slotOfName.Insert(alias, lowestFree);
                    seen[static_cast<std::size_t>(lowestFree)] = true;
                }
            }
        }
        alias.clear();
    }
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (config.TrackExists(n) && !seen[static_cast<std::size_t>(n)]) {
            result.missingFiles = true;
            if (apply) {
                config.ClearTrack(n);
            }
        }
    }
}

std::string TrackScanner::AliasOf(const platform::DirEntry& file) {
    // A stored alias never changes while the file keeps its name, so the
    // first one seen for a card is kept; a generated one belongs to this
    // listing's order and is taken from the listing every time.
    if (!file.aliasGenerated) {
        if (auto it = storedAliases_.find(file.longName); it != storedAliases_.end()) {
            return it->second;
        }
    }
    // A generated alias is made upper case and bare already.
    std::string alias = file.aliasGenerated ? file.shortName : cardfiles::Alias(file);
    if (alias.empty()) {
        return std::string(kNoAlias);
    }
    if (!file.aliasGenerated) {
        storedAliases_.emplace(file.longName, alias);
    }
    return alias;
}

std::string TrackScanner::LongTrackName(const std::filesystem::path& cardDir,
                                        const std::string& shortName) {
    if (shortName.empty()) {
        return shortName;
    }
    if (!listingIndexed_) {
        for (const platform::DirEntry& e : lastListing_) {
            std::string alias = cardfiles::Alias(e);
            if (IsAudioFile(e) && !alias.empty()) {
                shortToLong_[std::move(alias)] = e.longName;
            }
        }
        listingIndexed_ = true;
    }
    if (auto it = shortToLong_.find(shortName); it != shortToLong_.end()) {
        return it->second;
    }
    // As FAT finds a file: by its alias or its long name, in any letter case.
    std::error_code ec;
    for (const auto& e : lister_(SoundsDirectory(cardDir), ec)) {
        if (!e.isDirectory && (text::EqualIgnoringCase(cardfiles::Alias(e), shortName) ||
                               text::EqualIgnoringCase(e.longName, shortName))) {
            return e.longName;
        }
    }
    return shortName;
}
