// Any byte sequence as an audio file on a card: probing, judging, decoding
// for a preview and converting must each accept or refuse it cleanly. The
// first byte picks the name, and so the decoder the player would use.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "media/Convert.h"
#include "media/Decoder.h"
#include "media/PlayerCheck.h"

namespace {

const std::filesystem::path& WorkDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("cardwright-audio-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(WorkDir(), ec);
        });
        return d;
    }();
    return dir;
}

class Discard : public media::PcmSink {
  public:
    bool Write(std::span<const std::int16_t>) override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::filesystem::path file = WorkDir() / ((data[0] & 1) ? "TRACK.WAV" : "TRACK.MP3");
    if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    const media::Probe probe = media::ProbeFile(file);
    (void)media::CheckForPlayer(probe, file.filename().string());
    media::MediaError error;
    if (auto decoder = media::Decoder::Open(file, error)) {
        Discard sink;
        while (decoder->Feed(sink, 1 << 16) > 0) {
        }
    }
    (void)media::ConvertForPlayer(file, WorkDir() / "OUT.WAV");
    return 0;
}
