#include "media/Decoder.h"

#include <algorithm>
#include <vector>

#include "media/FileStream.h"
#include "media/Libraries.h"
#include "media/PlayerCheck.h"
#include "media/Probe.h"

namespace media {

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kBlockFrames = 2048;

class WavDecoder : public Decoder {
  public:
    WavDecoder(const Probe& probe, std::unique_ptr<FileStream> stream, SNDFILE* file)
        : Decoder(probe.sampleRate, probe.channels, probe.frames),
          stream_(std::move(stream)),
          file_(file) {}
    ~WavDecoder() override { sf_close(file_); }

  protected:
    std::int64_t Decode(std::span<std::int16_t> out) override {
        return sf_readf_short(file_, out.data(), static_cast<sf_count_t>(out.size()) / Channels());
    }

  private:
    std::unique_ptr<FileStream> stream_;  // where libsndfile reads; it must not move
    SNDFILE* file_;
};

class Mp3Decoder : public Decoder {
  public:
    Mp3Decoder(const Probe& probe, std::unique_ptr<FileStream> stream, lib::Mpg123 handle)
        : Decoder(probe.sampleRate, probe.channels, probe.frames),
          file_(probe.file),
          stream_(std::move(stream)),
          handle_(std::move(handle)) {}

  protected:
    std::int64_t Decode(std::span<std::int16_t> out) override {
        std::size_t bytes = 0;
        int r = MPG123_NEW_FORMAT;
        while (r == MPG123_NEW_FORMAT) {
            r = mpg123_read(handle_.get(), out.data(), out.size_bytes(), &bytes);
        }
        if (r != MPG123_OK && r != MPG123_DONE) {
            Fail(MediaError{file_, mpg123_strerror(handle_.get())});
        }
        return static_cast<std::int64_t>(bytes / sizeof(std::int16_t)) / Channels();
    }

  private:
    fs::path file_;
    std::unique_ptr<FileStream> stream_;  // where the handle reads; it must not move
    lib::Mpg123 handle_;
};

std::unique_ptr<Decoder> OpenWav(const Probe& probe, MediaError& error) {
    std::string reason;
    auto stream = std::make_unique<FileStream>(probe.file, FileStream::Mode::Read, reason);
    SF_INFO info{};
    SNDFILE* file = stream->IsOpen() ? lib::OpenSndfile(*stream, SFM_READ, info) : nullptr;
    if (!file) {
        error = {probe.file, stream->IsOpen() ? sf_strerror(nullptr) : reason};
        return nullptr;
    }
    return std::make_unique<WavDecoder>(probe, std::move(stream), file);
}

std::unique_ptr<Decoder> OpenMp3(const Probe& probe, MediaError& error) {
    std::string reason;
    auto stream = std::make_unique<FileStream>(probe.file, FileStream::Mode::Read, reason);
    lib::Mpg123 handle = stream->IsOpen() ? lib::OpenMpg123(*stream, reason) : nullptr;
    const long encoding = MPG123_ENC_SIGNED_16;
    if (handle) {
        mpg123_format_none(handle.get());
        if (mpg123_format(handle.get(), probe.sampleRate,
                          probe.channels == 1 ? MPG123_MONO : MPG123_STEREO,
                          encoding) != MPG123_OK) {
            reason = mpg123_strerror(handle.get());
            handle.reset();
        }
    }
    if (!handle) {
        error = {probe.file, reason};
        return nullptr;
    }
    return std::make_unique<Mp3Decoder>(probe, std::move(stream), std::move(handle));
}

}  // namespace

std::unique_ptr<Decoder> Decoder::Open(const fs::path& file, MediaError& error) {
    const Probe probe = ProbeFile(file);
    const PlayerCheck check = CheckForPlayer(probe, file.filename().string());
    if (check.verdict != Verdict::Plays) {
        error = {file, check.problem};
        return nullptr;
    }
    return probe.container == Container::Mp3 ? OpenMp3(probe, error) : OpenWav(probe, error);
}

std::int64_t Decoder::Feed(PcmSink& sink, std::int64_t maxFrames) {
    std::vector<std::int16_t> block(static_cast<std::size_t>(kBlockFrames * channels_));
    std::int64_t fed = 0;
    while (fed < maxFrames && !error_) {
        const std::int64_t want = std::min(kBlockFrames, maxFrames - fed);
        const std::int64_t got =
            Decode(std::span(block).first(static_cast<std::size_t>(want * channels_)));
        if (got <= 0) {
            break;
        }
        fed += got;
        if (!sink.Write(std::span(block).first(static_cast<std::size_t>(got * channels_)))) {
            break;
        }
    }
    return fed;
}

}  // namespace media
