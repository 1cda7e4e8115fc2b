#include "model/CardwrightDoc.h"

#include <algorithm>
#include <cstdio>

#include "BuildInfo.h"
#include "model/CardFiles.h"
#include "model/ConfigFile.h"
#include "model/FileIo.h"
#include "model/ScheduleText.h"
#include "model/Text.h"

namespace {

// The largest schedule file the 24-bit length field can describe.
constexpr std::size_t kScheduleFileLimit = 0xFFFFFF + 9;

}  // namespace

CCardwrightDoc::CCardwrightDoc(Prompter& prompter, BusyIndicator* busy)
    : prompter_(prompter), busy_(busy), scanner_(prompter) {
    DeleteContents();
}

std::uint32_t CCardwrightDoc::ConfiguratorVersion() {
    return static_cast<std::uint32_t>(buildinfo::kVersionRelease);
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
        if (!scheduleNames_[k].empty()) {
            scheduleNames_[k] = scheduletext::DefaultName(static_cast<int>(k));
        }
    }
}

TrackSync CCardwrightDoc::SyncTracks(bool apply) {
    BusyScope busy(busy_);
    const TrackSync result = scanner_.SyncTracks(config_, path_, CardDirectory(), apply);
    if (result.positionsMoved) {
        UpdateModified(modified_, true);
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

std::filesystem::path CCardwrightDoc::CardDirectory() const {
    if (path_.empty()) {
        std::error_code ec;
        return std::filesystem::current_path(ec);
    }
    return path_.parent_path();
}

namespace {

std::string Format(const char* pattern, unsigned a, unsigned b) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

}  // namespace

bool CCardwrightDoc::RejectOpen(const std::filesystem::path& path, const std::string& reason) {
    // Nothing of the refused file has reached the document: it stays as the
    // user had it.
    prompter_.Tell(text::Concat({"Unable to open ", fileio::Quoted(path), ":\n", reason}),
                   Prompter::Icon::Warning);
    return false;
}

bool CCardwrightDoc::CardHoldsOtherFiles(const std::filesystem::path& cardDir) const {
    std::error_code ec;
    for (const char* name : {cardfiles::kScheduleFileName, cardfiles::kKeldaFileName}) {
        if (std::filesystem::exists(cardDir / name, ec)) {
            return true;
        }
    }
    const std::filesystem::path sounds = TrackScanner::SoundsDirectory(cardDir);
    for (const platform::DirEntry& e : scanner_.Lister()(sounds, ec)) {
        if (!e.isDirectory && cardfiles::IsAudioFileName(e.longName)) {
            return true;
        }
    }
    return false;
}

bool CCardwrightDoc::OnOpenDocument(const std::filesystem::path& requested) {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(requested, ec);
    const std::filesystem::path cardDir = path.parent_path();
    // The card directory becomes the current directory, as the player's own
    // relative file names assume; a refused file puts the old one back.
    const std::filesystem::path previousDir = std::filesystem::current_path(ec);
    std::filesystem::current_path(cardDir, ec);
    const auto refuse = [&](const std::string& reason) {
        std::error_code ignored;
        if (!previousDir.empty()) {
            std::filesystem::current_path(previousDir, ignored);
        }
        return RejectOpen(path, reason);
    };

    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
    std::string error;
    if (!fileio::ReadPrefix(path, layout::kFileSize, bytes, size, error)) {
        return refuse(text::Concat({error, "."}));
    }

    // The whole card is read and checked before the document takes any of it.
    CardConfig config;
    config.SetDefaults();
    config.Set(field::kConfigVersion, ConfiguratorVersion());
    ScheduleSet schedules;
    {
        BusyScope busy(busy_);
        if (size == 0) {
            // An empty file opens as a configuration with every default. Beside
            // other card files it is far more likely the remains of a save that
            // was cut short than a wish for defaults, so the user decides.
            if (CardHoldsOtherFiles(cardDir) &&
                prompter_.Ask(text::Concat({path.filename().string(),
                                            " on this card is empty, which usually means a save "
                                            "was interrupted. Open it with all settings at their "
                                            "defaults?"}),
                              Prompter::Buttons::YesNo,
                              Prompter::Icon::Warning) != Prompter::Answer::Yes) {
                return refuse(
                    "the file is empty, and you chose not to open it with default "
                    "settings.");
            }
        } else {
            if (size / 3 != static_cast<std::uintmax_t>(layout::kWordCount)) {
                return refuse(text::Concat({"the file is ", std::to_string(size),
                                            " bytes long, but a TUNBOX configuration file holds ",
                                            std::to_string(layout::kFileSize), " bytes."}));
            }
            const std::uint32_t version = configfile::Version(bytes);
            const std::uint32_t ours = ConfiguratorVersion();
            if (version > ours) {
                prompter_.Tell(
                    Format("Configuration file is version %u, but configurator is only version "
                           "%u.  You must use a newer configurator.",
                           version, ours));
                return refuse(text::Concat({"it was written by a newer configurator (version ",
                                            std::to_string(version), ")."}));
            }
            if (version < ours) {
                const auto answer = prompter_.Ask(
                    Format("Configuration file is version %u and this configurator is version "
                           "%u.\nUnless you want to upgrade the firmware on this flash card you "
                           "should\nuse an older matching configurator on this card.\n\nDo you "
                           "want to continue?",
                           version, ours),
                    Prompter::Buttons::YesNo, Prompter::Icon::None);
                if (answer != Prompter::Answer::Yes) {
                    return refuse(text::Concat({"it is a version ", std::to_string(version),
                                                " configuration, and you chose not to open it."}));
                }
            }
            configfile::Decode(bytes, config);
        }
        ReadScheduleInto(cardDir, static_cast<std::uint8_t>(config.Get(field::kSerialAddress)),
                         schedules);
        if (!PrepareSoundsDir(cardDir)) {
            return refuse("the card's SOUNDS directory cannot be used.");
        }
    }
    DeleteContents();
    config_ = config;
    schedules_ = std::move(schedules);
    SetPathName(path);
    SetModifiedFlag(false);
    loaded_ = true;
    return true;
}

bool CCardwrightDoc::OnSaveDocument(const std::filesystem::path& requested) {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(requested, ec);
    if (text::AsciiUpper(path.stem().string()) != "TUNBOX" ||
        text::AsciiUpper(path.extension().string()) != ".CFG") {
        const auto answer = prompter_.Ask(
            "WARNING!\n\nThe TUNBOX only uses a config file named TUNBOX.CFG\n\nYou can save "
            "config files under other names, but you MUST\nrename them to TUNBOX.CFG before they "
            "will be used.",
            Prompter::Buttons::OkCancel, Prompter::Icon::Warning);
        if (answer != Prompter::Answer::Ok) {
            return false;
        }
    }

    // The files are made from copies: the record in memory takes the new
    // version, and the schedules their compacted numbers, only once the card
    // holds every file, so a failed save leaves the document as it was.
    CardConfig saved = config_;
    saved.Set(field::kConfigVersion, ConfiguratorVersion());
    ScheduleSet schedules = schedules_;
    const std::filesystem::path cardDir = path.parent_path();
    bool complete = true;
    {
        BusyScope busy(busy_);
        CardWriter writer = Writer();
        if (!writer.WriteConfig(path, saved)) {
            return false;
        }
        complete = writer.WriteSchedule(
            cardDir, schedules, static_cast<std::uint8_t>(saved.Get(field::kSerialAddress)));
        complete = writer.WriteKelda(cardDir, saved) && complete;
        // A program that could not be copied has been reported; the card is
        // still usable with the copy it has.
        writer.CopyProgram(cardDir);
    }
    if (!complete) {
        return false;
    }
    config_.Set(field::kConfigVersion, saved.Get(field::kConfigVersion));
    RenumberScheduleNames();
    schedules_ = std::move(schedules);
    SetModifiedFlag(false);
    if (!PrepareSoundsDir(cardDir)) {
        prompter_.Tell(text::Concat({"The configuration was written to ", fileio::Quoted(path),
                                     ", but the save is not complete: the card's SOUNDS "
                                     "directory cannot be used."}),
                       Prompter::Icon::Warning);
        return false;
    }
    SetPathName(path);
    loaded_ = true;
    return true;
}

void CCardwrightDoc::ReadScheduleInto(const std::filesystem::path& cardDir,
                                      std::uint8_t serialAddress, ScheduleSet& into) {
    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
    std::string error;
    // A missing or unreadable file simply means no schedules; one larger than
    // its length field can say is as bad as a wrong length.
    if (!fileio::ReadPrefix(cardDir / cardfiles::kScheduleFileName, kScheduleFileLimit, bytes, size,
                            error)) {
        bytes.clear();
    }
    const bool tooLarge = size > kScheduleFileLimit;
    if (tooLarge) {
        bytes.clear();
    }
    if (into.Parse(bytes, serialAddress) == ScheduleSet::ParseResult::Bad || tooLarge) {
        prompter_.Tell("Schedule.sch file has bad length or checksum, ignoring file.");
    }
}

bool CCardwrightDoc::ReadScheduleFile() {
    ReadScheduleInto(CardDirectory(), static_cast<std::uint8_t>(config_.Get(field::kSerialAddress)),
                     schedules_);
    return true;
}

CardWriter CCardwrightDoc::Writer() const {
    std::error_code ec;
    return CardWriter(prompter_,
                      executablePath_.empty() ? platform::ExecutablePath(ec) : executablePath_);
}

bool CCardwrightDoc::WriteScheduleFile(const std::filesystem::path& configPath) {
    return Writer().WriteSchedule(configPath.parent_path(), schedules_,
                                  static_cast<std::uint8_t>(config_.Get(field::kSerialAddress)));
}

bool CCardwrightDoc::WriteKeldaConfig(const std::filesystem::path& configPath) {
    return Writer().WriteKelda(configPath.parent_path(), config_);
}

bool CCardwrightDoc::CopyProgramToCard(const std::filesystem::path& configPath) {
    return Writer().CopyProgram(configPath.parent_path());
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
