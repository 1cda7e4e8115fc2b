#include "doctor/CardCheck.h"

#include <algorithm>
#include <map>

#include "doctor/AudioCheck.h"
#include "doctor/Card.h"
#include "media/Probe.h"
#include "model/BlinkCodes.h"
#include "model/CardFiles.h"
#include "model/CardwrightDoc.h"
#include "model/FileIo.h"
#include "model/InputTable.h"
#include "model/KeldaFile.h"
#include "model/Text.h"

namespace doctor {

namespace {

namespace fs = std::filesystem;

std::string Num(std::uintmax_t n) {
    return std::to_string(n);
}

std::string Track(int n) {
    return text::Concat({"track ", std::to_string(n)});
}

std::uintmax_t Clusters(std::uintmax_t bytes) {
    return (bytes + kClusterEstimate - 1) / kClusterEstimate * kClusterEstimate;
}

class Checker {
  public:
    Checker(const fs::path& card, const CheckOptions& options)
        : given_(card), where_(LocateCard(card)), options_(options) {}

    CheckResult Run() {
        std::error_code ec;
        if (!fs::exists(given_, ec) || !fs::is_directory(where_.dir, ec)) {
            Add(Severity::Error, "card-unreadable", "",
                text::Concat(
                    {fileio::Quoted(given_), " is not a card folder or file that can be read"}),
                "give the card's folder or its TUNBOX.CFG", 0);
            return std::move(result_);
        }
        CheckConfig();
        CheckRoot();
        if (CheckSounds()) {
            CheckTracks();
        }
        if (result_.cancelled) {
            return std::move(result_);
        }
        if (haveConfig_) {
            CheckReferences();
            CheckSchedules();
            CheckShowFiles();
        }
        CheckSpace();
        return std::move(result_);
    }

  private:
    void Add(Severity severity, const char* id, std::string file, std::string problem,
             std::string action, int blink) {
        Finding f;
        f.severity = severity;
        f.id = id;
        f.file = std::move(file);
        f.problem = std::move(problem);
        f.action = std::move(action);
        f.blinkCount = blink;
        if (blink != 0) {
            if (const BlinkCode* code = BlinkCodeFor(blink)) {
                f.problem += text::Concat(
                    {"; the player blinks ", std::to_string(blink), " (", BlinkName(*code), ")"});
            }
        }
        result_.findings.push_back(std::move(f));
    }

    std::string ConfigName() const { return where_.config.filename().string(); }

    bool Cancelled() {
        if (options_.cancel && options_.cancel->load()) {
            result_.cancelled = true;
        }
        return result_.cancelled;
    }

    // --- TUNBOX.CFG and SCHEDULE.SCH ----------------------------------------
    void CheckConfig() {
        const std::string name = ConfigName();
        if (!text::EqualIgnoringCase(name, cardfiles::kConfigFileName)) {
            Add(Severity::Warning, "config-name", name,
                "the player reads only a configuration file named TUNBOX.CFG",
                "rename it to TUNBOX.CFG", 0);
            std::error_code missing;
            if (!fs::exists(LocateCard(where_.dir).config, missing)) {
                Add(Severity::Error, "config-missing", cardfiles::kConfigFileName,
                    "the card has no TUNBOX.CFG", "rename the configuration file to TUNBOX.CFG", 4);
            }
        }
        std::error_code ec;
        const auto status = fs::status(where_.config, ec);
        if (!fs::exists(status)) {
            if (text::EqualIgnoringCase(name, cardfiles::kConfigFileName)) {
                Add(Severity::Error, "config-missing", cardfiles::kConfigFileName,
                    "the card has no TUNBOX.CFG",
                    "open the card in Cardwright and save it, or write one with "
                    "cardwright-cli apply",
                    4);
            }
            return;
        }
        std::vector<std::uint8_t> head;
        std::uintmax_t size = 0;
        std::string reason;
        if (!fileio::ReadPrefix(where_.config, 3, head, size, reason)) {
            Add(Severity::Error, "config-unreadable", name,
                text::Concat({"the configuration file cannot be read (", reason, ")"}),
                "check the card in a card reader; save the configuration again", 5);
            return;
        }
        if (size != static_cast<std::uintmax_t>(layout::kFileSize)) {
            if (size / 3 != static_cast<std::uintmax_t>(layout::kWordCount)) {
                Add(Severity::Error, "config-size", name,
                    text::Concat({"the configuration file is ", Num(size),
                                  " bytes long instead of ", Num(layout::kFileSize)}),
                    "save the configuration again with Cardwright", 7);
            } else {
                Add(Severity::Warning, "config-surplus", name,
                    text::Concat({"the configuration file has ", Num(size - layout::kFileSize),
                                  " bytes past the ", Num(layout::kFileSize),
                                  " of the record; the player may take it for the wrong size"}),
                    "save the configuration again with Cardwright", 0);
            }
        }
        std::string error;
        if (!ReadCardSettings(where_, card_, error)) {
            return;  // reported above: the size is wrong
        }
        haveConfig_ = size != 0;
        const std::uint32_t version = card_.config.Get(field::kConfigVersion);
        const std::uint32_t ours = CCardwrightDoc::ConfiguratorVersion();
        if (haveConfig_ && version > ours) {
            Add(Severity::Error, "config-version", name,
                text::Concat({"the configuration file is version ", Num(version),
                              ", newer than this program's ", Num(ours)}),
                "save it with a configurator that matches the player's firmware, or update the "
                "firmware",
                6);
        }
        CheckScheduleFile();
    }

