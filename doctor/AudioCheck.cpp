#include "doctor/AudioCheck.h"

#include <mpg123.h>
#include <sndfile.h>

#include <algorithm>
#include <cstring>

#include "model/Text.h"

namespace doctor {

namespace {

// A file's bytes as libsndfile and libmpg123 read them: from memory, so
// each file is read from the card once.
struct Memory {
    std::span<const std::uint8_t> bytes;
    std::uintmax_t length = bytes.size();  // of the whole file; reads past `bytes` give nothing
    std::size_t at = 0;

    std::size_t Read(void* out, std::size_t count) {
        const std::size_t n = at >= bytes.size() ? 0 : std::min(count, bytes.size() - at);
        if (n > 0) {
            std::memcpy(out, bytes.data() + at, n);
        }
        at += n;
        return n;
    }
    std::int64_t Seek(std::int64_t offset, int whence) {
        const std::int64_t base = whence == SEEK_SET   ? 0
                                  : whence == SEEK_CUR ? static_cast<std::int64_t>(at)
                                                       : static_cast<std::int64_t>(length);
        const std::int64_t to = base + offset;
        if (to < 0) {
            return -1;  // past the end is allowed, as for a file; reads there give nothing
        }
        at = static_cast<std::size_t>(to);
        return to;
    }
};

sf_count_t SfLength(void* user) {
    return static_cast<sf_count_t>(static_cast<Memory*>(user)->length);
}
sf_count_t SfSeek(sf_count_t offset, int whence, void* user) {
    return static_cast<Memory*>(user)->Seek(offset, whence);
}
sf_count_t SfRead(void* out, sf_count_t count, void* user) {
    return static_cast<sf_count_t>(static_cast<Memory*>(user)->Read(
        out, static_cast<std::size_t>(std::max<sf_count_t>(0, count))));
}
sf_count_t SfWrite(const void*, sf_count_t, void*) {
    return 0;
}
sf_count_t SfTell(void* user) {
    return static_cast<sf_count_t>(static_cast<Memory*>(user)->at);
}

std::string FormatName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name) {
        return "unknown";
    }
    return info.name;
}

mpg123_ssize_t MpgRead(void* user, void* out, std::size_t count) {
    return static_cast<mpg123_ssize_t>(static_cast<Memory*>(user)->Read(out, count));
}
off_t MpgSeek(void* user, off_t offset, int whence) {
    return static_cast<off_t>(static_cast<Memory*>(user)->Seek(offset, whence));
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::size_t at, const char* text) {
    const std::size_t n = std::strlen(text);
    return at + n <= bytes.size() && std::memcmp(bytes.data() + at, text, n) == 0;
}

Finding Problem(Severity severity, const char* id, std::string problem, std::string action) {
    Finding f;
    f.severity = severity;
    f.id = id;
    f.problem = std::move(problem);
    f.action = std::move(action);
    return f;
}

Finding Mismatch(std::string_view ext, const std::string& holds, const char* action) {
    return Problem(Severity::Error, "content-mismatch",
                   text::Concat({"the file is named ", ext, " but holds ", holds,
                                 "; the player picks the decoder by the extension, so it "
                                 "will not play"}),
                   action);
}

}  // namespace

WavHeader ReadWavHeader(std::span<const std::uint8_t> bytes, std::uintmax_t fileSize) {
    WavHeader header;
    Memory memory{bytes, std::max<std::uintmax_t>(fileSize, bytes.size())};
    SF_VIRTUAL_IO io{SfLength, SfSeek, SfRead, SfWrite, SfTell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!file) {
        header.error = sf_strerror(nullptr);
        return header;
    }
    header.opened = true;
    header.majorFormat = info.format & SF_FORMAT_TYPEMASK;
    header.subFormat = info.format & SF_FORMAT_SUBMASK;
    header.channels = info.channels;
    sf_close(file);
    header.formatName = FormatName(header.majorFormat);
    header.encoding = FormatName(header.subFormat);
    return header;
}

struct Mp3Scanner::Handle {
    mpg123_handle* mh = nullptr;
};

Mp3Scanner::Mp3Scanner() : handle_(new Handle) {
    handle_->mh = mpg123_new(nullptr, nullptr);
    if (handle_->mh) {
        // A frame that does not follow on from the one before is a fault to
        // report, not something to skip over; and the library keeps quiet.
        mpg123_param(handle_->mh, MPG123_FLAGS, MPG123_QUIET | MPG123_NO_RESYNC, 0);
        mpg123_replace_reader_handle(handle_->mh, MpgRead, MpgSeek, nullptr);
    }
}

Mp3Scanner::~Mp3Scanner() {
    if (handle_->mh) {
        mpg123_delete(handle_->mh);
    }
    delete handle_;
}

