#pragma once

#include <filesystem>
#include <string>

namespace media {

// Why an audio file could not be read, converted or played: the file and
// the reason, for the caller to say in its own way.
struct MediaError {
    std::filesystem::path file;
    std::string reason;

    std::string Message() const { return file.string() + ": " + reason; }
};

}  // namespace media
