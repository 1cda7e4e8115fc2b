#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "model/CardConfig.h"
#include "model/Result.h"
#include "platform/Directory.h"

// Lists a directory in stored order; replaceable so tests can set the order.
using DirectoryLister =
    std::function<std::vector<platform::DirEntry>(const std::filesystem::path&, std::error_code&)>;

// The lister the program itself uses: the platform's, with each entry's kind
// and alias but without file times, which cost a request per file.
DirectoryLister KindOnlyLister();
// `lister`, or the program's own when it is empty.
DirectoryLister ListerOrDefault(const DirectoryLister& lister);

// What a reconciliation of the track list with the card found.
struct TrackSync {
    bool newFiles = false;        // audio files without a track
    bool missingFiles = false;    // tracks whose file is gone
    bool positionsMoved = false;  // applied: a track's file position changed
    int audioFiles = 0;           // audio files in SOUNDS; past 255 the rest are ignored
    // SOUNDS is there but cannot be read: the track list was left as it is.
    std::optional<Failure> unreadable;
    bool CardChanged() const { return newFiles || missingFiles; }
    bool TooManyFiles() const { return audioFiles > layout::kMaxTrack; }
};

// Looks at the audio files in a card's SOUNDS directory and gives them track
// numbers. It keeps what it learnt of the last card (each file's 8.3 alias)
// so that the look taken on every page change stays cheap.
class TrackScanner {
  public:
    TrackScanner();

    void SetLister(DirectoryLister lister) {
        lister_ = std::move(lister);
        ownLister_ = false;
    }
    const DirectoryLister& Lister() const { return lister_; }
    // For reads that look at names and kinds only: the program's listing
    // without aliases, which cost a look-up per file where they are worked
    // out, or the lister that was set.
    DirectoryLister NamesLister() const;

    // The number of audio files on the card; with `rebuild`, tracks 1 to n
    // become the files in stored order, every other track cleared.
    // A SOUNDS that is there but cannot be read counts 0, with the failure
    // in `unreadable` when asked.
    int CountTracks(CardConfig& config, const std::filesystem::path& cardDir, bool rebuild,
                    std::optional<Failure>* unreadable = nullptr);
    // Compares the track list with the card, keyed on the document's path;
    // with `apply` the list follows the card: moved files take their new
    // positions, new files free tracks, and tracks whose file is gone are
    // cleared. A card whose SOUNDS cannot be read changes nothing.
    TrackSync SyncTracks(CardConfig& config, const std::filesystem::path& docPath,
                         const std::filesystem::path& cardDir, bool apply);
    // The long name of the card's file with this 8.3 name, or the name itself.
    std::string LongTrackName(const std::filesystem::path& cardDir, const std::string& shortName);

    // The card's SOUNDS directory: the entry of that name, in any letter case
    // as FAT would find it, or where a new one goes.
    static std::filesystem::path SoundsDirectory(const std::filesystem::path& cardDir);

  private:
    // Lists `dir` into `listing` with the lister that was set, or with the
    // program's own, which uses the room `listing` has.
    void List(const std::filesystem::path& dir, std::error_code& ec,
              std::vector<platform::DirEntry>& listing);
    // Lists SOUNDS; a missing one lists as empty. A failure when it is there
    // but cannot be read: the track list must then stay as it is.
    Status ReadSounds(const std::filesystem::path& cardDir,
                      std::vector<platform::DirEntry>& listing,
                      std::filesystem::path* where = nullptr);
    // Matches the audio files, in stored order, with the track list.
    void Reconcile(CardConfig& config, const std::vector<const platform::DirEntry*>& audio,
                   bool apply, TrackSync& result);
    // Gives an audio file that no track names the lowest free track.
    // `named` says which slots hold a name, and gains the one given.
    static void PlaceNewFile(CardConfig& config, std::vector<bool>& named, int& lowestFree,
                             const std::string& alias, std::uint32_t position);
    // The 8.3 name a file of this listing goes by.
    std::string AliasOf(const platform::DirEntry& file);

    DirectoryLister lister_;
    bool ownLister_ = true;

    std::filesystem::path::string_type scanPath_;
    std::filesystem::path::string_type scanSounds_;
    int scanCount_ = -1;
    // Of the card last scanned: the aliases its file system keeps, by long
    // name, and the long names by alias, indexed from the last listing when
    // first asked for.
    std::unordered_map<std::string, std::string> storedAliases_;
    std::unordered_map<std::string, std::string> shortToLong_;
    std::vector<platform::DirEntry> lastListing_;
    // The listing before the last, kept for the room it has.
    std::vector<platform::DirEntry> spare_;
    bool listingIndexed_ = true;
};