Mp3Scan Mp3Scanner::Scan(std::span<const std::uint8_t> bytes) {
    Mp3Scan scan;
    mpg123_handle* mh = handle_->mh;
    if (!mh) {
        scan.error = "the MP3 decoder could not be started";
        return scan;
    }
    Memory memory{bytes};
    if (mpg123_open_handle(mh, &memory) != MPG123_OK) {
        scan.error = mpg123_strerror(mh);
        return scan;
    }
    std::size_t end = 0;  // just past the last whole frame
    for (;;) {
        const int r = mpg123_framebyframe_next(mh);
        if (r == MPG123_OK || r == MPG123_NEW_FORMAT) {
            if (++scan.frames == 1) {
                mpg123_frameinfo info{};
                if (mpg123_info(mh, &info) == MPG123_OK) {
                    scan.layer = info.layer;
                }
            }
            unsigned long header = 0;
            unsigned char* body = nullptr;
            std::size_t bodySize = 0;
            mpg123_framedata(mh, &header, &body, &bodySize);
            const off_t at = mpg123_framepos(mh);
            if (at >= 0) {
                end = static_cast<std::size_t>(at) + 4 + bodySize;
            }
            continue;
        }
        if (r != MPG123_DONE) {
            scan.error = mpg123_strerror(mh);
            scan.badAt = end;
        }
        break;
    }
    mpg123_close(mh);
    if (scan.frames == 0 && scan.error.empty()) {
        scan.error = "no MPEG audio frame found";
    }
    // Bytes past the last frame that begin like a frame are one cut short;
    // anything else there (an ID3 or APE tag) the library has passed over.
    if (scan.error.empty() && end < bytes.size() && bytes[end] == 0xFF &&
        (end + 1 == bytes.size() || (bytes[end + 1] & 0xE0) == 0xE0)) {
        scan.truncated = true;
        scan.badAt = end;
    }
    return scan;
}

std::optional<Finding> InspectAudio(std::string_view name, std::span<const std::uint8_t> bytes,
                                    Mp3Scanner& mp3, std::uintmax_t fileSize) {
    if (bytes.empty()) {
        return Problem(Severity::Error, "empty-file", "the file is empty",
                       "copy the audio file onto the card again");
    }
    if (text::HasExtension(name, ".WAV")) {
        const WavHeader wav = ReadWavHeader(bytes, fileSize);
        if (wav.opened &&
            (wav.majorFormat == SF_FORMAT_WAV || wav.majorFormat == SF_FORMAT_WAVEX)) {
            if (wav.subFormat == SF_FORMAT_PCM_16 && (wav.channels == 1 || wav.channels == 2)) {
                return std::nullopt;
            }
            return Problem(Severity::Error, "wav-format",
                           text::Concat({"the file holds ", wav.encoding, " audio in ",
                                         std::to_string(wav.channels),
                                         wav.channels == 1 ? " channel" : " channels",
                                         "; the player plays only 16-bit PCM in mono or stereo"}),
                           "convert it to a 16-bit PCM WAV file, mono or stereo");
        }
        if (wav.opened && wav.majorFormat != SF_FORMAT_MPEG) {
            return Mismatch(".WAV", wav.formatName + " audio",
                            "convert it to a 16-bit PCM WAV file, mono or stereo");
        }
        if (wav.opened || mp3.Scan(bytes).error.empty()) {
            return Mismatch(".WAV", "MP3 audio", "rename it to .MP3");
        }
        return Problem(
            Severity::Error, "wav-unreadable",
            text::Concat({"the file is not a WAV file that can be read (", wav.error, ")"}),
            "copy the file onto the card again, or convert it to a 16-bit PCM WAV file");
    }

    const Mp3Scan scan = mp3.Scan(bytes);
    if (scan.frames > 0 && scan.layer != 0 && scan.layer != 3) {
        return Problem(Severity::Error, "mp3-layer",
                       text::Concat({"the file holds MPEG layer ", std::to_string(scan.layer),
                                     " audio; the player plays only layer III (MP3)"}),
                       "convert it to an MP3 file");
    }
    if (!scan.error.empty() && StartsWith(bytes, 0, "RIFF")) {
        const WavHeader wav = ReadWavHeader(bytes);
        if (wav.opened && wav.majorFormat != SF_FORMAT_MPEG) {
            return Mismatch(".MP3", wav.formatName + " audio", "rename it to .WAV");
        }
    }
    if (scan.frames == 0) {
        return Problem(Severity::Error, "mp3-unreadable",
                       text::Concat({"the file is not an MP3 file (", scan.error, ")"}),
                       "copy the file onto the card again, or convert it to an MP3 file");
    }
    if (!scan.error.empty()) {
        return Problem(
            Severity::Error, "mp3-damaged",
            text::Concat({"the frames stop making sense at byte ", std::to_string(scan.badAt),
                          " after ", std::to_string(scan.frames), " good frames (", scan.error,
                          ")"}),
            "copy the file onto the card again, or encode it again");
    }
    if (scan.truncated) {
        return Problem(
            Severity::Error, "mp3-truncated",
            text::Concat({"the file ends part-way through a frame at byte ",
                          std::to_string(scan.badAt), "; it was probably not copied whole"}),
            "copy the file onto the card again");
    }
    return std::nullopt;
}

}  // namespace doctor
