#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "doctor/Finding.h"

// The player plays 16-bit PCM WAV files in mono or stereo and MPEG layer III
// files, and picks between them by the file's extension.
namespace doctor {

// What a WAV header says, as libsndfile reads it.
struct WavHeader {
    bool opened = false;
    std::string error;    // why libsndfile could not read it
    int majorFormat = 0;  // SF_FORMAT_WAV, SF_FORMAT_MPEG, ...
    int subFormat = 0;    // SF_FORMAT_PCM_16, ...
    int channels = 0;
    std::string formatName;  // "WAV (Microsoft)", for messages
    std::string encoding;    // "Signed 16 bit PCM", for messages
};
// `bytes` may be only the start of a file of `fileSize` bytes (0: all of
// it); the header is all that is read.
WavHeader ReadWavHeader(std::span<const std::uint8_t> bytes, std::uintmax_t fileSize = 0);

// What a walk over an MP3 file's frames found.
struct Mp3Scan {
    int frames = 0;
    int layer = 0;           // of the first frame
    std::size_t badAt = 0;   // where the frames stop making sense, when `error` is set
    std::string error;       // empty when every byte up to the end belongs to a frame or a tag
    bool truncated = false;  // the file ends part-way through a frame
};

// Walks an MP3 file's frames without decoding the sound. One scanner keeps
// one decoder handle for every file it is given.
class Mp3Scanner {
  public:
    Mp3Scanner();
    ~Mp3Scanner();
    Mp3Scanner(const Mp3Scanner&) = delete;
    Mp3Scanner& operator=(const Mp3Scanner&) = delete;

    Mp3Scan Scan(std::span<const std::uint8_t> bytes);

  private:
    struct Handle;
    Handle* handle_;
};

// What is wrong with an audio file `name` holding `bytes` for the player,
// with its file left empty for the caller to fill; nothing when it plays.
// For a WAV file `bytes` may be only its first kWavHeaderBytes of
// `fileSize`; should that say it does not play, the whole file is needed
// to say why.
inline constexpr std::size_t kWavHeaderBytes = 64 * 1024;
std::optional<Finding> InspectAudio(std::string_view name, std::span<const std::uint8_t> bytes,
                                    Mp3Scanner& mp3, std::uintmax_t fileSize = 0);

}  // namespace doctor
