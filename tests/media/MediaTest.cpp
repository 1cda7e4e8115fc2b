#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstring>

#include "TestSupport.h"
#include "media/Convert.h"
#include "media/Decoder.h"
#include "media/PcmConverter.h"
#include "media/PlayerCheck.h"
#include "media/PreviewStream.h"

namespace {

namespace fs = std::filesystem;
using namespace media;

constexpr int kRate = 22050;
constexpr int kFrames = kRate * 3 / 10;

// A stereo tone of 0.3 s at `peak` (1.0: full scale), written by libsndfile.
void WriteTone(const fs::path& path, int format, float peak, int channels = 2) {
    SF_INFO info{};
    info.samplerate = format == (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) ? 44100 : kRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<float> samples(static_cast<std::size_t>(kFrames * channels));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = peak * std::sin(static_cast<float>(i / channels) * 0.07f + i % channels);
    }
    sf_writef_float(file, samples.data(), kFrames);
    sf_close(file);
}

std::vector<float> ReadFloats(const fs::path& path, int& channels) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    channels = info.channels;
    return samples;
}

// Every sample within a dither step and a rounding of the source's, once
// scaled as the result says: a clipped or shifted sample is far off.
void ExpectSameSound(const fs::path& source, const fs::path& output, double gainDb) {
    int channels = 0;
    const std::vector<float> in = ReadFloats(source, channels);
    const std::vector<float> out = ReadFloats(output, channels);
    ASSERT_EQ(in.size(), out.size());
    const double gain = 32768.0 * std::pow(10.0, gainDb / 20.0);
    double worst = 0.0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        worst = std::max(worst, std::fabs(in[i] * gain - out[i] * 32768.0));
    }
    EXPECT_LE(worst, 1.5) << source;
}

struct Row {
    const char* name;
    int format;
    float peak;
    Action action;
    double gainDb;  // what the result reports, to 0.01 dB; NAN: anything
};

