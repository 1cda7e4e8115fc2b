#include <algorithm>

#include "model/Card.h"
#include "model/CardFiles.h"
#include "model/CardPreparation.h"
#include "model/ConfigFile.h"
#include "model/FileIo.h"
#include "model/KeldaFile.h"
#include "model/Text.h"

namespace card {

namespace fs = std::filesystem;

const FileReport* WriteReport::Report(const std::string& fileName) const {
    for (const FileReport& r : files) {
        if (text::EqualIgnoringCase(r.file.filename().string(), fileName)) {
            return &r;
        }
    }
    return nullptr;
}

bool WriteReport::Complete() const {
    if (refused || soundsFailed || files.empty()) {
        return false;
    }
    for (const FileReport& r : files) {
        const bool program =
            text::EqualIgnoringCase(r.file.filename().string(), cardfiles::kProgramFileName);
        if (!program && r.outcome != FileReport::Outcome::Written &&
            r.outcome != FileReport::Outcome::Unchanged) {
            return false;
        }
    }
    return true;
}

const std::vector<std::uint8_t>* WriteMemory::LastWritten(const fs::path& file) const {
    for (const auto& [path, bytes] : written) {
        if (path == file) {
            return &bytes;
        }
    }
    return nullptr;
}

void WriteMemory::Remember(const fs::path& file, std::vector<std::uint8_t> bytes) {
    for (auto& [path, old] : written) {
        if (path == file) {
            old = std::move(bytes);
            return;
        }
    }
    written.emplace_back(file, std::move(bytes));
}

void WriteMemory::Forget(const fs::path& file) {
    std::erase_if(written, [&](const auto& entry) { return entry.first == file; });
}

namespace {

std::uintmax_t Clusters(std::uintmax_t bytes) {
    return (bytes + kClusterSize - 1) / kClusterSize * kClusterSize;
}

bool Exists(const platform::FileFacts& f) {
    return fs::exists(f.status);
}

// Whether two paths, with what was found at them, name the same file.
bool SameFile(const fs::path& a, const platform::FileFacts& factsA, const fs::path& b,
              const platform::FileFacts& factsB) {
    if (Exists(factsA) && Exists(factsB)) {
        return factsA.identity.device == factsB.identity.device &&
               factsA.identity.inode == factsB.identity.inode;
    }
    return text::EqualIgnoringCase(a.lexically_normal().string(), b.lexically_normal().string());
}

// One file the write will put on the card: its bytes, or the file to copy,
// and what the card holds under its name now.
struct Planned {
    fs::path target;
    std::vector<std::uint8_t> bytes;
    fs::path copyOf;
    platform::FileFacts old;
    bool unchanged = false;  // the card holds these bytes already
    std::string name;        // the target's name in the card's folder
};

FileReport ReportOf(const fs::path& target, const fileio::WriteResult& result) {
    FileReport report;
    report.file = target;
    if (result.ok()) {
        report.outcome = FileReport::Outcome::Written;
        return report;
    }
    report.outcome = FileReport::Outcome::Failed;
    report.reason = result.reason;
    report.aftermath = result.Aftermath(target);
    report.opening = result.failure != fileio::WriteResult::Failure::Write;
    return report;
}

class Writer {
  public:
    Writer(const Location& where, Image image, const WriteOptions& options)
        : where_(where), options_(options), folder_(where.dir) {
        report_.written = std::move(image);
        report_.written.config.Set(field::kConfigVersion, ProgramVersion());
        options_.lister = ListerOrDefault(options_.lister);
    }

    WriteReport Run() {
        if (!CheckBeforeWriting()) {
            return std::move(report_);
        }
        Plan();
        if (!CheckSpace()) {
            return std::move(report_);
        }
        RemoveLeftovers();
        if (!options_.configOnly && !PrepareSounds()) {
            return std::move(report_);
        }
        if (options_.reconcileTracks) {
            Plan();  // the reconciled track list changes the configuration's bytes
        }
        for (Planned& p : plan_) {
            report_.files.push_back(Put(p));
            Remember(p, report_.files.back().outcome);
        }
        return std::move(report_);
    }

  private:
    FileReport Put(const Planned& p) const {
        // Without the configuration the card's other files would not match
        // it: the rest is not written.
        if (!report_.files.empty() &&
            report_.files.front().outcome == FileReport::Outcome::Failed) {
            return {p.target, FileReport::Outcome::NotWritten, {}, {}, false};
        }
        if (p.unchanged) {
            return {p.target, FileReport::Outcome::Unchanged, {}, {}, false};
        }
        return ReportOf(p.target,
                        p.copyOf.empty()
                            ? fileio::Replace(folder_, p.name, p.bytes, &p.old)
                            : fileio::ReplaceWithCopy(folder_, p.name, p.copyOf, &p.old));
    }