    void CheckScheduleFile() {
        std::error_code ec;
        const fs::path schedule = where_.dir / cardfiles::kScheduleFileName;
        const bool clock = card_.config.HasClock();
        if (card_.scheduleBad) {
            if (clock) {
                Add(Severity::Error, "schedule-bad", cardfiles::kScheduleFileName,
                    "the schedule file fails its length or checksum check",
                    "open the card in Cardwright, set the schedules again and save", 5);
            } else {
                Add(Severity::Warning, "schedule-bad", cardfiles::kScheduleFileName,
                    "the schedule file fails its length or checksum check; this model does not "
                    "read it, but Cardwright drops it when it opens the card",
                    "save the card again with Cardwright", 0);
            }
        } else if (clock && haveConfig_ && !fs::exists(schedule, ec)) {
            Add(Severity::Warning, "schedule-missing", cardfiles::kScheduleFileName,
                "the card has no schedule file, so the clock runs no schedules",
                "save the card with Cardwright to write one", 0);
        }
    }

    // --- the card's root ------------------------------------------------------
    void CheckRoot() {
        std::error_code ec;
        const auto root = ListCardFolder(options_.lister, where_.dir, ec);
        soundsMissing_ = !fs::exists(TrackScanner::SoundsDirectory(where_.dir), ec);
        for (const platform::DirEntry& e : root) {
            NoteAliases(e);
            if (!e.isDirectory && cardfiles::IsAudioFileName(e.longName)) {
                Add(Severity::Warning, "audio-in-root", e.longName,
                    "an audio file lies in the card's root, where the player does not look",
                    soundsMissing_ ? "save the card with Cardwright, which moves it into SOUNDS"
                                   : "move it into SOUNDS",
                    0);
            }
            if (!e.isDirectory &&
                text::EqualIgnoringCase(e.longName, cardfiles::kProgramFileName)) {
                programCopy_ = where_.dir / e.longName;
            }
        }
    }

    void NoteAliases(const platform::DirEntry& e) {
        if (!e.aliasGenerated || aliasesNoted_) {
            return;
        }
        aliasesNoted_ = true;
        Add(Severity::Note, "not-fat", "",
            "the card folder is not on a FAT file system, so the 8.3 names used here are the ones "
            "FAT would give the files if they were copied to a card in this order, not names read "
            "from a card",
            "check the card itself in a card reader to be sure of its track names", 0);
    }

    // --- SOUNDS -----------------------------------------------------------------
    bool CheckSounds() {
        std::error_code ec;
        const fs::path sounds = TrackScanner::SoundsDirectory(where_.dir);
        const auto status = fs::status(sounds, ec);
        soundsName_ = sounds.filename().string();
        if (!fs::exists(status)) {
            Add(Severity::Warning, "sounds-missing", cardfiles::kSoundsDirName,
                "the card has no SOUNDS folder, so the player has nothing to play",
                "save the card with Cardwright, which creates it and moves the root's audio "
                "files into it",
                0);
            return true;
        }
        if (!fs::is_directory(status)) {
            Add(Severity::Error, "sounds-not-folder", soundsName_,
                "SOUNDS is a file, but the player needs a folder of that name",
                "remove or rename the file, then save the card with Cardwright", 0);
            return false;
        }
        listing_ = ListCardFolder(options_.lister, sounds, ec);
        if (ec) {
            Add(Severity::Error, "sounds-unreadable", soundsName_,
                text::Concat({"the SOUNDS folder cannot be read (", ec.message(), ")"}),
                "check the card in a card reader", 0);
            return false;
        }
        for (const platform::DirEntry& e : listing_) {
            NoteAliases(e);
            if (!e.isDirectory && cardfiles::IsAudioFileName(e.longName)) {
                audio_.push_back(&e);
            }
        }
        InspectAudioFiles(sounds);
        return true;
    }

