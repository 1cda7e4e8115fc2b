#include "doctor/CardCheck.h"

#include <algorithm>
#include <cassert>
#include <map>

#include "doctor/AudioCheck.h"
#include "doctor/Card.h"
#include "media/Probe.h"
#include "model/BlinkCodes.h"
#include "model/CardFiles.h"
#include "model/Describe.h"
#include "model/FileIo.h"
#include "model/InputTable.h"
#include "model/KeldaFile.h"
#include "model/ScheduleText.h"
#include "model/Text.h"
#include "model/TrackReferences.h"

namespace doctor {

namespace {

namespace fs = std::filesystem;

std::string Num(std::uintmax_t n) {
    return std::to_string(n);
}

std::string Track(int n) {
    return text::Concat({"track ", std::to_string(n)});
}

// A list of many findings of one kind names this many of them.
constexpr std::size_t kNamedInCount = 3;

// Findings of one kind that one slip makes many of (files copied on without
// saving the configuration, a folder emptied): reported as one that counts
// them, so that dozens of lines do not bury the findings that differ.
struct Many {
    std::vector<Finding> findings;
    std::vector<std::string> items;  // each one in a few words

    void Add(Finding f, std::string item) {
        findings.push_back(std::move(f));
        items.push_back(std::move(item));
    }
};

class Checker {
  public:
    Checker(const fs::path& card, const CheckOptions& options)
        : given_(card), where_(card::Locate(card)), options_(options) {}

