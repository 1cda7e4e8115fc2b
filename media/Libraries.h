#pragma once

#include <mpg123.h>
#include <sndfile.h>

#include <memory>
#include <string>

#include "media/FileStream.h"

// libsndfile and libmpg123 reading and writing through a FileStream, so
// neither library opens a file by a name it may not understand, and every
// byte they read is counted.
namespace media::lib {

// Why libsndfile or libmpg123 could not be loaded; empty when both load.
// The program loads them the first time it reads audio.
std::string LoadFailure();

// libsndfile on `stream`; null when it does not read (or cannot write) it.
SNDFILE* OpenSndfile(FileStream& stream, int mode, SF_INFO& info);

// "WAV (Microsoft)", "Signed 24 bit PCM": libsndfile's name for a major or
// sub format.
std::string FormatName(int format);

struct Mpg123Closer {
    void operator()(mpg123_handle* handle) const;
};
using Mpg123 = std::unique_ptr<mpg123_handle, Mpg123Closer>;

// A libmpg123 handle that reads `stream`, reports a frame that does not
// follow on from the one before instead of skipping to the next, keeps
// quiet, and trims an encoder's padding as a gapless player does. Null
// (with `error`) when the library cannot start or does not read the file.
Mpg123 OpenMpg123(FileStream& stream, std::string& error);

}  // namespace media::lib
