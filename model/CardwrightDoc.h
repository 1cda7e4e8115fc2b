#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/Card.h"
#include "model/CardConfig.h"
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
    // What the change also did to the card's files, done again (false) or
    // taken back (true) when the step is redone or undone.
    std::function<void(bool undo)> onCard = nullptr;
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

    // --- the card ---------------------------------------------------------
    // Opens a configuration file and the card around it. Every question the
    // card raises (an empty or older file, bad schedules) is asked before the
    // document takes anything; a refused card leaves the document as it was.
    bool OnOpenDocument(const std::filesystem::path& path);
    // Writes the card's files beside `path`. The document takes the saved
    // state (new version, compacted schedules) only once the card holds it.
    bool OnSaveDocument(const std::filesystem::path& path);
    // The configuration version this program writes.
    static std::uint32_t ConfiguratorVersion() { return card::ProgramVersion(); }
    // The card as a save would write it.
    card::Image Image() const { return {config_, schedules_, {}}; }

    // --- tracks on the card ----------------------------------------------
    // The number of audio files in the card's SOUNDS; with `rebuild` the
    // track list starts again from them.
    int CountTracks(bool rebuild);
    // Reconciles the track list with the card (see TrackScanner); a moved
    // file position marks the document modified. What the user must hear of
    // (an unreadable SOUNDS, too many files) is told once per card.
    TrackSync SyncTracks(bool apply);
    std::string GetLongTrackName(const std::string& shortName) {
        return scanner_.LongTrackName(CardDirectory(), shortName);
    }
    // Where the card keeps the file of the track with this 8.3 name.
    std::filesystem::path TrackFile(const std::string& shortName) {
        return TrackScanner::SoundsDirectory(CardDirectory()) / GetLongTrackName(shortName);
    }
    // The card folder: where the configuration file lies, or for a document
    // without a path the folder the program was started in.
    std::filesystem::path CardDirectory() const {
        return path_.empty() ? startFolder_ : path_.parent_path();
    }
    void SetStartFolder(std::filesystem::path folder) { startFolder_ = std::move(folder); }
    void SetDirectoryLister(DirectoryLister lister) { scanner_.SetLister(std::move(lister)); }
    const DirectoryLister& GetDirectoryLister() const { return scanner_.Lister(); }
    // Where the running program lives; replaceable for tests.
    void SetExecutablePath(std::filesystem::path path) { executablePath_ = std::move(path); }

  private:
    bool RejectOpen(const std::filesystem::path& path, const std::string& reason);
    // Finishes putting SOUNDS in order where a pulled card left it half done.
    void FinishInterruptedOrder(const card::Location& where);
    // Asks or tells what the card read raised; false when the open must stop.
    bool AcceptRead(const card::Read& read, const std::filesystem::path& path);
    bool AcceptConfigProblem(const card::Problem& problem, const card::Read& read,
                             const std::filesystem::path& path);
    // The questions a configuration that can be opened only with the user's
    // consent raises; false when the user declines.
    bool AcceptEmptyConfig(const card::Read& read, const std::filesystem::path& path);
    bool AcceptOlderConfig(unsigned version, const std::filesystem::path& path);
    bool RejectNewerConfig(unsigned version, const std::filesystem::path& path);
    // Tells what a save could not do; true when the save is complete.
    bool AcceptWrite(const card::WriteReport& report, const std::filesystem::path& path);
    void TellRefusal(const card::Refusal& refusal, const std::filesystem::path& path);
    void TellSoundsUnusable(const std::filesystem::path& path);
    void TellFileFailure(const card::FileReport& file, const std::filesystem::path& path);
    // After a save renumbered the schedules: the names go with them.
    void RenumberScheduleNames();
    // Tells that SOUNDS cannot be read, once for a card until a listing
    // succeeds again.
    void TellUnreadable(const std::optional<Failure>& unreadable);
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
    // What the saves have left on the card, so a save need not read it back.
    card::WriteMemory writeMemory_;
    std::filesystem::path executablePath_;
    std::filesystem::path startFolder_;
    // What the user has been told of the card's tracks already, so that the
    // look taken on every page change stays quiet.
    std::filesystem::path unreadableTold_;
    std::filesystem::path tooManyToldPath_;
    int tooManyToldCount_ = -1;
};