    CheckResult Run() {
        std::error_code ec;
        Result<card::Read> read = Failure{};
        if (fs::exists(given_, ec)) {
            read = card::ReadCard(where_, options_.lister);
        }
        if (!read) {
            Add(Severity::Error, "card-unreadable", "",
                text::Concat(
                    {fileio::Quoted(given_), " is not a card folder or file that can be read"}),
                "give the card's folder or its TUNBOX.CFG", 0);
            return std::move(result_);
        }
        card_ = std::move(*read);
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
    void CheckConfigName() {
        const std::string name = ConfigName();
        if (where_.ConfigIsTheCards()) {
            return;
        }
        Add(Severity::Warning, "config-name", name,
            "the player reads only a configuration file named TUNBOX.CFG",
            "rename it to TUNBOX.CFG", 0);
        std::error_code missing;
        if (!fs::exists(card::Locate(where_.dir).config, missing)) {
            Add(Severity::Error, "config-missing", cardfiles::kConfigFileName,
                "the card has no TUNBOX.CFG", "rename the configuration file to TUNBOX.CFG", 4);
        }
    }

    void CheckConfig() {
        CheckConfigName();
        haveConfig_ = true;
        for (const card::Problem& p : card_.problems) {
            AddConfigFinding(p);
        }
        CheckScheduleFile();
    }

    void AddConfigFinding(const card::Problem& p) {
        using Kind = card::Problem::Kind;
        const std::string name = ConfigName();
        switch (p.kind) {
            case Kind::ConfigMissing:
                haveConfig_ = false;
                if (where_.ConfigIsTheCards()) {
                    Add(Severity::Error, "config-missing", cardfiles::kConfigFileName,
                        "the card has no TUNBOX.CFG",
                        "open the card in Cardwright and save it, or write one with "
                        "cardwright-cli apply",
                        4);
                }
                break;
            case Kind::ConfigUnreadable:
                haveConfig_ = false;
                Add(Severity::Error, "config-unreadable", name,
                    text::Concat({"the configuration file cannot be read (", p.detail, ")"}),
                    "check the card in a card reader; save the configuration again", 5);
                break;
            case Kind::ConfigEmpty:
                haveConfig_ = false;
                Add(Severity::Error, "config-size", name,
                    text::Concat({"the configuration file is 0 bytes long instead of ",
                                  Num(layout::kFileSize)}),
                    "save the configuration again with Cardwright", 7);
                break;
            case Kind::ConfigWrongSize:
                haveConfig_ = false;
                Add(Severity::Error, "config-size", name,
                    text::Concat({"the configuration file is ", Num(p.number),
                                  " bytes long instead of ", Num(layout::kFileSize)}),
                    "save the configuration again with Cardwright", 7);
                break;
            case Kind::ConfigSurplus:
                Add(Severity::Warning, "config-surplus", name,
                    text::Concat({"the configuration file has ", Num(p.number), " bytes past the ",
                                  Num(layout::kFileSize),
                                  " of the record; the player may take it for the wrong "
                                  "size"}),
                    "save the configuration again with Cardwright", 0);
                break;
            case Kind::ConfigNewer:
                Add(Severity::Error, "config-version", name,
                    text::Concat({"the configuration file is version ", Num(p.number),
                                  ", newer than this program's ", Num(card::ProgramVersion())}),
                    "save it with a configurator that matches the player's firmware, or "
                    "update the firmware",
                    6);
                break;
            default:
                break;
        }
    }

    void CheckScheduleFile() {
        std::error_code ec;
        const fs::path schedule = where_.dir / cardfiles::kScheduleFileName;
        const bool clock = card_.image.config.HasClock();
        if (const card::Problem* dropped = card_.Find(card::Problem::Kind::ScheduleDropped)) {
            Add(Severity::Warning, "schedule-events-dropped", cardfiles::kScheduleFileName,
                text::Concat({"the schedule file holds ", Num(dropped->number),
                              " events with no valid time, or at a minute another event of their "
                              "schedule already takes; Cardwright leaves them out"}),
                "open the card in Cardwright, check the schedules and save", 0);
        }
        if (card_.Has(card::Problem::Kind::ScheduleBad)) {
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
        soundsMissing_ = card_.Has(card::Problem::Kind::SoundsMissing);
        for (const platform::DirEntry& e : card_.root) {
            NoteAliases(e.aliasGenerated);
            if (!e.isDirectory && cardfiles::IsAudioFileName(e.longName)) {
                // Without SOUNDS they are what goes into it; its finding counts them.
                if (soundsMissing_) {
                    ++rootAudio_;
                } else {
                    Add(Severity::Warning, "audio-in-root", e.longName,
                        "an audio file lies in the card's root, where the player does not look",
                        "move it into SOUNDS", 0);
                }
            }
            if (!e.isDirectory &&
                text::EqualIgnoringCase(e.longName, cardfiles::kProgramFileName)) {
                programCopy_ = where_.dir / e.longName;
            }
        }
        if (const card::Problem* p = card_.Find(card::Problem::Kind::LeftoverTemporary)) {
            Add(Severity::Warning, "save-leftovers", p->names.front(),
                text::Concat({Num(p->number),
                              p->number == 1 ? " temporary file" : " temporary files",
                              " of an interrupted save lie in the card's root, taking up space"}),
                "save the card with Cardwright or cardwright-cli apply, which removes them", 0);
        }
    }

    void NoteAliases(bool aliasGenerated) {
        if (!aliasGenerated || aliasesNoted_) {
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
        using Kind = card::Problem::Kind;
        const fs::path sounds = TrackScanner::SoundsDirectory(where_.dir);
        soundsName_ = sounds.filename().string();
        if (card_.Has(Kind::SoundsMissing)) {
            ReportNoSounds();
            return false;
        }
        if (card_.Has(Kind::SoundsNotFolder) || card_.Has(Kind::SoundsBrokenLink)) {
            Add(Severity::Error, "sounds-not-folder", soundsName_,
                card_.Has(Kind::SoundsNotFolder)
                    ? "SOUNDS is a file, but the player needs a folder of that name"
                    : "SOUNDS is a link that leads to no folder, but the player needs a folder",
                "remove or rename it, then save the card with Cardwright", 0);
            return false;
        }
        if (const card::Problem* p = card_.Find(Kind::SoundsUnreadable)) {
            Add(Severity::Error, "sounds-unreadable", soundsName_,
                text::Concat({"the SOUNDS folder cannot be read (", p->detail, ")"}),
                "check the card in a card reader", 0);
            return false;
        }
        for (const card::AudioFile& f : card_.image.audio) {
            NoteAliases(f.aliasGenerated);
            audio_.push_back(&f);
        }
        InspectAudioFiles(sounds);
        return true;
    }

    // One finding for the folder, counting what it costs: every track of the
    // configuration loses its file, and audio in the root waits to go in.
    void ReportNoSounds() {
        int tracks = 0;
        for (int n = 1; haveConfig_ && n <= layout::kMaxTrack; ++n) {
            tracks += card_.image.config.TrackExists(n) ? 1 : 0;
        }
        std::string problem =
            tracks == 0
                ? "the card has no SOUNDS folder, so the player has nothing to play"
                : text::Concat({"the card has no SOUNDS folder, so none of the ",
                                Num(static_cast<unsigned>(tracks)),
                                tracks == 1 ? " track" : " tracks", " of the configuration plays"});
        if (rootAudio_ > 0) {
            problem += text::Concat({"; ", Num(rootAudio_),
                                     rootAudio_ == 1 ? " audio file lies" : " audio files lie",
                                     " in the card's root, where the player does not look"});
        }
        Add(tracks == 0 ? Severity::Warning : Severity::Error, "sounds-missing",
            cardfiles::kSoundsDirName, std::move(problem),
            rootAudio_ > 0 ? "save the card with Cardwright, which creates it and moves the root's "
                             "audio files into it"
                           : "create a SOUNDS folder and copy the tracks' audio files into it",
            0);
    }

    // The findings of `many` as they are when there is one, otherwise as one
    // finding about SOUNDS that counts them and names the first few.
    void AddMany(Many& many, const char* problem, const char* action) {
        if (many.findings.size() <= 1) {
            for (Finding& f : many.findings) {
                result_.findings.push_back(std::move(f));
            }
            return;
        }
        Finding f = std::move(many.findings.front());
        f.file = soundsName_;
        f.action = action;
        f.problem = text::Concat({Num(many.items.size()), " ", problem, ": "});
        const std::size_t named = std::min(many.items.size(), kNamedInCount);
        for (std::size_t k = 0; k < named; ++k) {
            f.problem += text::Concat({k == 0 ? "" : ", ", many.items[k]});
        }
        if (many.items.size() > named) {
            f.problem += text::Concat({" and ", Num(many.items.size() - named), " more"});
        }
        result_.findings.push_back(std::move(f));
    }

    std::string InSounds(const std::string& name) const {
        return text::Concat({soundsName_, "/", name});
    }

    void InspectAudioFiles(const fs::path& sounds) {
        const int total = static_cast<int>(audio_.size());
        for (int k = 0; k < total; ++k) {
            const card::AudioFile& e = *audio_[static_cast<std::size_t>(k)];
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
        const CardConfig& c = card_.image.config;
        std::map<std::string, int> positionOf;  // alias -> 1-based position
        const int usable = std::min<int>(static_cast<int>(audio_.size()), layout::kMaxTrack);
        for (int k = 1; k <= usable; ++k) {
            positionOf.emplace(audio_[static_cast<std::size_t>(k - 1)]->alias, k);
        }
        std::map<std::string, int> trackOf;
        Many missing;
        Many moved;
        for (int n = 1; n <= layout::kMaxTrack; ++n) {
            if (!c.TrackExists(n)) {
                continue;
            }
            const std::string name = c.TrackName(n);
            trackOf.emplace(name, n);
            const auto found = positionOf.find(name);
            if (found == positionOf.end()) {
                missing.Add({Severity::Error, "track-missing", InSounds(name),
                             text::Concat({Track(n), " names ", name, ", which is not in SOUNDS"}),
                             "copy the file back, or open the card in Cardwright to update the "
                             "track list",
                             0},
                            text::Concat({Track(n), " (", name, ")"}));
                continue;
            }
            const std::uint32_t stored = c.Get(field::kFilePosition, n);
            if (stored != static_cast<std::uint32_t>(found->second)) {
                const auto& file = *audio_[static_cast<std::size_t>(found->second - 1)];
                moved.Add({Severity::Warning, "track-moved", InSounds(file.longName),
                           text::Concat({Track(n), "'s file is number ",
                                         Num(static_cast<unsigned>(found->second)),
                                         " in SOUNDS, but the configuration still says ",
                                         Num(stored), ", so the player plays another file for it"}),
                           "open the card in Cardwright and save it", 0},
                          text::Concat({Track(n), " (", file.longName, ")"}));
            }
        }
        AddMany(missing, "tracks name files that are not in SOUNDS",
                "copy the files back, or open the card in Cardwright to update the track list");
        AddMany(moved,
                "tracks' files are no longer where the configuration says in SOUNDS, so the "
                "player plays other files for them",
                "open the card in Cardwright and save it");
        ReportFilesWithoutTrack(trackOf, usable);
    }

    void ReportFilesWithoutTrack(const std::map<std::string, int>& trackOf, int usable) {
        Many idle;
        for (int k = 1; k <= usable; ++k) {
            const card::AudioFile& e = *audio_[static_cast<std::size_t>(k - 1)];
            if (!trackOf.count(e.alias)) {
                idle.Add({Severity::Warning, "file-without-track", InSounds(e.longName),
                          text::Concat(
                              {"the file (", e.alias, ") is on the card but no track plays it"}),
                          "open the card in Cardwright, which gives it a track, and save", 0},
                         text::Concat({e.longName, " (", e.alias, ")"}));
            }
        }
        AddMany(idle, "files are on the card but no track plays them",
                "open the card in Cardwright, which gives them tracks, and save");
    }

    // --- settings that point at nothing -------------------------------------------
    void CheckReferences() {
        const CardConfig& c = card_.image.config;
        for (int n = 1; n <= layout::kMaxTrack; ++n) {
            if (!c.TrackExists(n)) {
                continue;
            }
            const std::uint32_t code = c.Get(field::kEndAction, n);
            if (!playcode::IsEndAction(code)) {
                Add(Severity::Warning, "end-action-code", ConfigName(),
                    text::Concat({Track(n), " ends with action code ", Num(code),
                                  ", which the Track page cannot set"}),
                    text::Concat({"choose what ", Track(n), " does at its end on the Track page"}),
                    0);
            }
        }
        for (const trackrefs::EmptyReference& r : trackrefs::FindEmptyReferences(c)) {
            ReportEmpty(r);
        }
        CheckInputModes();
    }

    // A mode past the binary bits is no mode at all: the player reads the
    // input as nothing it knows.
    void CheckInputModes() {
        const CardConfig& c = card_.image.config;
        for (const auto& [set, what] : {std::pair{InputSet::Player, "input"},
                                        std::pair{InputSet::Animation, "animation input"}}) {
            for (int i = 0; i < layout::kInputCount; ++i) {
                const std::uint32_t mode = c.Get(field::kInputMode, set, i);
                if (inputs::IsMode(mode)) {
                    continue;
                }
                Add(Severity::Warning, "input-mode-unknown", ConfigName(),
                    text::Concat({what, " ", std::to_string(i), " has mode ", Num(mode),
                                  ", which is neither unused, independent nor a binary bit"}),
                    "choose the input's mode on its setup page", 0);
            }
        }
    }

    void ReportEmpty(const trackrefs::EmptyReference& r) {
        using Kind = trackrefs::EmptyReference::Kind;
        const std::string cfg = ConfigName();
        const std::string what = describe::InputName(r.set, r.input);
        const char* edge = r.side == inputs::Side::Close ? "closing" : "opening";
        switch (r.kind) {
            case Kind::PowerUp:
                Add(Severity::Warning, "power-up-track-missing", cfg,
                    text::Concat({"the power-up track is ", Track(r.track), ", which has no file"}),
                    "choose another power-up track on the Track page", 0);
                break;
            case Kind::EndAction:
                Add(Severity::Warning, "end-action-track-missing", cfg,
                    text::Concat({"at its end ", Track(r.from), " plays ", Track(r.track),
                                  ", which has no file"}),
                    text::Concat(
                        {"choose what ", Track(r.from), " does at its end on the Track page"}),
                    0);
                break;
            case Kind::InputTrack:
                Add(Severity::Warning, "input-track-missing", cfg,
                    text::Concat(
                        {what, " ", edge, " plays ", Track(r.track), ", which has no file"}),
                    "choose another track for the input on its setup page", 0);
                break;
            case Kind::InputPlaylistEntry:
                Add(Severity::Warning, "input-playlist-entry-missing", cfg,
                    text::Concat({what, " ", edge, " plays entry ", std::to_string(r.entry),
                                  " of playlist ", std::to_string(r.playlist), ", which has ",
                                  Num(card_.image.config.PlaylistCount(r.playlist - 1)),
                                  " entries"}),
                    "choose another entry for the input on its setup page", 0);
                break;
            case Kind::PlaylistEntry:
                Add(Severity::Warning, "playlist-entry-missing", cfg,
                    text::Concat({"entry ", std::to_string(r.entry), " of playlist ",
                                  std::to_string(r.playlist), " names ",
                                  r.name.empty() ? "no file" : r.name, ", which is not a track"}),
                    "remove the entry on the Playlist page, or copy the file back", 0);
                break;
        }
    }

    void CheckSchedules() {
        if (!card_.image.config.HasClock()) {
            return;
        }
        const ScheduleSet& s = card_.image.schedules;
        for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
            for (const std::uint32_t entry : s.Entries(n)) {
                const int track = scheduletext::Number(entry);
                if (!scheduletext::IsTrack(entry) ||
                    TrackPlays(static_cast<std::uint32_t>(track))) {
                    continue;
                }
                Add(Severity::Warning, "schedule-track-missing", cardfiles::kScheduleFileName,
                    text::Concat({"schedule ", std::to_string(n), " plays ", Track(track), " at ",
                                  scheduletext::TimeText(entry), ", but that track has no file"}),
                    "change the entry in the schedule's entry list on the Schedule page", 0);
            }
        }
    }

    void CheckShowFiles() {
        const CardConfig& c = card_.image.config;
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

    bool ShowFilePresent(const std::string& name) const {
        return doctor::ShowFilePresent(RootFiles(card_.root), name);
    }

    // --- free space ------------------------------------------------------------------
    void CheckSpace() {
        std::error_code ec;
        const auto sizeOf = [&](const fs::path& p) -> std::uintmax_t {
            std::error_code e;
            const auto s = fs::file_size(p, e);
            return e ? 0 : s;
        };
        ScheduleSet schedules = card_.image.schedules;
        const auto serial =
            static_cast<std::uint8_t>(card_.image.config.Get(field::kSerialAddress));
        const std::uintmax_t programOld = programCopy_.empty() ? 0 : sizeOf(programCopy_);
        const std::vector<card::FileSizes> files = {
            {layout::kFileSize, haveConfig_ ? sizeOf(where_.config) : 0},
            {schedules.Serialize(serial).size(), sizeOf(where_.dir / cardfiles::kScheduleFileName)},
            {keldafile::Encode(card_.image.config).size(),
             sizeOf(where_.dir / cardfiles::kKeldaFileName)},
            {options_.programSize.value_or(programOld), programOld},
        };
        const std::uintmax_t needed =
            std::max(soundsMissing_ ? card::kClusterSize : 0, card::SpaceNeeded(files));
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
               card_.image.config.TrackExists(static_cast<int>(n));
    }

    fs::path given_;
    card::Location where_;
    const CheckOptions& options_;
    CheckResult result_;
    card::Read card_;
    bool haveConfig_ = false;
    bool soundsMissing_ = false;
    bool aliasesNoted_ = false;
    std::uintmax_t rootAudio_ = 0;  // audio files in the root, counted when SOUNDS is missing
    std::string soundsName_ = cardfiles::kSoundsDirName;
    fs::path programCopy_;
    std::vector<const card::AudioFile*> audio_;
};

}  // namespace

CheckResult CheckCard(const std::filesystem::path& card, const CheckOptions& options) {
    // Whatever the file system throws (a looping link, a failing card) ends
    // the check as a finding, never as an exception out of its thread.
    try {
        CheckResult result = Checker(card, options).Run();
        assert(std::all_of(result.findings.begin(), result.findings.end(),
                           [](const Finding& f) { return IsFindingId(f.id); }));
        return result;
    } catch (const std::exception& e) {
        CheckResult failed;
        failed.findings.push_back({Severity::Error, "card-unreadable", std::string(),
                                   std::string("the card could not be read: ") + e.what(),
                                   "check the card in a card reader", 0});
        return failed;
    }
}

}  // namespace doctor
