#include "media/PcmConverter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace media {

namespace {

template <typename T>
void Append(std::vector<std::byte>& out, T value) {
    const std::size_t at = out.size();
    out.resize(at + sizeof(T));
    std::memcpy(out.data() + at, &value, sizeof(T));
}

// `v` in 16-bit units, rounded and held to the range of `lo` to `hi`.
long Whole(float v, long lo, long hi) {
    return std::clamp(std::lround(v), lo, hi);
}

}  // namespace

int PcmFormat::BytesPerSample() const {
    switch (type) {
        case SampleType::UInt8:
            return 1;
        case SampleType::Int16:
            return 2;
        case SampleType::Int32:
        case SampleType::Float:
            return 4;
    }
    return 0;
}

PcmConverter::PcmConverter(int inRate, int inChannels, PcmFormat out)
    : inRate_(inRate),
      inChannels_(inChannels),
      out_(out),
      previous_(static_cast<std::size_t>(out.channels)),
      current_(static_cast<std::size_t>(out.channels)),
      between_(static_cast<std::size_t>(out.channels)) {}

void PcmConverter::Convert(std::span<const std::int16_t> in, std::vector<std::byte>& out) {
    if (inRate_ != out_.sampleRate) {
        Resample(in, out);
        return;
    }
    out.reserve(out.size() + in.size() / static_cast<std::size_t>(inChannels_) *
                                 static_cast<std::size_t>(out_.BytesPerFrame()));
    for (std::size_t i = 0; i + static_cast<std::size_t>(inChannels_) <= in.size();
         i += static_cast<std::size_t>(inChannels_)) {
        MapChannels(in.subspan(i, static_cast<std::size_t>(inChannels_)), current_);
        Emit(current_, out);
    }
}

void PcmConverter::MapChannels(std::span<const std::int16_t> frame, std::span<float> mapped) const {
    std::fill(mapped.begin(), mapped.end(), 0.0f);
    if (inChannels_ == 2 && mapped.size() == 1) {
        // Both sides heard from one speaker.
        mapped[0] = (static_cast<float>(frame[0]) + static_cast<float>(frame[1])) / 2.0f;
        return;
    }
    // Mono goes to the front left and right alike; stereo to its own sides;
    // any further channel of the device stays silent.
    const std::size_t front = std::min<std::size_t>(2, mapped.size());
    for (std::size_t c = 0; c < front; ++c) {
        mapped[c] = static_cast<float>(frame[std::min<std::size_t>(c, frame.size() - 1)]);
    }
}

void PcmConverter::Resample(std::span<const std::int16_t> in, std::vector<std::byte>& out) {
    // Linear interpolation: good enough to tell one sound from another, and
    // it needs only the frame before.
    const double step = static_cast<double>(inRate_) / out_.sampleRate;
    for (std::size_t i = 0; i + static_cast<std::size_t>(inChannels_) <= in.size();
         i += static_cast<std::size_t>(inChannels_)) {
        MapChannels(in.subspan(i, static_cast<std::size_t>(inChannels_)), current_);
        if (!primed_) {
            previous_ = current_;
            primed_ = true;
            continue;
        }
        for (; next_ < 1.0; next_ += step) {
            const auto t = static_cast<float>(next_);
            for (std::size_t c = 0; c < between_.size(); ++c) {
                between_[c] = previous_[c] + t * (current_[c] - previous_[c]);
            }
            Emit(between_, out);
        }
        next_ -= 1.0;
        previous_ = current_;
    }
}

void PcmConverter::Emit(std::span<const float> frame, std::vector<std::byte>& out) const {
    for (const float v : frame) {
        switch (out_.type) {
            case SampleType::UInt8:
                Append(out, static_cast<std::uint8_t>(Whole(v / 256.0f, -128, 127) + 128));
                break;
            case SampleType::Int16:
                Append(out, static_cast<std::int16_t>(Whole(v, -32768, 32767)));
                break;
            case SampleType::Int32:
                Append(out, static_cast<std::int32_t>(Whole(v, -32768, 32767) * 65536));
                break;
            case SampleType::Float:
                Append(out, v / 32768.0f);
                break;
        }
    }
}

}  // namespace media
