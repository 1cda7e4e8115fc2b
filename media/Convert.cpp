#include "media/Convert.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "media/FileStream.h"
#include "media/Libraries.h"

namespace media {

namespace {

namespace fs = std::filesystem;

constexpr sf_count_t kBlockFrames = 4096;
constexpr std::int64_t kCopyBlock = 64 * 1024;
constexpr std::uint64_t kWavHeaderBytes = 44;  // what libsndfile writes for 16-bit PCM

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using Sndfile = std::unique_ptr<SNDFILE, SndfileCloser>;

// Triangular dither of one step either way: the sum of two uniform values,
// so that the error of going down to 16 bits does not follow the signal.
class Tpdf {
  public:
    explicit Tpdf(std::uint32_t seed) : state_(seed != 0 ? seed : 1) {}
    float operator()() { return Uniform() - Uniform(); }

  private:
    float Uniform() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(state_ >> 8) * (1.0f / 16777216.0f);
    }
    std::uint32_t state_;
};

// A sample as libsndfile gives it, or silence for what is not a number: a
// float file may hold anything.
float Finite(float sample) {
    return std::isfinite(sample) ? sample : 0.0f;
}

class Job {
  public:
    Job(const fs::path& source, const fs::path& output, const ConvertOptions& options,
        ConvertResult& result)
        : source_(source), output_(output), options_(options), result_(result) {}

    bool Copy();
    bool Convert();

  private:
    bool Fail(const fs::path& file, std::string reason) {
        result_.error = MediaError{file, std::move(reason)};
        return false;
    }
    // Says how far it has got; false once the caller has asked to stop.
    bool Step(std::uint64_t done, std::uint64_t total) {
        if (options_.progress) {
            options_.progress(done, total);
        }
        result_.cancelled = options_.cancel && options_.cancel->load();
        return !result_.cancelled;
    }
    bool OpenBoth(FileStream& in, FileStream& out);
    bool ReadShorts(SNDFILE* in, SNDFILE* out);
    bool FindPeak(SNDFILE* in, float& peak);
    bool DitherDown(SNDFILE* in, SNDFILE* out);

    const fs::path& source_;
    const fs::path& output_;
    const ConvertOptions& options_;
    ConvertResult& result_;
    std::uint64_t frames_ = 0;  // of the source, for progress
};

bool Job::OpenBoth(FileStream& in, FileStream& out) {
    std::string error;
    in = FileStream(source_, FileStream::Mode::Read, error);
    if (!in.IsOpen()) {
        return Fail(source_, error);
    }
    out = FileStream(output_, FileStream::Mode::Write, error);
    return out.IsOpen() || Fail(output_, error);
}

bool Job::Copy() {
    FileStream in, out;
    if (!OpenBoth(in, out)) {
        return false;
    }
    std::vector<char> block(kCopyBlock);
    std::uint64_t done = 0;
    for (;;) {
        const std::int64_t n = in.Read(block.data(), kCopyBlock);
        if (n <= 0) {
            break;
        }
        if (out.Write(block.data(), n) != n) {
            return Fail(output_, "it could not be written in full; the card may be full");
        }
        done += static_cast<std::uint64_t>(n);
        if (!Step(done, result_.source.fileSize)) {
            return false;
        }
    }
    return out.Close() || Fail(output_, "it could not be written in full; the card may be full");
}

bool Job::ReadShorts(SNDFILE* in, SNDFILE* out) {
    const int channels = result_.source.channels;
    std::vector<short> block(static_cast<std::size_t>(kBlockFrames * channels));
    std::uint64_t done = 0;
    for (sf_count_t n; (n = sf_readf_short(in, block.data(), kBlockFrames)) > 0;) {
        if (sf_writef_short(out, block.data(), n) != n) {
            return Fail(output_, sf_strerror(out));
        }
        done += static_cast<std::uint64_t>(n);
        if (!Step(done, frames_)) {
            return false;
        }
    }
    return true;
}

bool Job::FindPeak(SNDFILE* in, float& peak) {
    const int channels = result_.source.channels;
    std::vector<float> block(static_cast<std::size_t>(kBlockFrames * channels));
    std::uint64_t done = 0;
    peak = 0.0f;
    for (sf_count_t n; (n = sf_readf_float(in, block.data(), kBlockFrames)) > 0;) {
        for (sf_count_t i = 0; i < n * channels; ++i) {
            peak = std::max(peak, std::fabs(Finite(block[static_cast<std::size_t>(i)])));
        }
        done += static_cast<std::uint64_t>(n);
        if (!Step(done, 2 * frames_)) {
            return false;
        }
    }
    return sf_seek(in, 0, SEEK_SET) == 0 || Fail(source_, "it cannot be read a second time");
}

// Goes down to 16 bits with dither. Should the loudest sample not fit, the
// whole file is scaled so that it just does, and the result says by how
// much; the dither alone may still touch the limits by a step.
bool Job::DitherDown(SNDFILE* in, SNDFILE* out) {
    float peak = 0.0f;
    if (!FindPeak(in, peak)) {
        return false;
    }
    const float gain = peak * 32768.0f > 32767.0f ? 32767.0f / (peak * 32768.0f) : 1.0f;
    result_.gainDb = gain < 1.0f ? 20.0 * std::log10(gain) : 0.0;
    const int channels = result_.source.channels;
    const std::size_t samples = static_cast<std::size_t>(kBlockFrames * channels);
    std::vector<float> block(samples);
    std::vector<short> shorts(samples);
    Tpdf dither(options_.ditherSeed);
    std::uint64_t done = frames_;
    for (sf_count_t n; (n = sf_readf_float(in, block.data(), kBlockFrames)) > 0;) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(n * channels); ++i) {
            const float v = Finite(block[i]) * 32768.0f * gain + dither();
            shorts[i] = static_cast<short>(std::clamp(std::lrint(v), -32768L, 32767L));
        }
        if (sf_writef_short(out, shorts.data(), n) != n) {
            return Fail(output_, sf_strerror(out));
        }
        done += static_cast<std::uint64_t>(n);
        if (!Step(done, 2 * frames_)) {
            return false;
        }
    }
    return true;
}

