// Any byte sequence as TUNBOX.CFG: the open must accept or reject it cleanly.
// The first byte picks the answer to the version question; the rest is the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/CardwrightDoc.h"

namespace {

class FixedAnswer : public Prompter {
  public:
    Answer answer = Answer::Yes;
    Answer Ask(const std::string&, Buttons buttons, Icon) override {
        return buttons == Buttons::YesNo ? answer : Answer::Ok;
    }
};

const std::filesystem::path& CardDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("cardwright-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(d / "SOUNDS");
        std::atexit([] {
            std::error_code ec;
            std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
            std::filesystem::remove_all(CardDir(), ec);
        });
        return d;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FixedAnswer prompter;
    static CCardwrightDoc doc(prompter);
    if (size == 0) {
        return 0;
    }
    prompter.answer = (data[0] & 1) ? Prompter::Answer::Yes : Prompter::Answer::No;
    const std::filesystem::path cfg = CardDir() / "TUNBOX.CFG";
    if (std::FILE* f = std::fopen(cfg.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    if (doc.OnOpenDocument(cfg)) {
        // Whatever was accepted must survive the pages' own reads.
        const CardConfig& c = *doc.GetConfig();
        for (int n = 0; n < layout::kTrackSlots; ++n) {
            (void)c.TrackName(n);
        }
        for (int p = 0; p < layout::kPlaylistCount; ++p) {
            (void)c.PlaylistEntry(p, 31);
        }
        doc.RebuildPlaylistSlots();
    }
    return 0;
}
