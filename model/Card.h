#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/CardConfig.h"
#include "model/CardPreparation.h"
#include "model/Result.h"
#include "model/ScheduleSet.h"
#include "model/TrackScanner.h"
#include "platform/Files.h"

// The card core: reading a card folder into a card image, and writing a card
// image back. It neither asks nor tells; what it finds comes back as values,
// and the window and the command line each turn them into their own words.
namespace card {

// Where a card's files are: its folder, and the configuration file in it (which
// may not exist yet, and may have another name than TUNBOX.CFG).
struct Location {
    std::filesystem::path dir;
    std::filesystem::path config;

    // Whether the configuration file is the one the player reads.
    bool ConfigIsTheCards() const;
};

// CARD is a card folder or a configuration file. In a folder the
// configuration is TUNBOX.CFG in any letter case, as FAT finds it.
Location Locate(const std::filesystem::path& card);

// One audio file of SOUNDS, in the order the file system stores them.
struct AudioFile {
    std::string longName;
    std::string alias;  // the 8.3 name on the card, upper case
    // No alias is stored (not a FAT card): `alias` is the one FAT would
    // give the files copied to a card in this order.
    bool aliasGenerated = false;
};

// Everything the card's files say.
struct Image {
    CardConfig config;
    ScheduleSet schedules;
    // SOUNDS as discovered; without SOUNDS, the root's audio files in the
    // order a save moves them into a fresh one.
    std::vector<AudioFile> audio;
};

// Something found while reading a card that its reader must decide about.
struct Problem {
    enum class Kind {
        ConfigMissing,      // no configuration file: the image holds the defaults
        ConfigUnreadable,   // it cannot be read (detail says why)
        ConfigEmpty,        // 0 bytes: the image holds the defaults
        ConfigWrongSize,    // number: its size; the image holds the defaults
        ConfigSurplus,      // number: bytes past the record, never read
        ConfigNewer,        // number: its version, newer than this program's
        ConfigOlder,        // number: its version, older than this program's
        ScheduleBad,        // fails its length or checksum: read as no schedules
        ScheduleDropped,    // number: events left out (no valid time, or a second one at a minute)
        SoundsMissing,      // no SOUNDS folder
        SoundsNotFolder,    // SOUNDS is a file
        SoundsBrokenLink,   // SOUNDS is a link to nothing, or a loop of links
        SoundsUnreadable,   // detail says why
        AudioInRoot,        // names: the audio files in the card's root
        LeftoverTemporary,  // names: temporary files of an interrupted save
    };
    Kind kind;
    std::filesystem::path file;
    std::string detail;
    std::uintmax_t number = 0;
    std::vector<std::string> names;
};

struct Read {
    Image image;
    std::vector<Problem> problems;
    // The card folder as listed, for those who look further at it.
    std::vector<platform::DirEntry> root;
    // The card holds files a save leaves besides the configuration (the
    // schedule or KELDA file, audio in SOUNDS): an empty configuration beside
    // them is far more likely an interrupted save than a wish for defaults.
    bool holdsOtherFiles = false;
    // What the card's SOUNDS was found to be.
    cardprep::SoundsState sounds = cardprep::SoundsState::Missing;

    const Problem* Find(Problem::Kind kind) const;
    bool Has(Problem::Kind kind) const { return Find(kind) != nullptr; }
};

// The configuration version this program writes.
std::uint32_t ProgramVersion();

// Reads the card without changing anything on it. Fails only when `where` is
// not a folder that can be read; everything else is a problem of the result.
Result<Read> ReadCard(const Location& where, const DirectoryLister& lister = {});

// The largest schedule file there can be: its length field holds 24 bits.
inline constexpr std::size_t kScheduleFileLimit = 0xFFFFFF + 9;

// --- writing ---------------------------------------------------------------

// Files on a card are rounded up to this when the space a save needs is
// estimated: the largest cluster FAT uses on cards of this kind.
inline constexpr std::uintmax_t kClusterSize = 32 * 1024;

// One file a save writes: its new size, and the size of the file it
// replaces (0 for none).
struct FileSizes {
    std::uintmax_t newSize = 0;
    std::uintmax_t oldSize = 0;
};

// The free space a save of these files needs, in their order: each file is
// written whole beside the old one before it replaces it, so the peak is the
// new file on top of what the files before it have grown or shrunk by.
std::uintmax_t SpaceNeeded(const std::vector<FileSizes>& files);

// What the saves of one document have left on its card, so that the next
// save need not read it all back.
struct WriteMemory {
    // The bytes each card file was last given. New bytes that differ from
    // them are written without reading the file: if the card no longer
    // holds them, it holds something else, and writing is right either way.
    std::vector<std::pair<std::filesystem::path, std::vector<std::uint8_t>>> written;
    // The program and its copy on the card, as they were when last found or
    // made equal: while neither has been replaced or rewritten since, the
    // copy is not compared byte for byte again.
    std::optional<std::pair<platform::FileIdentity, platform::FileIdentity>> sameProgram;

    const std::vector<std::uint8_t>* LastWritten(const std::filesystem::path& file) const;
    void Remember(const std::filesystem::path& file, std::vector<std::uint8_t> bytes);
    void Forget(const std::filesystem::path& file);
};

struct WriteOptions {
    // The program copied onto the card as Cardwright.exe; empty: none.
    std::filesystem::path program;
    // Write the configuration file alone, leaving the card's other files.
    bool configOnly = false;
    // Reconcile the track list with SOUNDS (after preparing it) before the
    // files are made, as opening the card in the window would.
    bool reconcileTracks = false;
    // Bytes free on the card's file system; empty: asked of the system.
    std::function<std::uintmax_t(const std::filesystem::path&, std::error_code&)> freeSpace;
    DirectoryLister lister;
    // Kept by the caller from one save to the next; empty: every file is
    // read back to see whether it changed.
    WriteMemory* memory = nullptr;
};

// What became of one file.
struct FileReport {
    enum class Outcome { Written, Unchanged, Failed, NotWritten };
    std::filesystem::path file;
    Outcome outcome = Outcome::NotWritten;
    std::string reason;     // for Failed
    std::string aftermath;  // for Failed: what the card holds now
    bool opening = false;   // for Failed: the file could not even be created
};

// A check before the first byte that refused the write: nothing on the card
// was changed.
struct Refusal {
    enum class Kind {
        NotAFolder,        // the card folder is not there, or cannot be opened
        SoundsNotFolder,   // SOUNDS is a file
        SoundsBrokenLink,  // SOUNDS is a link to nothing, or a loop of links
        NotAFile,          // a card file's name belongs to a folder, pipe or device
        NoSpace,           // the card has too little room for the files
    };
    Kind kind;
    Failure failure;
};

struct WriteReport {
    std::optional<Refusal> refused;
    // SOUNDS could not be created; no file was written.
    std::optional<Failure> soundsFailed;
    std::vector<FileReport> files;  // configuration, schedule, KELDA, program
    // What the card now holds: the version this program writes, the
    // schedules compacted, the tracks reconciled when asked.
    Image written;
    TrackSync tracks;  // what reconciling found, when asked
    int removedTemporaries = 0;

    const FileReport* Report(const std::string& fileName) const;
    // Whether nothing was refused and every file but the program copy is
    // on the card.
    bool Complete() const;
};

// Writes the image's files into `where`: every check first (SOUNDS usable,
// the names free to take, the space), then SOUNDS prepared, the tracks
// reconciled if asked, and each file whose bytes differ from the card's
// written through a temporary file. The image is not changed.
WriteReport WriteCard(const Location& where, Image image, const WriteOptions& options);

}  // namespace card