    std::string InSounds(const std::string& name) const {
        return text::Concat({soundsName_, "/", name});
    }

    void InspectAudioFiles(const fs::path& sounds) {
        const int total = static_cast<int>(audio_.size());
        for (int k = 0; k < total; ++k) {
            const platform::DirEntry& e = *audio_[static_cast<std::size_t>(k)];
            if (Cancelled()) {
                return;
            }
            const std::string shown = InSounds(e.longName);
            if (options_.progress) {
                options_.progress(k, total, shown);
            }
            auto finding = InspectAudio(e.longName, media::ProbeFile(sounds / e.longName));
            if (finding) {
                finding->file = shown;
                result_.findings.push_back(std::move(*finding));
            }
        }
        if (options_.progress && !Cancelled()) {
            options_.progress(total, total, "");
        }
        if (total > layout::kMaxTrack) {
            Add(Severity::Warning, "too-many-files", soundsName_,
                text::Concat({"SOUNDS holds ", Num(static_cast<std::uintmax_t>(total)),
                              " audio files; the player numbers only the first 255, so ",
                              audio_[layout::kMaxTrack]->longName,
                              " and every file after it "
                              "never play"}),
                "remove audio files until at most 255 are left", 0);
        }
    }

    // --- tracks against the files -----------------------------------------------
    void CheckTracks() {
        if (!haveConfig_) {
            return;
        }
        const CardConfig& c = card_.config;
        std::map<std::string, int> positionOf;  // alias -> 1-based position
        const int usable = std::min<int>(static_cast<int>(audio_.size()), layout::kMaxTrack);
        for (int k = 1; k <= usable; ++k) {
            positionOf.emplace(cardfiles::Alias(*audio_[static_cast<std::size_t>(k - 1)]), k);
        }
        std::map<std::string, int> trackOf;
        for (int n = 1; n <= layout::kMaxTrack; ++n) {
            if (!c.TrackExists(n)) {
                continue;
            }
            const std::string name = c.TrackName(n);
            trackOf.emplace(name, n);
            const auto found = positionOf.find(name);
            if (found == positionOf.end()) {
                Add(Severity::Error, "track-missing", InSounds(name),
                    text::Concat({Track(n), " names ", name, ", which is not in SOUNDS"}),
                    "copy the file back, or open the card in Cardwright to update the track list",
                    0);
                continue;
            }
            const std::uint32_t stored = c.Get(field::kFilePosition, n);
            if (stored != static_cast<std::uint32_t>(found->second)) {
                const auto& file = *audio_[static_cast<std::size_t>(found->second - 1)];
                Add(Severity::Warning, "track-moved", InSounds(file.longName),
                    text::Concat({Track(n), "'s file is number ",
                                  Num(static_cast<unsigned>(found->second)),
                                  " in SOUNDS, but the configuration still says ", Num(stored),
                                  ", so the player plays another file for it"}),
                    "open the card in Cardwright and save it", 0);
            }
        }
        for (int k = 1; k <= usable; ++k) {
            const platform::DirEntry& e = *audio_[static_cast<std::size_t>(k - 1)];
            if (!trackOf.count(cardfiles::Alias(e))) {
                Add(Severity::Warning, "file-without-track", InSounds(e.longName),
                    text::Concat({"the file (", cardfiles::Alias(e),
                                  ") is on the card but no track plays it"}),
                    "open the card in Cardwright, which gives it a track, and save", 0);
            }
        }
    }

