#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Turns the decoder's 16-bit frames into what a sound device takes: another
// sample type, another channel count, another rate. A device that takes the
// track's own format gets it untouched.
namespace media {

enum class SampleType { UInt8, Int16, Int32, Float };

struct PcmFormat {
    int sampleRate = 0;
    int channels = 0;
    SampleType type = SampleType::Int16;

    int BytesPerSample() const;
    int BytesPerFrame() const { return BytesPerSample() * channels; }
    bool operator==(const PcmFormat&) const = default;
};

class PcmConverter {
  public:
    // From interleaved 16-bit frames of `inChannels` (1 or 2) at `inRate`.
    PcmConverter(int inRate, int inChannels, PcmFormat out);

    const PcmFormat& Output() const { return out_; }

    // Appends `in`, whole frames, to `out` in the output format, in the
    // machine's byte order. A change of rate is interpolated across calls,
    // so a sound fed in blocks comes out as when fed at once.
    void Convert(std::span<const std::int16_t> in, std::vector<std::byte>& out);

  private:
    // One frame at the input rate, mapped to the output's channels.
    void MapChannels(std::span<const std::int16_t> frame, std::span<float> mapped) const;
    void Resample(std::span<const std::int16_t> in, std::vector<std::byte>& out);
    void Emit(std::span<const float> frame, std::vector<std::byte>& out) const;

    int inRate_;
    int inChannels_;
    PcmFormat out_;
    // The last input frame seen, mapped, and where the next output frame
    // falls after it, in input frames.
    std::vector<float> previous_;
    std::vector<float> current_;
    std::vector<float> between_;
    double next_ = 0.0;
    bool primed_ = false;
};

}  // namespace media