    // What the card holds now, for the next save.
    void Remember(Planned& p, FileReport::Outcome outcome) const {
        WriteMemory* memory = options_.memory;
        if (memory == nullptr) {
            return;
        }
        const bool holds =
            outcome == FileReport::Outcome::Written || outcome == FileReport::Outcome::Unchanged;
        if (!p.copyOf.empty()) {
            memory->sameProgram.reset();
            if (holds) {
                const auto copy = outcome == FileReport::Outcome::Written
                                      ? folder_.Inspect(p.name).identity
                                      : p.old.identity;
                memory->sameProgram.emplace(program_.identity, copy);
            }
        } else if (holds) {
            memory->Remember(p.target, std::move(p.bytes));
        } else if (outcome == FileReport::Outcome::Failed) {
            memory->Forget(p.target);
        }
    }

    // Whether the card holds the planned file already. Bytes that differ
    // from those this program last gave the file are written without a look:
    // the file is either still what it was given then, or not ours to trust.
    bool Unchanged(const Planned& p, std::optional<bool> programUnchanged) const {
        const WriteMemory* memory = options_.memory;
        if (p.copyOf.empty()) {
            const auto* last = memory != nullptr ? memory->LastWritten(p.target) : nullptr;
            if (last != nullptr && *last != p.bytes) {
                return false;
            }
            return fileio::HoldsBytes(p.target, p.bytes, &p.old);
        }
        if (programUnchanged) {
            return *programUnchanged;
        }
        if (memory != nullptr && Exists(p.old) && Exists(program_) &&
            memory->sameProgram == std::make_pair(program_.identity, p.old.identity)) {
            return true;
        }
        return fileio::SameContents(p.copyOf, p.target);
    }

    // What the check before writing found under `name`.
    platform::FileFacts Facts(const std::string& name) const {
        for (const auto& [found, facts] : found_) {
            if (found == name) {
                return facts;
            }
        }
        return folder_.Inspect(name);
    }

    bool Refuse(Refusal::Kind kind, fs::path file, std::string reason) {
        report_.refused = Refusal{kind, Failure{std::move(file), std::move(reason)}};
        return false;
    }

    // Every name the write will take must be free for a file: a folder, pipe
    // or device of that name is not ours to replace.
    bool CheckBeforeWriting() {
        // One listing of the root answers whether the card is a folder, what
        // its SOUNDS is and what an interrupted save left behind. Only names
        // and kinds are looked at: no aliases are needed, whoever lists.
        std::error_code ec;
        folder_.List(root_, ec);
        if (ec && !fs::is_directory(where_.dir, ec)) {
            return Refuse(Refusal::Kind::NotAFolder, where_.dir, "no such card folder");
        }
        if (!folder_.IsOpen()) {
            return Refuse(Refusal::Kind::NotAFolder, where_.dir, folder_.Error().message());
        }
        if (!options_.configOnly) {
            cardprep::Sounds sounds = cardprep::FindSounds(where_.dir, root_);
            sounds_ = sounds.state;
            switch (sounds_) {
                case cardprep::SoundsState::NotFolder:
                    return Refuse(Refusal::Kind::SoundsNotFolder, std::move(sounds.path),
                                  "it is a file, but the player needs a folder of that name");
                case cardprep::SoundsState::BrokenLink:
                    return Refuse(Refusal::Kind::SoundsBrokenLink, std::move(sounds.path),
                                  "it is a link that leads to no folder");
                default:
                    break;
            }
        }
        if (!options_.program.empty()) {
            program_ = platform::Inspect(options_.program);
        }
        for (const fs::path& target : Targets()) {
            std::string name = target.filename().string();
            const platform::FileFacts facts = folder_.Inspect(name);
            found_.emplace_back(std::move(name), facts);
            const auto status = facts.status;
            if (fs::exists(status) && !fs::is_regular_file(status)) {
                return Refuse(Refusal::Kind::NotAFile, target,
                              fs::is_directory(status) ? "it is a folder, not a file"
                                                       : "it is not a regular file");
            }
        }
        return true;
    }

    std::vector<fs::path> Targets() const {
        std::vector<fs::path> targets{where_.config};
        if (!options_.configOnly) {
            targets.push_back(where_.dir / cardfiles::kScheduleFileName);
            targets.push_back(where_.dir / cardfiles::kKeldaFileName);
            if (!options_.program.empty()) {
                targets.push_back(where_.dir / cardfiles::kProgramFileName);
            }
        }
        return targets;
    }

    // Temporary files an interrupted save of this program left in the root.
    void RemoveLeftovers() {
        for (const platform::DirEntry& e : root_) {
            if (!e.isDirectory && fileio::IsTemporaryName(e.longName) &&
                folder_.Remove(e.longName)) {
                ++report_.removedTemporaries;
            }
        }
    }

