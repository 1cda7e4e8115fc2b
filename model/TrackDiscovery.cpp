#include <algorithm>
#include <array>
#include <cctype>

#include "model/CardwrightDoc.h"

namespace {

constexpr const char* kSoundsDir = "SOUNDS";

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

bool IsAudioFile(const platform::DirEntry& e) {
    if (e.isDirectory) {
        return false;
    }
    const std::string ext = Upper(std::filesystem::path(e.longName).extension().string());
    return ext == ".MP3" || ext == ".WAV";
}

// Only the audio files of a listing, in stored order.
std::vector<const platform::DirEntry*> AudioFiles(const std::vector<platform::DirEntry>& all) {
    std::vector<const platform::DirEntry*> audio;
    for (const auto& e : all) {
        if (IsAudioFile(e)) {
            audio.push_back(&e);
        }
    }
    return audio;
}

// The alias without any directory part, in upper case.
std::string ShortNameOf(const platform::DirEntry& e) {
    return Upper(std::filesystem::path(e.shortName).filename().string());
}

}  // namespace

std::vector<platform::DirEntry> CCardwrightDoc::ListSounds(std::error_code& ec) const {
    // A missing or unreadable SOUNDS directory simply holds no tracks.
    return lister_(CardDirectory() / kSoundsDir, ec);
}

void CCardwrightDoc::ClearAllTracks() {
    for (int n = 0; n < layout::kTrackSlots; ++n) {
        config_.ClearTrack(n);
    }
}

int CCardwrightDoc::CountTracks(bool rebuild) {
    if (rebuild) {
        ClearAllTracks();
    }
    std::error_code ec;
    const auto listing = ListSounds(ec);
    const auto audio = AudioFiles(listing);
    if (rebuild) {
        const int slots = std::min<int>(static_cast<int>(audio.size()), layout::kMaxTrack);
        for (int k = 1; k <= slots; ++k) {
            const std::string alias = ShortNameOf(*audio[static_cast<std::size_t>(k - 1)]);
            config_.SetTrackName(k, alias.empty() ? "ERROR.ERR" : alias);
            config_.SetFilePosition(k, static_cast<std::uint32_t>(k));
        }
    }
    return static_cast<int>(audio.size());
}

int CCardwrightDoc::SyncTracks(bool apply) {
    BusyScope busy(busy_);
    std::error_code ec;
    const auto listing = ListSounds(ec);
    const auto audio = AudioFiles(listing);
    const int count = static_cast<int>(audio.size());

    if (path_ == scanPath_ && count == scanCount_ && !apply) {
        return 0;
    }
    if (path_ != scanPath_ || scanCount_ < count) {
        longToShort_.clear();
        shortToLong_.clear();
    }
    scanPath_ = path_;
    scanCount_ = count;

    std::array<std::string, layout::kTrackSlots> names;
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        names[static_cast<std::size_t>(n)] = config_.TrackName(n);
    }
    std::array<bool, layout::kTrackSlots> seen{};
    bool newFiles = false;
    const std::filesystem::path soundsDir = CardDirectory() / kSoundsDir;

    for (int k = 1; k <= count; ++k) {
        if (k > layout::kMaxTrack) {
            prompter_.Tell(
                "More than 256 audio files on the disk!\nOnly the first 255 files will be used.",
                Prompter::Icon::Warning);
            break;
        }
        const platform::DirEntry& file = *audio[static_cast<std::size_t>(k - 1)];
        const std::string fullPath = (soundsDir / file.longName).string();
        std::string alias;
        if (auto it = longToShort_.find(fullPath); it != longToShort_.end()) {
            alias = it->second;
        } else if (alias = ShortNameOf(file); !alias.empty()) {
            longToShort_[fullPath] = alias;
            shortToLong_[alias] = fullPath;
        } else {
            alias = "error.mp3";
        }

        const auto pos = static_cast<std::uint32_t>(k);
        const auto match = std::find(names.begin() + 1, names.end(), alias);
        if (match != names.end()) {
            const int n = static_cast<int>(match - names.begin());
            seen[static_cast<std::size_t>(n)] = true;
            if (apply && config_.FilePosition(n) != pos) {
                SetModifiedFlag(true);
                config_.SetFilePosition(n, pos);
            }
            continue;
        }
        newFiles = true;
        if (apply) {
            const auto free = std::find(names.begin() + 1, names.end(), std::string());
            if (free != names.end()) {
                const int n = static_cast<int>(free - names.begin());
                seen[static_cast<std::size_t>(n)] = true;
                *free = alias;
                config_.SetTrackName(n, alias);
                config_.SetFilePosition(n, pos);
            }
        }
    }

    bool missing = false;
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (!names[static_cast<std::size_t>(n)].empty() && !seen[static_cast<std::size_t>(n)]) {
            missing = true;
            if (apply) {
                config_.ClearTrack(n);
            }
        }
    }
    return (newFiles ? 1 : 0) | (missing ? 2 : 0);
}

std::string CCardwrightDoc::GetLongTrackName(const std::string& shortName) {
    if (auto it = shortToLong_.find(shortName); it != shortToLong_.end()) {
        return std::filesystem::path(it->second).filename().string();
    }
    std::error_code ec;
    for (const auto& e : ListSounds(ec)) {
        if (!e.isDirectory && (ShortNameOf(e) == shortName || e.longName == shortName)) {
            return e.longName;
        }
    }
    return shortName;
}
