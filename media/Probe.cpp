#include "media/Probe.h"

#include <algorithm>
#include <string_view>
#include <system_error>

#include "media/FileStream.h"
#include "media/Libraries.h"

namespace media {

namespace {

// Bytes of one sample, where a WAV stores every sample at a fixed width; 0
// where it does not (ADPCM and the like), and the data cannot be measured.
int SampleBytes(int subFormat) {
    switch (subFormat) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8:
        case SF_FORMAT_ULAW:
        case SF_FORMAT_ALAW:
            return 1;
        case SF_FORMAT_PCM_16:
            return 2;
        case SF_FORMAT_PCM_24:
            return 3;
        case SF_FORMAT_PCM_32:
        case SF_FORMAT_FLOAT:
            return 4;
        case SF_FORMAT_DOUBLE:
            return 8;
        default:
            return 0;
    }
}

int BitDepth(int subFormat) {
    const bool integer = subFormat == SF_FORMAT_PCM_S8 || subFormat == SF_FORMAT_PCM_U8 ||
                         subFormat == SF_FORMAT_PCM_16 || subFormat == SF_FORMAT_PCM_24 ||
                         subFormat == SF_FORMAT_PCM_32;
    return integer ? 8 * SampleBytes(subFormat) : 0;
}

// libsndfile trusts a WAV's data length only as far as the file reaches and
// quietly plays what is there; the player trusts the header. So the length
// the header gives is compared with the whole frames the file really holds.
void MeasureWavData(SNDFILE* file, const SF_INFO& info, Probe& probe) {
    const int width = SampleBytes(info.format & SF_FORMAT_SUBMASK);
    SF_CHUNK_INFO wanted{};
    wanted.id_size = 4;
    std::copy_n("data", 4, wanted.id);
    SF_CHUNK_ITERATOR* it = sf_get_chunk_iterator(file, &wanted);
    SF_CHUNK_INFO data{};
    if (width == 0 || !it || sf_get_chunk_size(it, &data) != SF_ERR_NO_ERROR) {
        return;
    }
    const std::uint64_t frameBytes = std::uint64_t(width) * std::uint64_t(info.channels);
    probe.declaredBytes = data.datalen;
    probe.heldBytes = std::uint64_t(info.frames) * frameBytes;
    if (probe.declaredBytes >= probe.heldBytes + frameBytes) {
        probe.fault = Fault::WavTruncated;
        probe.reason = "the header says the sound is " + std::to_string(probe.declaredBytes) +
                       " bytes long, but the file holds only " + std::to_string(probe.heldBytes);
    }
}

// True when libsndfile reads the file as something other than MPEG, which
// libmpg123 then walks frame by frame instead.
bool ReadWithSndfile(FileStream& stream, Probe& probe) {
    SF_INFO info{};
    SNDFILE* file = lib::OpenSndfile(stream, SFM_READ, info);
    if (!file) {
        probe.sndfileError = sf_strerror(nullptr);
        return false;
    }
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int sub = info.format & SF_FORMAT_SUBMASK;
    if (major == SF_FORMAT_MPEG) {
        sf_close(file);
        return false;
    }
    probe.container =
        major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX ? Container::Wav : Container::Other;
    probe.formatName = lib::FormatName(major);
    probe.encoding = lib::FormatName(sub);
    probe.sampleRate = info.samplerate;
    probe.channels = info.channels;
    probe.bitDepth = BitDepth(sub);
    probe.floatSamples = sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE;
    probe.frames = info.frames;
    if (probe.container == Container::Wav) {
        MeasureWavData(file, info, probe);
    }
    sf_close(file);
    return true;
}

const char* LayerName(int layer) {
    return layer == 1 ? "MPEG layer I" : layer == 2 ? "MPEG layer II" : "MPEG layer III";
}

void NoteFirstFrame(mpg123_handle* mh, Probe& probe) {
    mpg123_frameinfo info{};
    if (mpg123_info(mh, &info) == MPG123_OK) {
        probe.mpegLayer = info.layer;
        probe.sampleRate = static_cast<int>(info.rate);
        probe.channels = info.mode == MPG123_M_MONO ? 1 : 2;
    }
}

// Walks the frames from the start; the byte just past the last whole frame.
// `first` is where the first frame begins.
std::uint64_t WalkFrames(mpg123_handle* mh, std::uint64_t limit, Probe& probe,
                         std::uint64_t& first) {
    std::uint64_t end = 0;
    for (;;) {
        const int r = mpg123_framebyframe_next(mh);
        if (r != MPG123_OK && r != MPG123_NEW_FORMAT) {
            if (r != MPG123_DONE) {
                probe.mpegError = mpg123_strerror(mh);
            }
            return end;
        }
        if (++probe.mpegFrames == 1) {
            NoteFirstFrame(mh, probe);
        }
        unsigned long header = 0;
        unsigned char* body = nullptr;
        std::size_t bodySize = 0;
        mpg123_framedata(mh, &header, &body, &bodySize);
        const off_t at = mpg123_framepos(mh);
        if (at >= 0) {
            end = static_cast<std::uint64_t>(at) + 4 + bodySize;
            first = probe.mpegFrames == 1 ? static_cast<std::uint64_t>(at) : first;
        }
        if (end >= limit) {
            probe.partial = end < probe.fileSize;
            return end;
        }
    }
}

// Bytes past the last frame that begin like a frame are one cut short;
// anything else there (an ID3 or APE tag) the library has passed over.
bool CutShortAt(FileStream& stream, std::uint64_t end, std::uint64_t size) {
    unsigned char next[2] = {0, 0};
    if (end >= size || stream.Seek(static_cast<std::int64_t>(end), SEEK_SET) < 0) {
        return false;
    }
    const std::int64_t n = stream.Read(next, 2);
    return n >= 1 && next[0] == 0xFF && (n == 1 || (next[1] & 0xE0) == 0xE0);
}

// An ID3 tag (version 2) at the start, as MP3 files have and no other
// format does.
bool BeginsWithId3(FileStream& stream) {
    char magic[3] = {};
    const std::int64_t at = stream.Tell();
    const bool id3 = stream.Seek(0, SEEK_SET) == 0 && stream.Read(magic, 3) == 3 &&
                     std::string_view(magic, 3) == "ID3";
    stream.Seek(at, SEEK_SET);
    return id3;
}

// True when the file begins as MPEG audio does: with a frame, or with an
// ID3 tag before one. No other format libsndfile reads begins so.
bool ScanMpeg(FileStream& stream, const ProbeOptions& options, Probe& probe) {
    lib::Mpg123 mh = lib::OpenMpg123(stream, probe.mpegError);
    if (!mh) {
        return false;
    }
    std::uint64_t first = 0;
    const std::uint64_t end = WalkFrames(mh.get(), options.mp3ScanLimit, probe, first);
    if (probe.mpegFrames == 0) {
        if (probe.mpegError.empty()) {
            probe.mpegError = "no MPEG audio frame found";
        }
        return false;
    }
    const bool startsAsMpeg = first == 0 || BeginsWithId3(stream);
    probe.container = Container::Mp3;
    probe.formatName = "MPEG audio";
    probe.encoding = LayerName(probe.mpegLayer);
    const off_t length = mpg123_length(mh.get());
    probe.frames = length > 0 ? length : std::int64_t(probe.mpegFrames) * mpg123_spf(mh.get());
    mh.reset();
    if (!probe.mpegError.empty()) {
        probe.fault = Fault::Mp3Damaged;
        probe.faultAt = end;
        probe.reason = "the frames stop making sense at byte " + std::to_string(end) + " after " +
                       std::to_string(probe.mpegFrames) + " good frames (" + probe.mpegError + ")";
    } else if (!probe.partial && CutShortAt(stream, end, probe.fileSize)) {
        probe.fault = Fault::Mp3Truncated;
        probe.faultAt = end;
        probe.reason = "the file ends part-way through a frame at byte " + std::to_string(end) +
                       "; it was probably not copied whole";
    }
    return startsAsMpeg;
}

}  // namespace