    // SOUNDS is made ready before the tracks are reconciled: audio lying in
    // the root moves into a fresh SOUNDS, and the tracks then find it there.
    bool PrepareSounds() {
        // A folder found by the check a moment ago needs nothing made.
        if (sounds_ != cardprep::SoundsState::Folder) {
            auto prepared = cardprep::PrepareSoundsDir(where_.dir, options_.lister);
            if (!prepared) {
                report_.soundsFailed = prepared.error();
                return false;
            }
        }
        if (options_.reconcileTracks) {
            TrackScanner scanner;
            scanner.SetLister(options_.lister);
            report_.tracks =
                scanner.SyncTracks(report_.written.config, where_.config, where_.dir, true);
        }
        return true;
    }

    // Planning again after the tracks were reconciled makes the card files
    // anew; the program copy, compared byte for byte, is judged only once.
    void Plan() {
        std::optional<bool> programUnchanged;
        if (!plan_.empty() && !plan_.back().copyOf.empty()) {
            programUnchanged = plan_.back().unchanged;
        }
        plan_.clear();
        const CardConfig& config = report_.written.config;
        const auto add = [&](std::string name, std::vector<std::uint8_t> bytes, fs::path copyOf) {
            Planned& p = plan_.emplace_back();
            p.target = plan_.size() == 1 ? where_.config : where_.dir / name;
            p.name = std::move(name);
            p.bytes = std::move(bytes);
            p.copyOf = std::move(copyOf);
        };
        add(where_.config.filename().string(), configfile::Encode(config), {});
        if (!options_.configOnly) {
            add(std::string(cardfiles::kScheduleFileName),
                report_.written.schedules.Serialize(
                    static_cast<std::uint8_t>(config.Get(field::kSerialAddress))),
                {});
            add(std::string(cardfiles::kKeldaFileName), keldafile::Encode(config), {});
            const std::string program(cardfiles::kProgramFileName);
            // Running from the card itself: the program is already there.
            if (!options_.program.empty() &&
                !SameFile(options_.program, program_, where_.dir / program, Facts(program))) {
                add(program, {}, options_.program);
            }
        }
        for (Planned& p : plan_) {
            p.old = Facts(p.name);
            p.unchanged = Unchanged(p, programUnchanged);
        }
    }

    // Each file goes through a temporary copy beside the old one, so the card
    // needs room for the new files whole while the old ones still stand.
    bool CheckSpace() {
        std::vector<FileSizes> sizes;
        std::error_code ec;
        for (const Planned& p : plan_) {
            if (!p.unchanged) {
                const std::uintmax_t newSize =
                    p.copyOf.empty()
                        ? p.bytes.size()
                        : (fs::is_regular_file(program_.status) ? program_.identity.size : 0);
                const std::uintmax_t old =
                    fs::is_regular_file(p.old.status) ? p.old.identity.size : 0;
                sizes.push_back({newSize, old});
            }
        }
        const std::uintmax_t needed = SpaceNeeded(sizes);
        ec.clear();
        const std::uintmax_t free =
            options_.freeSpace ? options_.freeSpace(where_.dir, ec) : folder_.Available(ec);
        if (ec || free >= needed) {
            return true;  // a card that cannot say has to be tried
        }
        return Refuse(
            Refusal::Kind::NoSpace, where_.dir,
            text::Concat({"the card has ", std::to_string(free / 1024),
                          " KB free, and the save needs ", std::to_string(needed / 1024), " KB"}));
    }

    const Location& where_;
    WriteOptions options_;
    // The card's folder, held open for the whole write: the card files are
    // inspected, made and renamed through it.
    platform::Folder folder_;
    std::vector<Planned> plan_;
    WriteReport report_;
    // What the check before writing found: the root's entries, SOUNDS, the
    // program, and what each card file's name holds.
    std::vector<platform::DirEntry> root_;
    cardprep::SoundsState sounds_ = cardprep::SoundsState::Missing;
    platform::FileFacts program_;
    std::vector<std::pair<std::string, platform::FileFacts>> found_;
};

}  // namespace

std::uintmax_t SpaceNeeded(const std::vector<FileSizes>& files) {
    std::uintmax_t needed = 0;
    std::intmax_t grown = 0;
    for (const FileSizes& f : files) {
        const auto peak = static_cast<std::intmax_t>(Clusters(f.newSize)) + grown;
        needed = std::max(needed, static_cast<std::uintmax_t>(std::max<std::intmax_t>(0, peak)));
        grown += static_cast<std::intmax_t>(Clusters(f.newSize)) -
                 static_cast<std::intmax_t>(Clusters(f.oldSize));
    }
    return needed;
}

WriteReport WriteCard(const Location& where, Image image, const WriteOptions& options) {
    return Writer(where, std::move(image), options).Run();
}

}  // namespace card
