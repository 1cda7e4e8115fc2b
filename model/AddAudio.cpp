#include "model/AddAudio.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "model/CardFiles.h"
#include "model/CardPreparation.h"
#include "model/FileIo.h"
#include "model/Text.h"
#include "platform/Files.h"
#include "platform/ShortNames.h"

namespace addaudio {

namespace fs = std::filesystem;

std::vector<Source> InspectAll(const std::vector<fs::path>& files, AudioTool& tool) {
    std::vector<Source> sources;
    sources.reserve(files.size());
    for (const fs::path& f : files) {
        sources.push_back({f, tool.Inspect(f)});
    }
    return sources;
}

int Plan::Refused() const {
    return static_cast<int>(
        std::count_if(files.begin(), files.end(), [](const PlannedFile& f) { return !f.Ready(); }));
}

namespace {

std::uintmax_t InClusters(std::uintmax_t bytes) {
    return (bytes + card::kClusterSize - 1) / card::kClusterSize * card::kClusterSize;
}

std::uintmax_t FreeBytes(const fs::path& dir, const FreeSpaceFn& freeSpace, std::error_code& ec) {
    return freeSpace ? freeSpace(dir, ec) : fs::space(dir, ec).available;
}

// FAT compares names without regard to letter case.
std::string Folded(std::string_view name) {
    return text::AsciiUpper(name);
}

// The name the file goes by on the card: its own stem with the extension the
// player picks its decoder by, made unique among `taken`.
std::string CardName(const Source& s, std::unordered_set<std::string>& taken) {
    std::string stem = s.path.stem().string();
    if (stem.empty() || stem.front() == '.') {
        stem = "Track" + stem;
    }
    const std::string ext = s.info.mp3 ? ".mp3" : ".wav";
    std::string name = stem + ext;
    for (int n = 2; taken.count(Folded(name)) != 0; ++n) {
        name = text::Concat({stem, " (", std::to_string(n), ")", ext});
    }
    taken.insert(Folded(name));
    return name;
}

}  // namespace

Plan MakePlan(const fs::path& cardDir, const std::vector<Source>& sources,
              const PlanOptions& options) {
    Plan plan;
    plan.sounds = TrackScanner::SoundsDirectory(cardDir);
    std::unordered_set<std::string> taken;
    platform::ShortNameGenerator aliases;
    std::error_code ec;
    for (const platform::DirEntry& e : ListerOrDefault(options.lister)(plan.sounds, ec)) {
        taken.insert(Folded(e.longName));
        // A stored alias is a valid 8.3 name, which the generator keeps as
        // it is and remembers as taken.
        aliases.Next(e.shortName.empty() ? e.longName : cardfiles::Alias(e));
    }
    for (const Source& s : sources) {
        PlannedFile f{s, {}, {}, 0};
        if (f.Ready()) {
            f.cardName = CardName(s, taken);
            f.alias = aliases.Next(f.cardName);
            f.cardBytes = InClusters(s.info.outputBytes);
            plan.spaceNeeded += f.cardBytes;
        }
        plan.files.push_back(std::move(f));
    }
    const fs::path probeAt = fs::is_directory(plan.sounds, ec) ? plan.sounds : cardDir;
    ec.clear();
    plan.spaceFree = FreeBytes(probeAt, options.freeSpace, ec);
    if (ec) {
        plan.spaceUnknown = Failure{cardDir, ec.message()};
    }
    return plan;
}

std::string SizeText(std::uintmax_t bytes) {
    char out[32];
    if (bytes < 1024 * 1024) {
        std::snprintf(out, sizeof out, "%ju KB", (bytes + 1023) / 1024);
    } else {
        std::snprintf(out, sizeof out, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    }
    return out;
}

std::string LengthText(double seconds) {
    const auto tenths = static_cast<long long>(std::llround(std::max(0.0, seconds) * 10));
    char out[32];
    std::snprintf(out, sizeof out, "%lld:%02lld.%lld", tenths / 600, tenths / 10 % 60, tenths % 10);
    return out;
}

namespace {

// Temporary files a write that was cut short left in SOUNDS: nothing refers
// to them, and they hold space the new files need.
int RemoveLeftovers(const fs::path& sounds, const DirectoryLister& lister) {
    int removed = 0;
    std::error_code ec;
    for (const platform::DirEntry& e : lister(sounds, ec)) {
        if (!e.isDirectory && fileio::IsTemporaryName(e.longName) &&
            fs::remove(sounds / e.longName, ec)) {
            ++removed;
        }
    }
    return removed;
}

// SOUNDS made if the card has none yet, and the room for the files checked:
// everything that can refuse the work comes before its first byte.
std::optional<Failure> Prepare(const Plan& plan, const AddOptions& options, AddResult& result) {
    const fs::path cardDir = plan.sounds.parent_path();
    std::error_code ec;
    const std::uintmax_t free =
        FreeBytes(fs::is_directory(plan.sounds, ec) ? plan.sounds : cardDir, options.freeSpace, ec);
    if (ec) {
        return Failure{cardDir,
                       text::Concat({"the free space cannot be read (", ec.message(), ")"})};
    }
    if (plan.spaceNeeded > free) {
        return Failure{cardDir, text::Concat({"the files need ", SizeText(plan.spaceNeeded),
                                              " and the card has ", SizeText(free), " free"})};
    }
    const DirectoryLister lister = ListerOrDefault(options.lister);
    if (Result<cardprep::Prepared> made = cardprep::PrepareSoundsDir(cardDir, lister); !made) {
        return made.error();
    }
    result.removedTemporaries = RemoveLeftovers(plan.sounds, lister);
    for (const PlannedFile& f : plan.files) {
        if (f.Ready() && fs::exists(fs::symlink_status(plan.sounds / f.cardName, ec))) {
            return Failure{plan.sounds / f.cardName, "a file of that name is on the card already"};
        }
    }
    return std::nullopt;
}

// Writes one file whole under a temporary name, then gives it its own.
bool WriteOne(const Plan& plan, std::size_t index, AudioTool& tool, const AddOptions& options,
              AddResult& result) {
    const PlannedFile& f = plan.files[index];
    const fs::path temp = plan.sounds / fileio::TemporaryName();
    const ProgressFn progress = [&](std::uint64_t done, std::uint64_t total) {
        if (options.progress) {
            options.progress(index, done, total);
        }
    };
    const WriteOutcome out = tool.Write(f.source.path, temp, progress, options.cancel);
    std::error_code ec;
    if (out.cancelled || !out.error.empty()) {
        fs::remove(temp, ec);
        result.cancelled = out.cancelled;
        if (!out.cancelled) {
            result.failed = Failure{f.source.path, out.error};
        }
        return false;
    }
    fs::rename(temp, plan.sounds / f.cardName, ec);
    if (ec) {
        fs::remove(temp, ec);
        result.failed = Failure{plan.sounds / f.cardName, ec.message()};
        return false;
    }
    platform::SyncDirectory(plan.sounds);
    result.written.push_back(f.cardName);
    if (out.gainDb < 0.0) {
        result.scaled.push_back({f.cardName, out.gainDb});
    }
    return true;
}

}  // namespace

AddResult AddFiles(const Plan& plan, AudioTool& tool, const AddOptions& options) {
    AddResult result;
    // With nothing to write, the card is not touched at all.
    if (plan.Refused() == static_cast<int>(plan.files.size())) {
        return result;
    }
    if (std::optional<Failure> refused = Prepare(plan, options, result)) {
        result.refused = std::move(refused);
        return result;
    }
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        if (!plan.files[i].Ready()) {
            continue;
        }
        if ((options.cancel != nullptr && options.cancel->load()) ||
            !WriteOne(plan, i, tool, options, result)) {
            result.cancelled = result.cancelled || !result.failed;
            break;
        }
    }
    return result;
}

int AppendTracks(CardConfig& config, const std::vector<card::AudioFile>& audio,
                 const std::vector<std::string>& added) {
    int last = 0;
    for (int n = layout::kMaxTrack; n >= 1 && last == 0; --n) {
        last = config.TrackExists(n) ? n : 0;
    }
    int given = 0;
    const int usable = std::min<int>(static_cast<int>(audio.size()), layout::kMaxTrack);
    for (int k = 1; k <= usable; ++k) {
        const card::AudioFile& file = audio[static_cast<std::size_t>(k - 1)];
        const bool isNew = std::find(added.begin(), added.end(), file.longName) != added.end();
        if (!isNew || file.alias.empty()) {
            continue;
        }
        // Past the last track, the lowest slot still free.
        int n = last + 1;
        while (n <= layout::kMaxTrack && config.TrackExists(n)) {
            ++n;
        }
        for (int free = 1; n > layout::kMaxTrack && free <= layout::kMaxTrack; ++free) {
            n = config.TrackExists(free) ? n : free;
        }
        if (n > layout::kMaxTrack) {
            break;
        }
        config.ClearTrack(n);
        config.SetTrackName(n, file.alias);
        config.Set(field::kFilePosition, n, static_cast<std::uint32_t>(k));
        last = std::max(last, n);
        ++given;
    }
    return given;
}

}  // namespace addaudio
