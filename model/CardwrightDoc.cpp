#include "model/CardwrightDoc.h"

#include <algorithm>
#include <cstdio>

#include "model/CardFiles.h"
#include "model/CardPreparation.h"
#include "model/FileIo.h"
#include "model/ScheduleText.h"
#include "model/SoundsOrder.h"
#include "model/Text.h"

CCardwrightDoc::CCardwrightDoc(Prompter& prompter, BusyIndicator* busy)
    : prompter_(prompter), busy_(busy) {
    std::error_code ec;
    startFolder_ = std::filesystem::current_path(ec);
    DeleteContents();
}

void CCardwrightDoc::DeleteContents() {
    title_ = "TUNBOX";
    config_.SetDefaults();
    config_.Set(field::kConfigVersion, ConfiguratorVersion());
    schedules_.Clear();
    // Names live only in memory: a card's schedules start with the names a
    // new schedule has.
    scheduleNames_.assign(ScheduleSet::kMaxSchedule + 1, std::string());
    scheduleNames_[0] = "No Schedule";
    for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
        scheduleNames_[static_cast<std::size_t>(n)] = scheduletext::DefaultName(n);
    }
    // The loaded flag and the caches of the last card scan survive.
}

void CCardwrightDoc::RenumberScheduleNames() {
    // The names follow their schedules down to the numbers the save gave
    // them (in use, in order, from 1); a number left free gets the name a new
    // schedule has.
    std::size_t next = 1;
    const std::size_t count =
        std::min<std::size_t>(scheduleNames_.size(), ScheduleSet::kMaxSchedule + 1);
    for (std::size_t n = 1; n < count; ++n) {
        if (schedules_.InUse(static_cast<int>(n))) {
            if (n != next) {
                scheduleNames_[next] = std::move(scheduleNames_[n]);
                scheduleNames_[n].clear();
            }
            ++next;
        }
    }
    for (std::size_t k = next; k < count; ++k) {
        std::string& name = scheduleNames_[k];
        if (!name.empty() && !scheduletext::IsDefaultName(name, static_cast<int>(k))) {
            name = scheduletext::DefaultName(static_cast<int>(k));
        }
    }
}

void CCardwrightDoc::TellUnreadable(const std::optional<Failure>& unreadable) {
    if (!unreadable) {
        unreadableTold_.clear();
        return;
    }
    if (unreadable->file == unreadableTold_) {
        return;
    }
    unreadableTold_ = unreadable->file;
    prompter_.Tell(text::Concat({"Unable to read the card's SOUNDS directory ",
                                 fileio::Quoted(unreadable->file), ":\n", unreadable->reason,
                                 ".\n\nThe track list is kept as it is."}),
                   Prompter::Icon::Warning);
}

int CCardwrightDoc::CountTracks(bool rebuild) {
    std::optional<Failure> unreadable;
    const int count = scanner_.CountTracks(config_, CardDirectory(), rebuild, &unreadable);
    TellUnreadable(unreadable);
    return count;
}

TrackSync CCardwrightDoc::SyncTracks(bool apply) {
    BusyScope busy(busy_);
    const TrackSync result = scanner_.SyncTracks(config_, path_, CardDirectory(), apply);
    if (result.positionsMoved) {
        UpdateModified(modified_, true);
    }
    TellUnreadable(result.unreadable);
    if (result.unreadable) {
        return result;
    }
    // Said once for a card, and again only when its number of files changes,
    // not on every page the user opens.
    if (result.TooManyFiles() &&
        (tooManyToldPath_ != path_ || tooManyToldCount_ != result.audioFiles)) {
        tooManyToldPath_ = path_;
        tooManyToldCount_ = result.audioFiles;
        prompter_.Tell(
            "More than 256 audio files on the disk!\nOnly the first 255 files will be used.",
            Prompter::Icon::Warning);
    }
    return result;
}

void CCardwrightDoc::ResetEverythingToDefaults() {
    config_.ResetEverythingToDefaults(CountTracks(false));
    if (config_.HasClock()) {
        schedules_.SetResetTime(0x03, 0x05, 0x01);  // 03:05:01
    }
}

void CCardwrightDoc::OnNewDocument() {
    DeleteContents();
    path_.clear();
    title_ = "TUNBOX";
    SetModifiedFlag(false);
}

void CCardwrightDoc::SetPathName(const std::filesystem::path& path) {
    path_ = path;
    title_ = path.filename().string();
}

