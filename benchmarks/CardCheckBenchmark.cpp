// The check of a full card (255 audio files of three seconds, WAV and MP3)
// beside reading the same bytes with plain reads. Prints the Google Benchmark
// table, then the ratio.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "RatioReporter.h"
#include "doctor/CardCheck.h"
#include "model/CardwrightDoc.h"

namespace fs = std::filesystem;

namespace {

class Silent : public Prompter {
  public:
    Answer Ask(const std::string&, Buttons, Icon) override { return Answer::Ok; }
};

constexpr int kFiles = 255;
constexpr int kSeconds = 3;

void WriteWav(const fs::path& path, int channels) {
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<short> samples(static_cast<std::size_t>(info.samplerate * kSeconds * channels));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<short>(static_cast<int>(i * 97 % 4000) - 2000);
    }
    sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

// MPEG-1 layer III at 128 kbit/s and 44.1 kHz: 38.28 frames a second.
void WriteMp3(const fs::path& path) {
    std::vector<char> frame(417, 0);
    frame[0] = static_cast<char>(0xFF);
    frame[1] = static_cast<char>(0xFB);
    frame[2] = static_cast<char>(0x90);
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < kSeconds * 39; ++i) {
        out.write(frame.data(), static_cast<std::streamsize>(frame.size()));
    }
}

const fs::path& Card() {
    static const fs::path card = [] {
        const fs::path base =
            fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        const fs::path dir = base / "cardwright-bench-check";
        fs::remove_all(dir);
        fs::create_directories(dir / "SOUNDS");
        for (int i = 0; i < kFiles; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "TRACK%03d.%s", i + 1, i % 2 ? "MP3" : "WAV");
            if (i % 2) {
                WriteMp3(dir / "SOUNDS" / name);
            } else {
                WriteWav(dir / "SOUNDS" / name, 1 + i % 4 / 2);
            }
        }
        Silent prompter;
        CCardwrightDoc doc(prompter);
        doc.SetExecutablePath(dir / "Cardwright.exe");
        doc.OnNewDocument();
        doc.SetPathName(dir / "TUNBOX.CFG");
        doc.CountTracks(true);
        doc.GetConfig()->SetPlayerModel(PlayerModel::TunboxC40);
        doc.OnSaveDocument(dir / "TUNBOX.CFG");
        return dir;
    }();
    return card;
}

void BM_CheckFullCard(benchmark::State& state) {
    const fs::path& card = Card();
    for (auto _ : state) {
        const auto result = doctor::CheckCard(card);
        if (result.findings.size() > 1) {  // the folder's note at most
            state.SkipWithError(result.findings[0].problem.c_str());
            break;
        }
    }
}
BENCHMARK(BM_CheckFullCard)->Unit(benchmark::kMillisecond);

std::size_t ReadWhole(const fs::path& path, std::vector<char>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::size_t total = 0;
    for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) {
        total += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return total;
}

// What any check must do at least: list the card and read every byte of its
// card files and audio files once.
void BM_PlainReads(benchmark::State& state) {
    const fs::path& card = Card();
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::size_t total = ReadWhole(card / "TUNBOX.CFG", buffer);
        total += ReadWhole(card / "SCHEDULE.SCH", buffer);
        for (const auto& e : fs::directory_iterator(card)) {
            benchmark::DoNotOptimize(e.path());
        }
        for (const auto& e : fs::directory_iterator(card / "SOUNDS")) {
            total += ReadWhole(e.path(), buffer);
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_PlainReads)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunWithSummary(argc, argv, [](RatioReporter::Times& times) {
        const double ours = times["BM_CheckFullCard"];
        const double raw = times["BM_PlainReads"];
        if (ours > 0 && raw > 0) {
            std::printf("check of %d files %10.2f ms vs %10.2f ms of plain reads: ratio %.2f\n",
                        kFiles, ours, raw, ours / raw);
        }
    });
}
