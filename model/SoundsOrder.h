#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "model/Card.h"
#include "model/Result.h"

// Putting the files of SOUNDS in the order the user wants their tracks. The
// player numbers the files by their place in the folder, which on FAT is the
// order they were written into it, and a folder that ever lost a file hands
// its freed slots to the next ones. So the files are moved into a folder
// beside SOUNDS, SOUNDS is made afresh, and the files are moved back into it
// in order. Moves need no room on the card, and a card pulled at any moment
// holds every file in one of the two folders; a journal beside them lets the
// next opening finish the work.
namespace soundsorder {

inline constexpr const char* kHoldingFolderName = "SOUNDS.OLD";
inline constexpr const char* kJournalName = "SOUNDS.JNL";

// Every change the reordering makes to the card goes through here, so that a
// test can make any one of them fail.
class FileOps {
  public:
    virtual ~FileOps() = default;
    virtual std::error_code Rename(const std::filesystem::path& from,
                                   const std::filesystem::path& to);
    virtual std::error_code MakeFolder(const std::filesystem::path& dir);
    virtual std::error_code RemoveEmptyFolder(const std::filesystem::path& dir);
    // The whole text, through a temporary file: the old text or the new one.
    virtual std::error_code WriteFile(const std::filesystem::path& file, const std::string& text);
    virtual std::error_code RemoveFile(const std::filesystem::path& file);
};

// What the journal keeps: SOUNDS' audio as it was (to let the settings follow
// their files) and the order it is being put in.
struct Journal {
    std::vector<card::AudioFile> before;
    std::vector<std::string> order;  // long names
};

// The whole order for the card's audio: the files named (by long or 8.3
// name, in any letter case) first, in the order given, then every other
// file in its present order. Fails naming a file the card does not hold, or
// one named twice.
Result<std::vector<std::string>> ResolveOrder(const std::vector<card::AudioFile>& audio,
                                              const std::vector<std::string>& names);

// The whole order by track numbers: the tracks' files (long names) in the
// order of their numbers, then the files no track names.
std::vector<std::string> TrackOrder(const CardConfig& config,
                                    const std::vector<card::AudioFile>& audio);
// Whether some track's file lies elsewhere in SOUNDS than its number says.
bool OutOfTrackOrder(const CardConfig& config);

// Whether SOUNDS already lists its audio in this order.
bool InOrder(const std::vector<card::AudioFile>& audio, const std::vector<std::string>& order);

// Rewrites SOUNDS so that its audio lies in `order` (long names, every audio
// file of `before`, as ResolveOrder gives them). The journal stays on the
// card until Settle(): the caller first makes the settings follow.
Result<Journal> Reorder(const std::filesystem::path& cardDir, const std::vector<std::string>& order,
                        const std::vector<card::AudioFile>& before, FileOps& ops);

// The settings after SOUNDS went from `before` to `after`: track k is the
// k-th file, with the settings of the track that had that file (matched by
// long name, so a changed 8.3 alias loses nothing). End actions, inputs,
// the power-up track and schedule events follow their tracks; playlist
// entries take the files' new aliases.
card::Image FollowFiles(const card::Image& image, const std::vector<card::AudioFile>& before,
                        const std::vector<card::AudioFile>& after);

// The work is done and the settings follow: the journal goes.
Status Settle(const std::filesystem::path& cardDir, FileOps& ops);

struct Recovery {
    bool found = false;  // a journal was there
    std::optional<Failure> failure;
};

// Finishes a reordering cut short: every file back in a fresh SOUNDS in the
// journal's order, the card's settings made to follow
// and written, the journal removed. Nothing to do without a journal.
Recovery Recover(const card::Location& where, FileOps& ops, const DirectoryLister& lister = {});

// After Reorder, on the card itself: reads the card, makes its settings
// follow their files and writes them, then settles. For the command line,
// and for the end of a recovery.
Status FollowOnCard(const card::Location& where, const Journal& journal, FileOps& ops,
                    const DirectoryLister& lister = {});

}  // namespace soundsorder
