#include "media/PreviewStream.h"

#include <algorithm>
#include <cstring>

namespace media {

PreviewStream::PreviewStream(std::unique_ptr<Decoder> decoder, PcmFormat out)
    : decoder_(std::move(decoder)), converter_(decoder_->SampleRate(), decoder_->Channels(), out) {}

PreviewStream::~PreviewStream() = default;

std::size_t PreviewStream::Read(std::span<std::byte> out) {
    while (Buffered() < out.size() && DecodeChunk()) {
    }
    const std::size_t n = std::min(out.size(), Buffered());
    if (n > 0) {
        std::memcpy(out.data(), buffer_.data() + head_, n);
    }
    head_ += n;
    return n;
}

bool PreviewStream::DecodeChunk() {
    if (decoderDone_) {
        return false;
    }
    // What was read goes before more is added, so the buffer stays the size
    // of a chunk or two however long the track.
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
    if (decoder_->Feed(*this, kChunkFrames) == 0) {
        decoderDone_ = true;
    }
    return !decoderDone_;
}

bool PreviewStream::Write(std::span<const std::int16_t> samples) {
    converter_.Convert(samples, buffer_);
    return true;
}

}  // namespace media
