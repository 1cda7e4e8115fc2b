#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "media/Decoder.h"
#include "media/PcmConverter.h"

// A track as a sound device reads it: bytes in the device's format, decoded
// a few thousand frames ahead of what was asked for and never more, so that
// a long track costs neither the memory of the whole sound nor the time to
// decode it before the first is heard.
namespace media {

class PreviewStream : private PcmSink {
  public:
    // Frames decoded at a time: about a tenth of a second.
    static constexpr std::int64_t kChunkFrames = 4096;

    PreviewStream(std::unique_ptr<Decoder> decoder, PcmFormat out);
    ~PreviewStream() override;

    // Fills `out` as far as the sound goes; the bytes given, fewer than
    // asked only at the end of the sound or after a fault.
    std::size_t Read(std::span<std::byte> out);

    // Decoded bytes not yet read.
    std::size_t Buffered() const { return buffer_.size() - head_; }
    // All of the sound has been read, or a fault ended it.
    bool Finished() const { return decoderDone_ && Buffered() == 0; }
    // The fault that ended the sound early, naming the file.
    const std::optional<MediaError>& Error() const { return decoder_->Error(); }

    const Decoder& Source() const { return *decoder_; }
    const PcmFormat& Format() const { return converter_.Output(); }

  private:
    bool Write(std::span<const std::int16_t> samples) override;
    // Decodes one chunk more; false once the decoder has nothing left.
    bool DecodeChunk();

    std::unique_ptr<Decoder> decoder_;
    PcmConverter converter_;
    std::vector<std::byte> buffer_;
    std::size_t head_ = 0;  // where unread bytes start in `buffer_`
    bool decoderDone_ = false;
};

}  // namespace media