    // --- settings that point at nothing -------------------------------------------
    void CheckReferences() {
        const CardConfig& c = card_.config;
        const std::string cfg = ConfigName();
        const std::uint32_t powerUp = c.Get(field::kPowerUpTrack);
        if (powerUp != 0 && !TrackPlays(powerUp)) {
            Add(Severity::Warning, "power-up-track-missing", cfg,
                text::Concat({"the power-up track is ", Track(static_cast<int>(powerUp)),
                              ", which has no file"}),
                "choose another power-up track on the Track page", 0);
        }
        for (int n = 1; n <= layout::kMaxTrack; ++n) {
            if (!c.TrackExists(n)) {
                continue;
            }
            const std::uint32_t code = c.Get(field::kEndAction, n);
            const bool settable = (code >= 1 && code <= layout::kMaxTrack) ||
                                  code == playcode::kStopNow ||
                                  (code >= playcode::kNextHigher && code <= playcode::kRandom);
            if (!settable) {
                Add(Severity::Warning, "end-action-code", cfg,
                    text::Concat({Track(n), " ends with action code ", Num(code),
                                  ", which the Track page cannot set"}),
                    text::Concat({"choose what ", Track(n), " does at its end on the Track page"}),
                    0);
            } else if (code <= layout::kMaxTrack && !TrackPlays(code)) {
                Add(Severity::Warning, "end-action-track-missing", cfg,
                    text::Concat({"at its end ", Track(n), " plays ", Track(static_cast<int>(code)),
                                  ", which has no file"}),
                    text::Concat({"choose what ", Track(n), " does at its end on the Track page"}),
                    0);
            }
        }
        CheckInputs(InputSet::Player, "input");
        if (c.HasAnimation()) {
            CheckInputs(InputSet::Animation, "animation input");
        }
        for (int p = 0; p < layout::kPlaylistCount; ++p) {
            const int count = static_cast<int>(c.PlaylistCount(p));
            for (int k = 0; k < count; ++k) {
                const std::string entry = c.PlaylistEntry(p, k);
                if (!TrackNamed(entry)) {
                    Add(Severity::Warning, "playlist-entry-missing", cfg,
                        text::Concat({"entry ", std::to_string(k + 1), " of playlist ",
                                      std::to_string(p + 1), " names ",
                                      entry.empty() ? "no file" : entry, ", which is not a track"}),
                        "remove the entry on the Playlist page, or copy the file back", 0);
                }
            }
        }
    }

    void CheckInputs(InputSet set, const char* what) {
        const CardConfig& c = card_.config;
        for (int i = 0; i < c.InputCount(); ++i) {
            if (c.Get(field::kInputMode, set, i) == inputs::kUnused) {
                continue;
            }
            for (const auto side : {inputs::Side::Close, inputs::Side::Open}) {
                const InputAction a = inputs::ReadAction(c, set, i, side);
                if (!a.IsStart() || a.choice != InputAction::Choice::Numbered) {
                    continue;
                }
                const char* edge = side == inputs::Side::Close ? "closing" : "opening";
                if (a.scope == InputAction::kAllTracks) {
                    if (!TrackPlays(static_cast<std::uint32_t>(a.number))) {
                        Add(Severity::Warning, "input-track-missing", ConfigName(),
                            text::Concat({what, " ", std::to_string(i), " ", edge, " plays ",
                                          Track(a.number), ", which has no file"}),
                            "choose another track for the input on its setup page", 0);
                    }
                } else if (static_cast<std::uint32_t>(a.number) > c.PlaylistCount(a.scope - 1)) {
                    Add(Severity::Warning, "input-playlist-entry-missing", ConfigName(),
                        text::Concat({what, " ", std::to_string(i), " ", edge, " plays entry ",
                                      std::to_string(a.number), " of playlist ",
                                      std::to_string(a.scope), ", which has ",
                                      Num(c.PlaylistCount(a.scope - 1)), " entries"}),
                        "choose another entry for the input on its setup page", 0);
                }
            }
        }
    }

    void CheckSchedules() {
        if (!card_.config.HasClock()) {
            return;
        }
        const ScheduleSet& s = card_.schedules;
        for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
            for (const std::uint32_t entry : s.Entries(n)) {
                const auto bytes = ScheduleSet::EntryToBytes(entry);
                if ((bytes[1] & ScheduleSet::kTrackEvent) == 0 || TrackPlays(bytes[2])) {
                    continue;
                }
                char time[8];
                std::snprintf(time, sizeof time, "%02X:%02X", bytes[0],
                              bytes[1] & ~ScheduleSet::kTrackEvent);
                Add(Severity::Warning, "schedule-track-missing", cardfiles::kScheduleFileName,
                    text::Concat({"schedule ", std::to_string(n), " plays ", Track(bytes[2]),
                                  " at ", time, ", but that track has no file"}),
                    "change the entry in the schedule's entry list on the Schedule page", 0);
            }
        }
    }

    void CheckShowFiles() {
        const CardConfig& c = card_.config;
        if (!c.HasAnimation()) {
            return;
        }
        const auto check = [&](NameField name, bool wanted, const char* what) {
            const std::string file = c.Get(name);
            if (!wanted || file.empty() || ShowFilePresent(file)) {
                return;
            }
            Add(Severity::Warning, "show-file-missing", file,
                text::Concat({"the ", what, " show file ", file,
                              " is not beside the configuration file, so the player cannot load "
                              "it into flash"}),
                "copy the show file onto the card, or choose another on the Animation Control "
                "Setup page",
                0);
        };
        check(field::kChosenDownloadFile, c.Get(field::kNextBootFlag), "chosen");
        check(field::kCurrentDownloadFile, c.Get(field::kLoadOnBootFlag), "current");
    }

