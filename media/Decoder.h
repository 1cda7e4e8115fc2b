#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

#include "media/MediaError.h"

// Decodes a track for a preview the way the player's decoder sees it: the
// file is checked as the card check reads it, and a file that check calls
// broken is refused with its reason instead of played in part.
namespace media {

// Where decoded sound goes: interleaved 16-bit frames, a block at a time.
class PcmSink {
  public:
    virtual ~PcmSink() = default;
    // False when the sink wants no more for now.
    virtual bool Write(std::span<const std::int16_t> samples) = 0;
};

class Decoder {
  public:
    // The file's own name picks the decoder, as on the player. Null, with
    // `error` saying why, for a file the player would not play.
    static std::unique_ptr<Decoder> Open(const std::filesystem::path& file, MediaError& error);

    virtual ~Decoder() = default;
    int SampleRate() const { return sampleRate_; }
    int Channels() const { return channels_; }
    std::int64_t Frames() const { return frames_; }  // the length, in sample frames

    // Decodes up to `maxFrames` frames and gives them to `sink` in blocks;
    // the frames given, 0 at the end or after a fault (Error() says which).
    std::int64_t Feed(PcmSink& sink, std::int64_t maxFrames);
    const std::optional<MediaError>& Error() const { return error_; }

  protected:
    Decoder(int sampleRate, int channels, std::int64_t frames)
        : sampleRate_(sampleRate), channels_(channels), frames_(frames) {}
    // Fills `out` with whole frames; the frames written, 0 at the end. A
    // fault is set with Fail() and ends the sound.
    virtual std::int64_t Decode(std::span<std::int16_t> out) = 0;
    void Fail(MediaError error) { error_ = std::move(error); }

  private:
    int sampleRate_;
    int channels_;
    std::int64_t frames_;
    std::optional<MediaError> error_;
};

}  // namespace media
