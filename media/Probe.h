#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// What an audio file holds, read from the file the way the player reads it:
// a WAV's header and the length of sound it really holds, an MP3's frames one
// after another. Nothing is read whole; any byte sequence gives an answer.
namespace media {

enum class Container {
    None,  // neither library reads it
    Wav,   // RIFF WAVE, plain or extensible
    Mp3,   // MPEG audio frames (any layer; the layer says which)
    Other  // anything else libsndfile reads: AIFF, FLAC, Ogg Vorbis, ...
};

enum class Fault {
    None,
    CannotOpen,    // the file system refused it
    Empty,         // no bytes at all
    NotAudio,      // neither library reads it
    WavTruncated,  // the header promises more sound than the file holds
    Mp3Damaged,    // the frames stop making sense part-way
    Mp3Truncated,  // the file ends part-way through a frame
};

struct Probe {
    std::filesystem::path file;
    std::uintmax_t fileSize = 0;
    Container container = Container::None;
    std::string formatName;  // "WAV (Microsoft)", "FLAC (Free Lossless Audio Codec)", "MP3"
    std::string encoding;    // "Signed 16 bit PCM", "32 bit float", "MPEG layer III"
    int sampleRate = 0;
    int channels = 0;
    int bitDepth = 0;  // of integer PCM samples; 0 for float and compressed sound
    bool floatSamples = false;
    std::int64_t frames = 0;  // sample frames (one sample per channel)
    int mpegLayer = 0;        // of the first MPEG frame
    int mpegFrames = 0;       // MPEG frames walked

    Fault fault = Fault::None;
    std::string reason;               // what the fault is, in words, when there is one
    std::uint64_t faultAt = 0;        // the byte where a damaged or cut MP3 goes wrong
    std::uint64_t declaredBytes = 0;  // of sound, as a WAV's header gives it
    std::uint64_t heldBytes = 0;      // of sound, as the WAV file really holds
    std::string sndfileError;         // why libsndfile did not read it, when it did not
    std::string mpegError;            // why libmpg123 found no frames, when it did not

    // The MP3 walk stopped at the scan limit, with every frame up to there
    // good; the rest of the file was not read.
    bool partial = false;
    std::uint64_t bytesRead = 0;  // what the probe cost

    double Seconds() const { return sampleRate > 0 ? double(frames) / sampleRate : 0.0; }
    // 16-bit PCM WAV in mono or stereo, or whole MPEG layer III frames: what
    // the player plays without conversion (whatever the file is named).
    bool PlaysAsIs() const;
};

struct ProbeOptions {
    // An MP3's frames are walked this far and no further: over an hour of
    // sound at 128 kbit/s, so every track a player holds in practice is walked
    // whole, while a file of gigabytes costs no more than this to check.
    std::uint64_t mp3ScanLimit = 64u * 1024 * 1024;
};

Probe ProbeFile(const std::filesystem::path& file, const ProbeOptions& options = {});

}  // namespace media
