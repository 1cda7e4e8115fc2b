#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "media/MediaError.h"
#include "media/Probe.h"

// Makes any audio file into one the player plays: an MP3 (whole layer III
// frames) or a 16-bit PCM WAV in mono or stereo is copied as it is; anything
// else libsndfile reads becomes a 16-bit PCM WAV at its own sample rate and
// channel count. Both are streamed in blocks, whatever the file's size.
namespace media {

enum class Action { Copy, Convert };

// What converting a probed file would do, before anything is written.
struct ConvertPlan {
    Action action = Action::Copy;
    std::uint64_t outputBytes = 0;      // the size of what would be written
    std::optional<MediaError> refusal;  // why it cannot be done at all
};

ConvertPlan PlanConversion(const Probe& probe);

struct ConvertOptions {
    // Work done and work in all (bytes for a copy, sample frames for a
    // conversion, each pass counted), after every block.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
    // Checked between blocks; once true the output is removed.
    const std::atomic<bool>* cancel = nullptr;
    // Seeds the dither, so that a conversion can be repeated bit for bit.
    std::uint32_t ditherSeed = 0x2545F491u;
};

struct ConvertResult {
    Action action = Action::Copy;
    Probe source;
    // Negative when the sound was scaled down so that it does not clip: by
    // this many decibels. 0 when it was left as it was.
    double gainDb = 0.0;
    bool cancelled = false;
    std::optional<MediaError> error;  // naming the source or the output

    bool Ok() const { return !cancelled && !error; }
};

// Writes `source` to `output` (created or replaced) as the player plays it.
// A refused, failed or cancelled conversion leaves no output behind.
ConvertResult ConvertForPlayer(const std::filesystem::path& source,
                               const std::filesystem::path& output,
                               const ConvertOptions& options = {});

}  // namespace media
