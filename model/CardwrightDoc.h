#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "model/CardConfig.h"
#include "model/CardWriter.h"
#include "model/Prompter.h"
#include "model/ScheduleSet.h"
#include "platform/Directory.h"

// The program's single document: the configuration record, the schedules and
// the caches of the last look at the card's SOUNDS directory. It lives for the
// whole run; New and Open reuse it after resetting it to defaults.
class CCardwrightDoc {
  public:
    // Lists a directory in stored order; replaceable so tests can set the order.
    using DirectoryLister = std::function<std::vector<platform::DirEntry>(
        const std::filesystem::path&, std::error_code&)>;

    explicit CCardwrightDoc(Prompter& prompter, BusyIndicator* busy = nullptr);
    ~CCardwrightDoc();
    CCardwrightDoc(const CCardwrightDoc&) = delete;
    CCardwrightDoc& operator=(const CCardwrightDoc&) = delete;

    // The process-wide document, or null when there is none.
    static CCardwrightDoc* Current();

    // Where the document and the pages tell the user things and ask.
    Prompter& GetPrompter() { return prompter_; }

    CardConfig* GetConfig() { return &config_; }
    const CardConfig* GetConfig() const { return &config_; }
    ScheduleSet& Schedules() { return schedules_; }
    const ScheduleSet& Schedules() const { return schedules_; }
    std::vector<std::string>& ScheduleNames() { return scheduleNames_; }

    // --- document state --------------------------------------------------
    void DeleteContents();
    bool IsLoaded() const { return loaded_; }
    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) { modified_ = modified; }

    // Held around a change the user asked for. When the change leaves what a
    // save writes (the configuration record, the schedules) different, the
    // document is marked modified; a change that alters nothing marks
    // nothing. Looking at the card runs outside one: a page's activation
    // marks only what reconciling the track list itself marks.
    class UserEdit {
      public:
        explicit UserEdit(CCardwrightDoc& doc);
        ~UserEdit();
        UserEdit(const UserEdit&) = delete;
        UserEdit& operator=(const UserEdit&) = delete;

      private:
        CCardwrightDoc& doc_;
        CardConfig config_;
        ScheduleSet schedules_;
    };
    const std::string& GetTitle() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    const std::filesystem::path& GetPathName() const { return path_; }
    // Sets the path and takes the file name as the title.
    void SetPathName(const std::filesystem::path& path);
    // A new, untitled document with its defaults.
    void OnNewDocument();

    // Edit > Reset Everything to Defaults for the model and the card's
    // tracks; the clock models' schedules also get their clock reset time.
    void ResetEverythingToDefaults();

    // Forwards to the configuration record.
    void ApplyInputDefaults(InputSet set, int trackCount) {
        config_.ApplyInputDefaults(set, trackCount);
    }
    void ClearInputSet(InputSet set) { config_.ClearInputSet(set); }
    void RebuildPlaylistSlots() { config_.RebuildPlaylistSlots(); }

    // --- TUNBOX.CFG ------------------------------------------------------
    bool OnOpenDocument(const std::filesystem::path& path);
    bool OnSaveDocument(const std::filesystem::path& path);
    // The configuration version this program writes.
    static std::uint32_t ConfiguratorVersion();

    // --- SCHEDULE.SCH ----------------------------------------------------
    bool ReadScheduleFile();
    // Writes the schedules beside the configuration file, compacting their
    // numbers; false (after telling the user) when the card did not take it.
    bool WriteScheduleFile(const std::filesystem::path& configPath);

    // --- KELDA.CFG -------------------------------------------------------
    bool WriteKeldaConfig(const std::filesystem::path& configPath);

    // --- tracks on the card ----------------------------------------------
    int CountTracks(bool rebuild);
    int SyncTracks(bool apply);
    void ClearTrack(int n) {
        if (n >= 0 && n < layout::kTrackSlots) {
            config_.ClearTrack(n);
        }
    }
    void ClearAllTracks();
    std::string GetLongTrackName(const std::string& shortName);
    // The card directory: where the configuration file lies (the current
    // directory for a document without a path).
    std::filesystem::path CardDirectory() const;
    void SetDirectoryLister(DirectoryLister lister) { lister_ = std::move(lister); }

    // --- card preparation ------------------------------------------------
    bool CopyProgramToCard(const std::filesystem::path& configPath);
    // Makes sure the card has a SOUNDS directory; a fresh one receives the
    // audio files of the card's root. False (after telling the user) when
    // the card cannot be used.
    bool PrepareSoundsDir(const std::filesystem::path& cardDir);
    // Where the running program lives; replaceable for tests.
    void SetExecutablePath(std::filesystem::path path) { executablePath_ = std::move(path); }

  private:
    bool RejectOpen(const std::filesystem::path& path, const std::string& reason);
    // Whether the card holds anything a save leaves besides the configuration.
    bool CardHoldsOtherFiles(const std::filesystem::path& cardDir) const;
    // Reads the card's SCHEDULE.SCH into `into`; a missing or bad file leaves
    // it empty (a bad one after telling the user).
    void ReadScheduleInto(const std::filesystem::path& cardDir, std::uint8_t serialAddress,
                          ScheduleSet& into);
    // Writes this document's card files, telling the user of each failure.
    CardWriter Writer() const;
    std::vector<platform::DirEntry> ListSounds(std::error_code& ec) const;
    // Lists the card's SOUNDS directory for a count, rebuild or
    // reconciliation; a missing one lists as empty. False when it is there
    // but cannot be read: the track list must then stay as it is, and the
    // user has been told (once, until a listing succeeds or the card changes).
    bool ReadSounds(std::vector<platform::DirEntry>& listing);
    // The card's SOUNDS directory: the entry of that name, in any letter case
    // as FAT would find it, or where a new one goes.
    static std::filesystem::path SoundsDirectory(const std::filesystem::path& cardDir);

    Prompter& prompter_;
    BusyIndicator* busy_;
    CardConfig config_;
    std::vector<std::string> scheduleNames_;
    ScheduleSet schedules_;
    bool loaded_ = false;
    bool modified_ = false;
    std::string title_;
    std::filesystem::path path_;

    // Caches of the last reconciliation with the card's SOUNDS directory.
    std::filesystem::path scanPath_;
    int scanCount_ = -1;
    std::unordered_map<std::string, std::string> longToShort_;
    std::unordered_map<std::string, std::string> shortToLong_;
    // What the user has been told about already: the SOUNDS directory that
    // could not be read, and the card path and file count that were too many.
    std::filesystem::path unreadableTold_;
    std::filesystem::path tooManyToldPath_;
    int tooManyToldCount_ = -1;

    DirectoryLister lister_;
    std::filesystem::path executablePath_;
};