namespace {

std::string Format(const char* pattern, unsigned a, unsigned b) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

const char* const kSoundsIsAFile =
    "A file named SOUNDS exists on this SmartMedia.\nSOUNDS must be a directory for this media to "
    "be used with\nan TUNBOX player.  Please remove this file or use other media.";
const char* const kSoundsNotCreated =
    "Unable to create SOUNDS directory on the selected media.\nPlease choose another disk.";
const char* const kSoundsUnusable = "the card's SOUNDS directory cannot be used.";

std::string SoundsIsABrokenLink(const std::filesystem::path& sounds) {
    return text::Concat({"The card's SOUNDS folder ", fileio::Quoted(sounds),
                         " is a link that leads to no folder.\nSOUNDS must be a directory for "
                         "this media to be used with\nan TUNBOX player."});
}

}  // namespace

bool CCardwrightDoc::RejectOpen(const std::filesystem::path& path, const std::string& reason) {
    // Nothing of the refused file has reached the document: it stays as the
    // user had it.
    prompter_.Tell(text::Concat({"Unable to open ", fileio::Quoted(path), ":\n", reason}),
                   Prompter::Icon::Warning);
    return false;
}

bool CCardwrightDoc::AcceptEmptyConfig(const card::Read& read, const std::filesystem::path& path) {
    // Beside other card files an empty configuration is far more likely the
    // remains of a save that was cut short than a wish for defaults, so the
    // user decides.
    if (read.holdsOtherFiles &&
        prompter_.Ask(text::Concat({path.filename().string(),
                                    " on this card is empty, which usually means a save "
                                    "was interrupted. Open it with all settings at their "
                                    "defaults?"}),
                      Prompter::Buttons::YesNo, Prompter::Icon::Warning) != Prompter::Answer::Yes) {
        return RejectOpen(path,
                          "the file is empty, and you chose not to open it with default "
                          "settings.");
    }
    return true;
}

bool CCardwrightDoc::AcceptOlderConfig(unsigned version, const std::filesystem::path& path) {
    if (prompter_.Ask(Format("Configuration file is version %u and this configurator is "
                             "version %u.\nUnless you want to upgrade the firmware on "
                             "this flash card you should\nuse an older matching "
                             "configurator on this card.\n\nDo you want to continue?",
                             version, ConfiguratorVersion()),
                      Prompter::Buttons::YesNo, Prompter::Icon::None) != Prompter::Answer::Yes) {
        return RejectOpen(path, text::Concat({"it is a version ", std::to_string(version),
                                              " configuration, and you chose not to "
                                              "open it."}));
    }
    return true;
}

bool CCardwrightDoc::RejectNewerConfig(unsigned version, const std::filesystem::path& path) {
    prompter_.Tell(
        Format("Configuration file is version %u, but configurator is only "
               "version %u.  You must use a newer configurator.",
               version, ConfiguratorVersion()));
    return RejectOpen(path, text::Concat({"it was written by a newer configurator "
                                          "(version ",
                                          std::to_string(version), ")."}));
}

bool CCardwrightDoc::AcceptConfigProblem(const card::Problem& problem, const card::Read& read,
                                         const std::filesystem::path& path) {
    using Kind = card::Problem::Kind;
    const auto version = static_cast<unsigned>(problem.number);
    switch (problem.kind) {
        case Kind::ConfigMissing:
            return RejectOpen(path, "No such file or directory.");
        case Kind::ConfigUnreadable:
            return RejectOpen(path, text::Concat({problem.detail, "."}));
        case Kind::ConfigWrongSize:
            return RejectOpen(path, text::Concat({"the file is ", std::to_string(problem.number),
                                                  " bytes long, but a TUNBOX configuration file "
                                                  "holds ",
                                                  std::to_string(layout::kFileSize), " bytes."}));
        case Kind::ConfigEmpty:
            return AcceptEmptyConfig(read, path);
        case Kind::ConfigNewer:
            return RejectNewerConfig(version, path);
        case Kind::ConfigOlder:
            return AcceptOlderConfig(version, path);
        default:
            return true;
    }
}