bool Probe::PlaysAsIs() const {
    if (fault != Fault::None) {
        return false;
    }
    if (container == Container::Mp3) {
        return mpegLayer == 3;
    }
    return container == Container::Wav && bitDepth == 16 && (channels == 1 || channels == 2);
}

Probe ProbeFile(const std::filesystem::path& file, const ProbeOptions& options) {
    Probe probe;
    probe.file = file;
    std::error_code ec;
    probe.fileSize = std::filesystem::file_size(file, ec);
    std::string error;
    FileStream stream(file, FileStream::Mode::Read, error);
    if (ec || !stream.IsOpen()) {
        probe.fault = Fault::CannotOpen;
        probe.reason = ec ? ec.message() : error;
        return probe;
    }
    if (probe.fileSize == 0) {
        probe.fault = Fault::Empty;
        probe.reason = "the file is empty";
        return probe;
    }
    // MPEG audio is walked first, so that libsndfile never reads it: its own
    // MPEG reader prints libmpg123's warnings on odd frames, which a check
    // must not. Frames found further in may be chance sync words in another
    // format's bytes, so then libsndfile has its say first.
    Probe mpeg = probe;
    bool other = false;
    if (!ScanMpeg(stream, options, mpeg) && !CutShortAt(stream, 0, probe.fileSize)) {
        stream.Seek(0, SEEK_SET);
        other = ReadWithSndfile(stream, probe);
        mpeg.sndfileError = probe.sndfileError;
    }
    if (!other) {
        probe = std::move(mpeg);
    }
    if (probe.container == Container::None) {
        probe.fault = Fault::NotAudio;
        probe.reason = probe.sndfileError.empty()
                           ? "it is not MPEG audio (" + probe.mpegError + ")"
                           : "it is neither a sound file libsndfile reads (" + probe.sndfileError +
                                 ") nor MPEG audio (" + probe.mpegError + ")";
    }
    probe.bytesRead = stream.BytesRead();
    return probe;
}

}  // namespace media
