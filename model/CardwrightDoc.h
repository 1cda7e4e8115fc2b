#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/CardConfig.h"
#include "model/CardPreparation.h"
#include "model/CardWriter.h"
#include "model/DocumentState.h"
#include "model/Prompter.h"
#include "model/ScheduleSet.h"
#include "model/TrackScanner.h"
#include "platform/Directory.h"

// Describes one change of the user's: its name as a menu shows it ("Move
// Up"), the page it was made on, and the control it was made with when
// successive changes from that control may count as one (typing in a field).
struct EditStep {
    std::string name;
    std::string place;
    const void* source = nullptr;
};

// Told of each change the user makes, with what it replaced, so that it can
// be taken back; and of each change of the document's modified state.
class EditListener {
  public:
    virtual ~EditListener() = default;
    virtual void Edited(DocumentState before, const EditStep& step) = 0;
    virtual void ModifiedChanged() {}
};

// The program's single document: the configuration record, the schedules and
// the caches of the last look at the card's SOUNDS directory. It lives for the
// whole run; New and Open reuse it after resetting it to defaults.
class CCardwrightDoc {
  public:
    explicit CCardwrightDoc(Prompter& prompter, BusyIndicator* busy = nullptr);
    CCardwrightDoc(const CCardwrightDoc&) = delete;
    CCardwrightDoc& operator=(const CCardwrightDoc&) = delete;

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
    // Modified by the user's edits, or by reconciling the track list with
    // the card since the last open, new or save.
    bool IsModified() const { return modified_ || reconciled_; }
    // Sets both parts; false after a save, an open or New.
    void SetModifiedFlag(bool modified = true) { UpdateModified(modified, modified); }
    // Sets whether the user's edits have changed the document, as an undo
    // history knows it; what reconciling with the card changed stays.
    void SetEditsModified(bool modified) { UpdateModified(modified, reconciled_); }

    // Everything a change of the user's can alter, and putting it back. A
    // restored state counts as no change of the user's: the listener is
    // not told.
    DocumentState State() const { return {config_, schedules_, scheduleNames_}; }
    void Restore(DocumentState state);
    // The one listener told of the user's changes, or none.
    void SetEditListener(EditListener* listener) { listener_ = listener; }

    // Held around a change the user asked for. When the change leaves what a
    // save writes (the configuration record, the schedules) or the schedule
    // names different, the document is marked modified and the listener is
    // told; a change that alters nothing marks nothing. Looking at the card
    // runs outside one: a page's activation marks only what reconciling the
    // track list marks.
    class UserEdit {
      public:
        explicit UserEdit(CCardwrightDoc& doc, EditStep step = {});
        ~UserEdit();
        UserEdit(const UserEdit&) = delete;
        UserEdit& operator=(const UserEdit&) = delete;

      private:
        CCardwrightDoc& doc_;
        EditStep step_;
        DocumentState before_;
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
    // The number of audio files in the card's SOUNDS; with `rebuild` the
    // track list starts again from them.
    int CountTracks(bool rebuild) {
        return scanner_.CountTracks(config_, CardDirectory(), rebuild);
    }
    // Reconciles the track list with the card (see TrackScanner); a moved
    // file position marks the document modified.
    TrackSync SyncTracks(bool apply);
    std::string GetLongTrackName(const std::string& shortName) {
        return scanner_.LongTrackName(CardDirectory(), shortName);
    }
    // The card directory: where the configuration file lies (the current
    // directory for a document without a path).
    std::filesystem::path CardDirectory() const;
    void SetDirectoryLister(DirectoryLister lister) { scanner_.SetLister(std::move(lister)); }

    // --- card preparation ------------------------------------------------
    bool CopyProgramToCard(const std::filesystem::path& configPath);
    // Makes sure the card has a SOUNDS directory; a fresh one receives the
    // audio files of the card's root. False (after telling the user) when
    // the card cannot be used.
    bool PrepareSoundsDir(const std::filesystem::path& cardDir) {
        return cardprep::PrepareSoundsDir(cardDir, prompter_, scanner_.Lister());
    }
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
    // After a save renumbered the schedules: the names go with them.
    void RenumberScheduleNames();
    // Writes this document's card files, telling the user of each failure.
    CardWriter Writer() const;
    void UpdateModified(bool modified, bool reconciled);

    Prompter& prompter_;
    BusyIndicator* busy_;
    CardConfig config_;
    std::vector<std::string> scheduleNames_;
    ScheduleSet schedules_;
    bool loaded_ = false;
    bool modified_ = false;
    bool reconciled_ = false;
    EditListener* listener_ = nullptr;
    std::string title_;
    std::filesystem::path path_;

    TrackScanner scanner_;
    std::filesystem::path executablePath_;
};