bool CCardwrightDoc::AcceptRead(const card::Read& read, const std::filesystem::path& path) {
    using Kind = card::Problem::Kind;
    for (const card::Problem& problem : read.problems) {
        if (!AcceptConfigProblem(problem, read, path)) {
            return false;
        }
        switch (problem.kind) {
            case Kind::ScheduleBad:
                prompter_.Tell("Schedule.sch file has bad length or checksum, ignoring file.");
                break;
            case Kind::ScheduleDropped:
                prompter_.Tell(
                    text::Concat({fileio::Quoted(problem.file), " holds ",
                                  std::to_string(problem.number),
                                  problem.number == 1 ? " schedule event" : " schedule events",
                                  " with no valid time, or at a minute another event already "
                                  "takes. They were left out, and the next save writes the "
                                  "schedules without them."}),
                    Prompter::Icon::Warning);
                break;
            case Kind::SoundsNotFolder:
                prompter_.Tell(kSoundsIsAFile);
                return RejectOpen(path, "the card's SOUNDS directory cannot be used.");
            case Kind::SoundsBrokenLink:
                prompter_.Tell(SoundsIsABrokenLink(problem.file), Prompter::Icon::Warning);
                return RejectOpen(path, kSoundsUnusable);
            default:
                break;
        }
    }
    return true;
}

void CCardwrightDoc::FinishInterruptedOrder(const card::Location& where) {
    // A card pulled while its files were put in order is finished before it
    // is read, so that the tracks are read as they were meant to be.
    soundsorder::FileOps ops;
    const soundsorder::Recovery r = soundsorder::Recover(where, ops, scanner_.Lister());
    if (r.failure) {
        prompter_.Tell(
            text::Concat({"Putting the files of SOUNDS in order was cut short, and it "
                          "could not be finished:\n",
                          r.failure->Message(), "\nEvery file is still on the card, in ",
                          cardfiles::kSoundsDirName, " or ", soundsorder::kHoldingFolderName, "."}),
            Prompter::Icon::Warning);
    }
}

bool CCardwrightDoc::OnOpenDocument(const std::filesystem::path& requested) {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(requested, ec);
    const card::Location where{path.parent_path(), path};
    // The whole card is read and every question asked before the document
    // takes any of it.
    BusyScope busy(busy_);
    FinishInterruptedOrder(where);
    // The document takes the configuration and the schedules; the aliases of
    // the audio come with the first track scan, so the read needs none.
    Result<card::Read> read = card::ReadCard(where, scanner_.NamesLister());
    if (!read) {
        return RejectOpen(path, text::Concat({read.error().reason, "."}));
    }
    if (!AcceptRead(*read, path)) {
        return false;
    }
    // A folder the read found a moment ago needs nothing made.
    if (read->sounds != cardprep::SoundsState::Folder &&
        !cardprep::PrepareSoundsDir(where.dir, scanner_.Lister())) {
        prompter_.Tell(kSoundsNotCreated);
        return RejectOpen(path, kSoundsUnusable);
    }
    DeleteContents();
    config_ = std::move(read->image.config);
    schedules_ = std::move(read->image.schedules);
    SetPathName(path);
    SetModifiedFlag(false);
    loaded_ = true;
    return true;
}

void CCardwrightDoc::TellSoundsUnusable(const std::filesystem::path& path) {
    prompter_.Tell(text::Concat({"Unable to save ", fileio::Quoted(path), ":\n", kSoundsUnusable,
                                 " Nothing was written."}),
                   Prompter::Icon::Warning);
}

void CCardwrightDoc::TellRefusal(const card::Refusal& refusal, const std::filesystem::path& path) {
    const bool sounds = refusal.kind == card::Refusal::Kind::SoundsNotFolder ||
                        refusal.kind == card::Refusal::Kind::SoundsBrokenLink;
    if (sounds) {
        if (refusal.kind == card::Refusal::Kind::SoundsNotFolder) {
            prompter_.Tell(kSoundsIsAFile);
        } else {
            prompter_.Tell(SoundsIsABrokenLink(refusal.failure.file), Prompter::Icon::Warning);
        }
        TellSoundsUnusable(path);
        return;
    }
    const std::filesystem::path& file = refusal.failure.file;
    prompter_.Tell(text::Concat({"Unable to save ", fileio::Quoted(path), ":\n",
                                 file == path ? "" : text::Concat({fileio::Quoted(file), ": "}),
                                 refusal.failure.reason, ". Nothing was written."}),
                   Prompter::Icon::Warning);
}