bool Job::Convert() {
    FileStream inStream, outStream;
    if (!OpenBoth(inStream, outStream)) {
        return false;
    }
    SF_INFO inInfo{};
    Sndfile in(lib::OpenSndfile(inStream, SFM_READ, inInfo));
    if (!in) {
        return Fail(source_, sf_strerror(nullptr));
    }
    SF_INFO outInfo{};
    outInfo.samplerate = inInfo.samplerate;
    outInfo.channels = inInfo.channels;
    outInfo.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    Sndfile out(lib::OpenSndfile(outStream, SFM_WRITE, outInfo));
    if (!out) {
        return Fail(output_, sf_strerror(nullptr));
    }
    frames_ = static_cast<std::uint64_t>(std::max<sf_count_t>(inInfo.frames, 0));
    const int depth = result_.source.bitDepth;
    if (!(depth == 8 || depth == 16 ? ReadShorts(in.get(), out.get())
                                    : DitherDown(in.get(), out.get()))) {
        return false;
    }
    if (sf_close(out.release()) != 0) {
        return Fail(output_, "it could not be written in full; the card may be full");
    }
    return outStream.Close() ||
           Fail(output_, "it could not be written in full; the card may be full");
}

}  // namespace

ConvertPlan PlanConversion(const Probe& probe) {
    ConvertPlan plan;
    if (probe.fault != Fault::None) {
        plan.refusal = MediaError{probe.file, probe.reason};
    } else if (probe.channels > 2) {
        plan.refusal = MediaError{probe.file, "it has " + std::to_string(probe.channels) +
                                                  " channels; the player plays only mono or "
                                                  "stereo"};
    } else if (probe.PlaysAsIs()) {
        plan.outputBytes = probe.fileSize;
    } else {
        plan.action = Action::Convert;
        plan.outputBytes =
            kWavHeaderBytes + std::uint64_t(std::max<std::int64_t>(probe.frames, 0)) *
                                  std::uint64_t(probe.channels) * 2;
    }
    return plan;
}

ConvertResult ConvertForPlayer(const fs::path& source, const fs::path& output,
                               const ConvertOptions& options) {
    ConvertResult result;
    result.source = ProbeFile(source);
    const ConvertPlan plan = PlanConversion(result.source);
    if (plan.refusal) {
        result.error = plan.refusal;
        return result;
    }
    result.action = plan.action;
    std::error_code ec;
    if (fs::equivalent(source, output, ec)) {
        result.error = MediaError{output, "it is the file being converted"};
        return result;
    }
    Job job(source, output, options, result);
    if (!(plan.action == Action::Copy ? job.Copy() : job.Convert())) {
        fs::remove(output, ec);
    }
    return result;
}

}  // namespace media
