#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <vector>

// A tone of `frames` sample frames at `peak` (1.0: full scale), written by
// libsndfile in `format`; MP3 at 44.1 kHz, everything else at 22.05 kHz.
inline void WriteTone(const std::filesystem::path& path, int format, float peak = 0.5f,
                      int channels = 2, sf_count_t frames = 6615) {
    SF_INFO info{};
    info.samplerate = (format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG ? 44100 : 22050;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    std::vector<float> samples(static_cast<std::size_t>(frames * channels));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto frame = static_cast<float>(i / static_cast<std::size_t>(channels));
        samples[i] = peak * std::sin(frame * 0.05f + static_cast<float>(i % 2));
    }
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
}