TEST(Convert, EveryKindComesOutAsThePlayerPlaysIt) {
    const Row rows[] = {
        {"deep.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 0.9f, Action::Convert, 0.0},
        {"loud.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1.5f, Action::Convert, -3.52},
        {"lossless.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 0.9f, Action::Convert, 0.0},
        {"vorbis.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.5f, Action::Convert, NAN},
        {"apple.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 0.5f, Action::Convert, 0.0},
        {"plain.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.5f, Action::Copy, 0.0},
        {"song.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 0.5f, Action::Copy, 0.0},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const fs::path source = dir / row.name;
        const fs::path output = dir / (std::string("out-") + row.name + ".wav");
        WriteTone(source, row.format, row.peak);
        const Probe before = ProbeFile(source);
        const ConvertResult result = ConvertForPlayer(source, output);
        ASSERT_TRUE(result.Ok()) << result.error->Message();
        EXPECT_EQ(result.action, row.action);
        if (!std::isnan(row.gainDb)) {
            EXPECT_NEAR(result.gainDb, row.gainDb, 0.01);
        }
        const Probe after = ProbeFile(output);
        EXPECT_TRUE(after.PlaysAsIs());
        EXPECT_EQ(after.frames, before.frames);
        EXPECT_EQ(after.fileSize, PlanConversion(before).outputBytes);
        if (row.action == Action::Copy) {
            EXPECT_EQ(ReadBytes(output), ReadBytes(source));
        } else {
            ExpectSameSound(source, output, result.gainDb);
        }
    }
}

TEST(Convert, WhatCannotBePlayedIsRefusedWithNothingWritten) {
    TempDir dir;
    Touch(dir / "notes.wav", "These are the show notes, not sound.\n");
    WriteTone(dir / "cut.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.5f);
    fs::resize_file(dir / "cut.wav", 2000);
    WriteTone(dir / "surround.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 0.5f, 6);
    for (const char* name : {"notes.wav", "cut.wav", "surround.wav"}) {
        const ConvertResult result = ConvertForPlayer(dir / name, dir / "out.wav");
        ASSERT_TRUE(result.error) << name;
        EXPECT_EQ(result.error->file, dir / name);
        EXPECT_FALSE(result.error->reason.empty());
        EXPECT_FALSE(fs::exists(dir / "out.wav")) << name;
    }
}

TEST(Convert, ACancelledConversionOrCopyLeavesNoOutput) {
    TempDir dir;
    WriteTone(dir / "a.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0.5f);
    WriteTone(dir / "a.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 0.5f);
    for (const char* name : {"a.wav", "a.mp3"}) {
        std::atomic<bool> cancel = false;
        int calls = 0;
        ConvertOptions options;
        options.cancel = &cancel;
        options.progress = [&](std::uint64_t done, std::uint64_t total) {
            EXPECT_LE(done, total);
            cancel = ++calls == 1;
        };
        const ConvertResult result = ConvertForPlayer(dir / name, dir / "out.wav", options);
        EXPECT_TRUE(result.cancelled) << name;
        EXPECT_EQ(calls, 1);
        EXPECT_FALSE(fs::exists(dir / "out.wav")) << name;
    }
}

TEST(Probe, AWavHeaderPromisingMoreThanTheFileHoldsIsFound) {
    TempDir dir;
    WriteTone(dir / "a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.5f);
    const Bytes whole = ReadBytes(dir / "a.wav");
    Bytes absurd = whole;
    const std::uint8_t unset[4] = {0xF0, 0xFF, 0xFF, 0xFF};  // 0xFFFFFFF0
    std::copy(unset, unset + 4, absurd.begin() + 40);
    WriteBytes(dir / "absurd.wav", absurd);
    fs::resize_file(dir / "a.wav", whole.size() - 1001);
    for (const auto& [name, declared] :
         {std::pair("a.wav", whole.size() - 44), std::pair("absurd.wav", 0xFFFFFFF0ul)}) {
        const Probe probe = ProbeFile(dir / name);
        EXPECT_EQ(probe.fault, Fault::WavTruncated) << name;
        EXPECT_EQ(probe.declaredBytes, declared);
        EXPECT_EQ(CheckForPlayer(probe, "A.WAV").verdict, Verdict::WavTruncated);
    }
    EXPECT_EQ(ProbeFile(dir / "a.wav").heldBytes, (whole.size() - 44 - 1001) / 4 * 4);
}

TEST(Probe, AnMp3OfGigabytesCostsLittleToCheck) {
    TempDir dir;
    const fs::path mp3 = dir / "long.mp3";
    WriteTone(mp3, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 0.5f);
    const Probe whole = ProbeFile(mp3);
    ASSERT_TRUE(whole.PlaysAsIs()) << whole.reason;
    EXPECT_GT(whole.mpegFrames, 5);

    ProbeOptions shortWalk;
    shortWalk.mp3ScanLimit = whole.fileSize / 2;
    const Probe part = ProbeFile(mp3, shortWalk);
    EXPECT_TRUE(part.partial);
    EXPECT_TRUE(part.PlaysAsIs());
    EXPECT_LT(part.mpegFrames, whole.mpegFrames);

    // Sparse: gigabytes of zeros after the frames, as a cut copy leaves.
    fs::resize_file(mp3, std::uintmax_t{2} << 30);
    const Probe huge = ProbeFile(mp3);
    EXPECT_EQ(huge.fault, Fault::Mp3Damaged);
    EXPECT_LE(huge.faultAt, whole.fileSize);
    EXPECT_LT(huge.bytesRead, 1u << 20);
}

class FrameCount : public PcmSink {
  public:
    bool Write(std::span<const std::int16_t> samples) override {
        samples_ += static_cast<std::int64_t>(samples.size());
        return true;
    }
    std::int64_t samples_ = 0;
};

TEST(Decoder, FeedsEveryFrameOfWhatPlaysAndRefusesWhatIsBroken) {
    TempDir dir;
    WriteTone(dir / "a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.5f);
    WriteTone(dir / "a.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 0.5f, 1);
    for (const char* name : {"a.wav", "a.mp3"}) {
        MediaError error;
        const auto decoder = Decoder::Open(dir / name, error);
        ASSERT_TRUE(decoder) << error.Message();
        FrameCount sink;
        std::int64_t fed = 0;
        while (const std::int64_t n = decoder->Feed(sink, 1000)) {
            fed += n;
        }
        EXPECT_FALSE(decoder->Error());
        int channels = 0;
        const auto samples = static_cast<std::int64_t>(ReadFloats(dir / name, channels).size());
        EXPECT_EQ(fed, samples / channels) << name;
        EXPECT_EQ(sink.samples_, fed * decoder->Channels());
    }
    fs::resize_file(dir / "a.wav", 1000);
    MediaError error;
    EXPECT_FALSE(Decoder::Open(dir / "a.wav", error));
    EXPECT_NE(error.reason.find("the header says"), std::string::npos) << error.reason;
}

// The samples of `bytes` in `type`, in 16-bit units, to compare across types.
std::vector<double> Samples(const std::vector<std::byte>& bytes, SampleType type) {
    std::vector<double> out;
    const int size = PcmFormat{1, 1, type}.BytesPerSample();
    for (std::size_t i = 0; i + size <= bytes.size(); i += static_cast<std::size_t>(size)) {
        std::uint8_t u8 = 0;
        std::int16_t s16 = 0;
        std::int32_t s32 = 0;
        float f = 0;
        switch (type) {
            case SampleType::UInt8:
                std::memcpy(&u8, &bytes[i], 1);
                out.push_back((u8 - 128) * 256.0);
                break;
            case SampleType::Int16:
                std::memcpy(&s16, &bytes[i], 2);
                out.push_back(s16);
                break;
            case SampleType::Int32:
                std::memcpy(&s32, &bytes[i], 4);
                out.push_back(s32 / 65536.0);
                break;
            case SampleType::Float:
                std::memcpy(&f, &bytes[i], 4);
                out.push_back(f * 32768.0);
                break;
        }
    }
    return out;
}

TEST(PcmConverter, EveryOutputFormatCarriesTheSameSound) {
    struct Case {
        const char* name;
        int inChannels;
        std::vector<std::int16_t> in;
        PcmFormat out;
        std::vector<double> expected;  // in 16-bit units
        double tolerance;
    };
    const std::vector<std::int16_t> stereo{16384, -16384, -32768, 32767, 100, 300};
    const Case cases[] = {
        {"as it is",
         2,
         stereo,
         {100, 2, SampleType::Int16},
         {16384, -16384, -32768, 32767, 100, 300},
         0},
        {"8 bit",
         2,
         stereo,
         {100, 2, SampleType::UInt8},
         {16384, -16384, -32768, 32512, 0, 256},
         0},
        {"32 bit",
         2,
         stereo,
         {100, 2, SampleType::Int32},
         {16384, -16384, -32768, 32767, 100, 300},
         0},
        {"float to one speaker", 2, stereo, {100, 1, SampleType::Float}, {0, -0.5, 200}, 1e-3},
        {"mono to the front of four",
         1,
         {1000, -7},
         {100, 4, SampleType::Int16},
         {1000, 1000, 0, 0, -7, -7, 0, 0},
         0},
    };
    for (const Case& c : cases) {
        PcmConverter converter(100, c.inChannels, c.out);
        std::vector<std::byte> bytes;
        converter.Convert(c.in, bytes);
        const std::vector<double> got = Samples(bytes, c.out.type);
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i], c.expected[i], c.tolerance) << c.name << " sample " << i;
        }
    }
}

TEST(PcmConverter, AnotherRateFollowsTheSoundAcrossBlocks) {
    // A ramp rising 10 a frame: every frame between is on it, whatever the
    // rate, and fed in ragged blocks it comes out as fed at once.
    std::vector<std::int16_t> ramp(101);
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<std::int16_t>(10 * i);
    }
    for (const int outRate : {44100, 48000, 8000}) {
        PcmConverter whole(22050, 1, {outRate, 1, SampleType::Float});
        PcmConverter blocks(22050, 1, {outRate, 1, SampleType::Float});
        std::vector<std::byte> once, ragged;
        whole.Convert(ramp, once);
        for (std::size_t at = 0; at < ramp.size(); at += 7) {
            blocks.Convert(std::span(ramp).subspan(at, std::min<std::size_t>(7, ramp.size() - at)),
                           ragged);
        }
        EXPECT_EQ(once, ragged) << outRate;
        const std::vector<double> got = Samples(once, SampleType::Float);
        const double step = 22050.0 / outRate;
        EXPECT_EQ(got.size(), static_cast<std::size_t>(std::ceil(100 / step))) << outRate;
        for (std::size_t k = 0; k < got.size(); ++k) {
            EXPECT_NEAR(got[k], 10 * step * static_cast<double>(k), 0.01) << outRate << " " << k;
        }
    }
}

TEST(PreviewStream, DecodesAChunkAheadAndGivesTheWholeSoundInTheDevicesFormat) {
    TempDir dir;
    WriteTone(dir / "a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.5f);
    const struct {
        PcmFormat format;
        std::size_t bytes;
    } cases[] = {
        {{kRate, 2, SampleType::Int16}, kFrames * 4},
        {{2 * kRate, 1, SampleType::Float}, 2 * (kFrames - 1) * 4},
    };
    for (const auto& c : cases) {
        MediaError error;
        PreviewStream stream(Decoder::Open(dir / "a.wav", error), c.format);
        std::vector<std::byte> read(999);
        std::size_t total = 0;
        std::size_t mostAhead = 0;
        while (const std::size_t n = stream.Read(read)) {
            total += n;
            mostAhead = std::max(mostAhead, stream.Buffered());
            EXPECT_TRUE(n == read.size() || stream.Finished());
        }
        EXPECT_EQ(total, c.bytes);
        EXPECT_TRUE(stream.Finished());
        EXPECT_FALSE(stream.Error());
        // Never more than one chunk of decoded sound waits to be read.
        EXPECT_LE(mostAhead, static_cast<std::size_t>(PreviewStream::kChunkFrames) *
                                 (c.format.sampleRate / kRate) * c.format.BytesPerFrame());
    }
}

}  // namespace
