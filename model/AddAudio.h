#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "model/Card.h"
#include "model/Result.h"

// Putting the user's audio files on the card: which form each one takes, what
// it is called there, whether the card has room, and the writing itself, in
// the order the user chose. The reading and converting of sound is the audio
// library's; it comes in through AudioTool, so these rules need none of it.
namespace addaudio {

// What the audio library found out about one file, and what it would write.
struct SourceInfo {
    std::string format;    // "FLAC (Free Lossless Audio Codec)", "MP3"
    std::string encoding;  // "Signed 24 bit PCM", "MPEG layer III"
    int sampleRate = 0;
    int channels = 0;
    double seconds = 0.0;
    bool mp3 = false;      // it goes on the card as MPEG frames (.mp3), else as a WAV
    bool convert = false;  // it is converted; otherwise copied byte for byte
    std::uint64_t outputBytes = 0;
    std::string refusal;  // why it cannot be put on the card; empty when it can
};

struct WriteOutcome {
    bool cancelled = false;
    std::string error;    // empty when the file was written whole
    double gainDb = 0.0;  // negative: scaled down by this much so as not to clip
};

using ProgressFn = std::function<void(std::uint64_t done, std::uint64_t total)>;

class AudioTool {
  public:
    virtual ~AudioTool() = default;
    virtual SourceInfo Inspect(const std::filesystem::path& source) = 0;
    // Writes the player's form of `source` as the new file `output`. Never
    // changes `source`; leaves no `output` when it fails or is cancelled.
    virtual WriteOutcome Write(const std::filesystem::path& source,
                               const std::filesystem::path& output, const ProgressFn& progress,
                               const std::atomic<bool>* cancel) = 0;
};

struct Source {
    std::filesystem::path path;
    SourceInfo info;
};

// Looks at every file once; the order is kept.
std::vector<Source> InspectAll(const std::vector<std::filesystem::path>& files, AudioTool& tool);

using FreeSpaceFn = std::function<std::uintmax_t(const std::filesystem::path&, std::error_code&)>;

struct PlannedFile {
    Source source;
    std::string cardName;         // its long name in SOUNDS
    std::string alias;            // the 8.3 name FAT gives it when written in this order
    std::uint64_t cardBytes = 0;  // the space it takes, in whole clusters
    bool Ready() const { return source.info.refusal.empty(); }
};

struct Plan {
    std::filesystem::path sounds;  // where the files go
    std::vector<PlannedFile> files;
    std::uintmax_t spaceNeeded = 0;  // by the files that can be written, in clusters
    std::uintmax_t spaceFree = 0;
    std::optional<Failure> spaceUnknown;  // the card could not say how much it has
    bool Fits() const { return !spaceUnknown && spaceNeeded <= spaceFree; }
    int Refused() const;
};

struct PlanOptions {
    FreeSpaceFn freeSpace;  // empty: asked of the system
    DirectoryLister lister;
};

// The plan for writing `sources` to the card in their order, after the audio
// it holds. A name SOUNDS (or an earlier file) has already gets " (2)" and so
// on, so nothing on the card is ever replaced.
Plan MakePlan(const std::filesystem::path& cardDir, const std::vector<Source>& sources,
              const PlanOptions& options = {});

// The text for how much space files take: "1.3 MB", "64 KB".
std::string SizeText(std::uintmax_t bytes);
// "0:03.2", "12:05.0": the length of a sound.
std::string LengthText(double seconds);

struct AddOptions {
    // Which file (an index into the plan), and how far its writing is.
    std::function<void(std::size_t file, std::uint64_t done, std::uint64_t total)> progress;
    const std::atomic<bool>* cancel = nullptr;
    FreeSpaceFn freeSpace;
    DirectoryLister lister;
};

struct AddResult {
    // The refusal before the first byte: no room, or SOUNDS not usable.
    std::optional<Failure> refused;
    std::vector<std::string> written;  // card names of the files now whole on the card
    struct Scaled {
        std::string cardName;
        double gainDb;
    };
    std::vector<Scaled> scaled;  // files turned down so as not to clip
    bool cancelled = false;
    std::optional<Failure> failed;  // the file that could not be written; later ones were not
    int removedTemporaries = 0;     // left in SOUNDS by a write that was cut short before
    bool Complete() const { return !refused && !cancelled && !failed; }
};

// Writes the plan's ready files in order, each under a temporary name that is
// renamed once the file is whole: a card pulled part-way holds whole files
// only. The space is checked again first; a cancel keeps the files finished
// and removes the one being written.
AddResult AddFiles(const Plan& plan, AudioTool& tool, const AddOptions& options = {});

// The files of `added` (long names) become the next tracks after the last one
// in use, in the order the card lists them, each with the cleared settings.
// `audio` is SOUNDS as listed after the writing. Returns the tracks given.
int AppendTracks(CardConfig& config, const std::vector<card::AudioFile>& audio,
                 const std::vector<std::string>& added);

}  // namespace addaudio