void CCardwrightDoc::TellFileFailure(const card::FileReport& file,
                                     const std::filesystem::path& path) {
    const std::string name = file.file.filename().string();
    const std::string where =
        text::Concat({fileio::Quoted(file.file), ": ", file.reason, ". ", file.aftermath});
    if (file.file == path) {
        prompter_.Tell(text::Concat({"Unable to save ", fileio::Quoted(path), ":\n",
                                     file.opening ? "the file cannot be created ("
                                                  : "writing the file failed (",
                                     file.reason, "). ", file.aftermath}),
                       Prompter::Icon::Warning);
    } else if (text::EqualIgnoringCase(name, cardfiles::kScheduleFileName)) {
        prompter_.Tell(
            text::Concat({"Unable to write the schedule file ", fileio::Quoted(file.file), " (",
                          file.reason, "). The card's schedules were not saved. ", file.aftermath}),
            Prompter::Icon::Warning);
    } else if (text::EqualIgnoringCase(name, cardfiles::kKeldaFileName)) {
        prompter_.Tell(text::Concat({file.opening ? "Unable to open KELDA config file for writing!"
                                                  : "Unable to write KELDA config file!",
                                     "\n\n", where}),
                       Prompter::Icon::Warning);
    } else {
        prompter_.Tell(
            text::Concat({"Unable to copy Cardwright.exe to SmartMedia card!\n\n", where}));
    }
}

bool CCardwrightDoc::AcceptWrite(const card::WriteReport& report,
                                 const std::filesystem::path& path) {
    if (report.refused) {
        TellRefusal(*report.refused, path);
        return false;
    }
    if (report.soundsFailed) {
        prompter_.Tell(kSoundsNotCreated);
        TellSoundsUnusable(path);
        return false;
    }
    for (const card::FileReport& file : report.files) {
        if (file.outcome == card::FileReport::Outcome::Failed) {
            TellFileFailure(file, path);
        }
    }
    // A program that could not be copied has been reported; the card is
    // still usable with the copy it has.
    return report.Complete();
}

bool CCardwrightDoc::OnSaveDocument(const std::filesystem::path& requested) {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(requested, ec);
    const card::Location where{path.parent_path(), path};
    if (!where.ConfigIsTheCards() &&
        prompter_.Ask("WARNING!\n\nThe TUNBOX only uses a config file named TUNBOX.CFG\n\nYou can "
                      "save config files under other names, but you MUST\nrename them to "
                      "TUNBOX.CFG before they will be used.",
                      Prompter::Buttons::OkCancel,
                      Prompter::Icon::Warning) != Prompter::Answer::Ok) {
        return false;
    }
    card::WriteOptions options;
    options.program = executablePath_.empty() ? platform::ExecutablePath(ec) : executablePath_;
    options.lister = scanner_.Lister();
    options.memory = &writeMemory_;
    card::WriteReport report;
    {
        BusyScope busy(busy_);
        report = card::WriteCard(where, Image(), options);
    }
    // The document takes the saved state only once the card holds every
    // file, so a failed save leaves it as it was.
    if (!AcceptWrite(report, path)) {
        return false;
    }
    config_.Set(field::kConfigVersion, report.written.config.Get(field::kConfigVersion));
    RenumberScheduleNames();
    schedules_ = std::move(report.written.schedules);
    SetModifiedFlag(false);
    SetPathName(path);
    loaded_ = true;
    return true;
}

void CCardwrightDoc::UpdateModified(bool modified, bool reconciled) {
    const bool was = IsModified();
    modified_ = modified;
    reconciled_ = reconciled;
    if (listener_ != nullptr && was != IsModified()) {
        listener_->ModifiedChanged();
    }
}

void CCardwrightDoc::Restore(DocumentState state) {
    config_ = std::move(state.config);
    schedules_ = std::move(state.schedules);
    scheduleNames_ = std::move(state.scheduleNames);
}

CCardwrightDoc::UserEdit::UserEdit(CCardwrightDoc& doc, EditStep step)
    : doc_(doc), step_(std::move(step)), before_(doc.State()) {}

CCardwrightDoc::UserEdit::~UserEdit() {
    if (doc_.config_ == before_.config && doc_.schedules_.SameFileContent(before_.schedules) &&
        doc_.scheduleNames_ == before_.scheduleNames) {
        return;
    }
    doc_.UpdateModified(true, doc_.reconciled_);
    if (doc_.listener_ != nullptr) {
        doc_.listener_->Edited(std::move(before_), step_);
    }
}