    bool ShowFilePresent(const std::string& name) {
        std::error_code ec;
        if (rootListing_.empty()) {
            rootListing_ = ListCardFolder(options_.lister, where_.dir, ec);
        }
        return std::any_of(rootListing_.begin(), rootListing_.end(), [&](const auto& e) {
            return !e.isDirectory &&
                   (cardfiles::Alias(e) == name || text::EqualIgnoringCase(e.longName, name));
        });
    }

    // --- free space ------------------------------------------------------------------
    void CheckSpace() {
        std::error_code ec;
        const auto sizeOf = [&](const fs::path& p) -> std::uintmax_t {
            std::error_code e;
            const auto s = fs::file_size(p, e);
            return e ? 0 : s;
        };
        ScheduleSet schedules = card_.schedules;
        const auto serial = static_cast<std::uint8_t>(card_.config.Get(field::kSerialAddress));
        const std::uintmax_t programOld = programCopy_.empty() ? 0 : sizeOf(programCopy_);
        // Each file is written whole beside the old one before it replaces it.
        const std::pair<std::uintmax_t, std::uintmax_t> files[] = {
            {layout::kFileSize, haveConfig_ ? sizeOf(where_.config) : 0},
            {schedules.Serialize(serial).size(), sizeOf(where_.dir / cardfiles::kScheduleFileName)},
            {keldafile::Encode(card_.config).size(),
             sizeOf(where_.dir / cardfiles::kKeldaFileName)},
            {options_.programSize.value_or(programOld), programOld},
        };
        std::uintmax_t needed = soundsMissing_ ? kClusterEstimate : 0;
        std::intmax_t grown = 0;
        for (const auto& [newSize, oldSize] : files) {
            const auto peak = static_cast<std::intmax_t>(Clusters(newSize)) + grown;
            needed =
                std::max(needed, static_cast<std::uintmax_t>(std::max<std::intmax_t>(0, peak)));
            grown += static_cast<std::intmax_t>(Clusters(newSize)) -
                     static_cast<std::intmax_t>(Clusters(oldSize));
        }
        const std::uintmax_t free = options_.freeSpace ? options_.freeSpace(where_.dir, ec)
                                                       : fs::space(where_.dir, ec).available;
        if (ec || free >= needed) {
            return;
        }
        Add(Severity::Warning, "low-space", "",
            text::Concat({"the card has ", Num(free), " bytes free, but the next save needs about ",
                          Num(needed),
                          " (the card files and the program copy, each written whole "
                          "before the old one goes)"}),
            "remove files from the card before saving it", 0);
    }

    // Whether track n has a file that plays.
    bool TrackPlays(std::uint32_t n) const {
        return n >= 1 && n <= static_cast<std::uint32_t>(layout::kMaxTrack) &&
               card_.config.TrackExists(static_cast<int>(n));
    }
    bool TrackNamed(const std::string& name) const {
        if (name.empty()) {
            return false;
        }
        for (int n = 1; n <= layout::kMaxTrack; ++n) {
            if (card_.config.TrackExists(n) && card_.config.TrackName(n) == name) {
                return true;
            }
        }
        return false;
    }

    fs::path given_;
    CardPath where_;
    const CheckOptions& options_;
    CheckResult result_;
    CardSettings card_;
    bool haveConfig_ = false;
    bool soundsMissing_ = false;
    bool aliasesNoted_ = false;
    std::string soundsName_ = cardfiles::kSoundsDirName;
    fs::path programCopy_;
    std::vector<platform::DirEntry> listing_;
    std::vector<platform::DirEntry> rootListing_;
    std::vector<const platform::DirEntry*> audio_;
};

}  // namespace

CheckResult CheckCard(const std::filesystem::path& card, const CheckOptions& options) {
    // Whatever the file system throws (a looping link, a failing card) ends
    // the check as a finding, never as an exception out of its thread.
    try {
        return Checker(card, options).Run();
    } catch (const std::exception& e) {
        CheckResult failed;
        failed.findings.push_back({Severity::Error, "card-unreadable", std::string(),
                                   std::string("the card could not be read: ") + e.what(),
                                   "check the card in a card reader", 0});
        return failed;
    }
}

}  // namespace doctor
