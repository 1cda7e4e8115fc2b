// Open and save of a full card, and the track reconciliation of a full
// SOUNDS directory, each beside the raw cost of the same file-system work.
// Prints the Google Benchmark table, then the ratios.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "model/CardwrightDoc.h"
#include "model/ConfigFile.h"
#include "model/KeldaFile.h"
#include "model/ScheduleSet.h"

namespace fs = std::filesystem;

namespace {

class Silent : public Prompter {
  public:
    Answer Ask(const std::string&, Buttons, Icon) override { return Answer::Ok; }
};

fs::path MakeDir(const std::string& name) {
    // On tmpfs where there is one, so that the figures show this program's own
    // work rather than the disk's write-back heuristics.
    const fs::path base =
        fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path dir = base / ("cardwright-bench-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir / "SOUNDS");
    return dir;
}

// 255 named tracks with settings, eight full playlists, 60 schedules with
// entries and busy day and weekday tables.
void FillFullCard(CCardwrightDoc& doc) {
    CardConfig& c = *doc.GetConfig();
    c.SetPlayerModel(PlayerModel::TunboxC40);
    for (int n = 1; n <= 255; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "TRACK%03d.MP3", n);
        c.SetTrackName(n, name);
        c.Set(field::kEndAction, n, playcode::kNextHigher);
        c.Set(field::kEndDelay, n, static_cast<std::uint32_t>(n));
        c.Set(field::kFilePosition, n, static_cast<std::uint32_t>(n));
    }
    for (int p = 0; p < 8; ++p) {
        c.SetPlaylistCount(p, 31);
        for (int k = 0; k < 31; ++k) {
            c.SetPlaylistEntry(p, k, c.TrackName(1 + (p * 31 + k) % 255));
        }
    }
    c.RebuildPlaylistSlots();
    ScheduleSet& s = doc.Schedules();
    for (int n = 1; n <= 60; ++n) {
        for (int h = 0; h < 24; ++h) {
            s.AddScheduleEntry(n, ScheduleSet::MakeEntry(h, (n * 7 + h) % 60, h % 2 == 0, n));
        }
    }
    for (int m = 0; m < 12; ++m) {
        for (int d = 0; d < 31; ++d) {
            s.SetDaySchedule(m, d, static_cast<std::uint8_t>(1 + (m * 31 + d) % 60));
        }
        for (int w = 0; w < 7; ++w) {
            s.SetWeekdaySchedule(m, w, static_cast<std::uint8_t>(1 + (m + w) % 60));
        }
    }
}

struct CardBench {
    fs::path dir = MakeDir("card");
    fs::path program = dir.parent_path() / "cardwright-bench-program";
    Silent prompter;
    CCardwrightDoc doc{prompter};

    CardBench() {
        std::ofstream(program, std::ios::binary) << std::string(64 * 1024, 'p');
        // A full card carries the audio its tracks name.
        for (int n = 1; n <= 255; ++n) {
            char name[16];
            std::snprintf(name, sizeof name, "TRACK%03d.MP3", n);
            std::ofstream(dir / "SOUNDS" / name);
        }
        doc.SetExecutablePath(program);
        FillFullCard(doc);
        doc.OnSaveDocument(dir / "TUNBOX.CFG");
    }
};

void WriteRaw(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
        ::close(fd);
    }
}

void ReadRaw(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        bytes.resize(static_cast<std::size_t>(fs::file_size(path)));
        benchmark::DoNotOptimize(::read(fd, bytes.data(), bytes.size()));
        ::close(fd);
    }
}

// Replaces a file the safe way, as a save must, but with bytes made
// beforehand: a temporary file beside it, written, synced and renamed over it,
// then the folder synced so the rename itself is kept.
void WriteSafe(const fs::path& dir, const char* name, const std::vector<std::uint8_t>& bytes) {
    const fs::path temp = dir / "~FLOOR.TMP";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    benchmark::DoNotOptimize(::fsync(fd));
    ::close(fd);
    benchmark::DoNotOptimize(::rename(temp.c_str(), (dir / name).c_str()));
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    benchmark::DoNotOptimize(::fsync(dirFd));
    ::close(dirFd);
}

// A bare listing: each entry's name and kind, as the directory gives them.
struct Listed {
    std::string name;
    unsigned char kind;
};
void ListBare(const fs::path& dir, std::vector<Listed>& entries) {
    entries.clear();
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) {
        return;
    }
    while (const dirent* e = ::readdir(d)) {
        entries.push_back({e->d_name, e->d_type});
    }
    ::closedir(d);
    benchmark::DoNotOptimize(entries.data());
}

// Each comparison runs the program's work and its floor in turn, one of each
// per iteration, so that both see the same machine: a busy moment then
// slows both rather than one. The iteration time is the program's; the
// totals of both give the ratio printed after the table.
struct Totals {
    double ours = 0;
    double floor = 0;
};
std::map<std::string, Totals>& AllTotals() {
    static std::map<std::string, Totals> totals;
    return totals;
}

template <typename Ours, typename Floor>
void InTurn(benchmark::State& state, const std::string& line, Ours&& ours, Floor&& floor) {
    using Clock = std::chrono::steady_clock;
    Totals& totals = AllTotals()[line];
    double oursHere = 0;
    double floorHere = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        ours();
        const auto middle = Clock::now();
        floor();
        const auto end = Clock::now();
        const double o = std::chrono::duration<double>(middle - start).count();
        oursHere += o;
        floorHere += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(o);
    }
    totals.ours += oursHere;
    totals.floor += floorHere;
    state.counters["floor_us"] = 1e6 * floorHere / static_cast<double>(state.iterations());
    state.counters["ratio"] = floorHere > 0 ? oursHere / floorHere : 0;
}

// A folder beside the card's for a floor that writes, so that its files never
// stand in for the card's own.
fs::path FloorDir(const CardBench& b) {
    const fs::path dir = b.dir.parent_path() / "cardwright-bench-floor";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* name : {"TUNBOX.CFG", "SCHEDULE.SCH", "KELDA.CFG", "Cardwright.exe"}) {
        std::error_code ec;
        fs::copy_file(b.dir / name, dir / name, fs::copy_options::overwrite_existing, ec);
    }
    return dir;
}

// A save after an edit of a card that already holds this program: the three
// card files are written (the serial address, which each of them carries,
// changes every time), the program copy is not. `floor` is given the folder
// it writes in and the card's files, encoded and read beforehand.
struct Encoded {
    std::vector<std::uint8_t> cfg, sch, kelda, program;
};
template <typename Floor>
void SaveAgainst(benchmark::State& state, const std::string& line, Floor&& floor) {
    CardBench b;
    const fs::path floorDir = FloorDir(b);
    Encoded files{configfile::Encode(*b.doc.GetConfig()), b.doc.Schedules().Serialize(0),
                  keldafile::Encode(*b.doc.GetConfig()), {}};
    ReadRaw(b.program, files.program);
    std::uint32_t serial = 0;
    InTurn(
        state, line,
        [&] {
            b.doc.GetConfig()->Set(field::kSerialAddress, serial ^= 1);
            benchmark::DoNotOptimize(b.doc.OnSaveDocument(b.dir / "TUNBOX.CFG"));
        },
        [&] { floor(floorDir, files); });
}

// Against the same three files, each replaced the safe way.
void BM_SaveFullCard(benchmark::State& state) {
    SaveAgainst(state, "save (safe floor)", [](const fs::path& dir, const Encoded& f) {
        WriteSafe(dir, "TUNBOX.CFG", f.cfg);
        WriteSafe(dir, "SCHEDULE.SCH", f.sch);
        WriteSafe(dir, "KELDA.CFG", f.kelda);
    });
}
BENCHMARK(BM_SaveFullCard)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Against the four files, the program copy too, each written with one write
// call and no sync.
void BM_SaveAgainstPlainWrites(benchmark::State& state) {
    SaveAgainst(state, "save (plain writes)", [](const fs::path& dir, const Encoded& f) {
        WriteRaw(dir / "TUNBOX.CFG", f.cfg);
        WriteRaw(dir / "SCHEDULE.SCH", f.sch);
        WriteRaw(dir / "KELDA.CFG", f.kelda);
        WriteRaw(dir / "Cardwright.exe", f.program);
    });
}
BENCHMARK(BM_SaveAgainstPlainWrites)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Opening a full card against what opening cannot do without: the two files
// it reads, and the listings of the card's root (for audio and leftovers
// lying there) and of SOUNDS (for the audio on the card).
void BM_OpenFullCard(benchmark::State& state) {
    CardBench b;
    std::vector<std::uint8_t> bytes;
    std::vector<Listed> entries;
    InTurn(
        state, "open", [&] { benchmark::DoNotOptimize(b.doc.OnOpenDocument(b.dir / "TUNBOX.CFG")); },
        [&] {
            ReadRaw(b.dir / "TUNBOX.CFG", bytes);
            ReadRaw(b.dir / "SCHEDULE.SCH", bytes);
            ListBare(b.dir, entries);
            ListBare(b.dir / "SOUNDS", entries);
        });
}
BENCHMARK(BM_OpenFullCard)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A SOUNDS directory of 300 files with long names.
struct SoundsBench {
    fs::path dir = MakeDir("sounds");
    Silent prompter;
    CCardwrightDoc doc{prompter};

    SoundsBench() {
        for (int i = 0; i < 300; ++i) {
            std::ofstream(dir / "SOUNDS" /
                          ("Track number " + std::to_string(i) + " long name.mp3"));
        }
        doc.SetPathName(dir / "TUNBOX.CFG");
        doc.CountTracks(true);
    }
};

// The floor of a scan: the names and kinds of SOUNDS, which is all a scan
// asks of the file system where it keeps no 8.3 aliases (they are then
// worked out from the names).
void BM_SyncTracksFirstScan(benchmark::State& state) {
    SoundsBench b;
    std::vector<Listed> entries;
    // A new path each time empties the caches, as opening another card does.
    const fs::path paths[] = {b.dir / "TUNBOX.CFG", b.dir / "tunbox.cfg"};
    int flip = 0;
    InTurn(
        state, "first scan",
        [&] {
            b.doc.SetPathName(paths[flip ^= 1]);
            benchmark::DoNotOptimize(b.doc.SyncTracks(true));
        },
        [&] { ListBare(b.dir / "SOUNDS", entries); });
}
BENCHMARK(BM_SyncTracksFirstScan)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_SyncTracksRescanAfterRename(benchmark::State& state) {
    SoundsBench b;
    b.doc.SyncTracks(true);
    const fs::path a = b.dir / "SOUNDS" / "Track number 150 long name.mp3";
    const fs::path c = b.dir / "SOUNDS" / "Track number 150 renamed.mp3";
    std::vector<Listed> entries;
    int flip = 0;
    InTurn(
        state, "rescan after a rename",
        [&] {
            (flip ^= 1) ? fs::rename(a, c) : fs::rename(c, a);
            benchmark::DoNotOptimize(b.doc.SyncTracks(true));
        },
        [&] { ListBare(b.dir / "SOUNDS", entries); });
}
BENCHMARK(BM_SyncTracksRescanAfterRename)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The largest SCHEDULE.SCH the length field allows, with one schedule whose
// entries come in the costliest order for keeping a sorted list: every hour and
// minute byte pair there is, from the greatest down, then the greatest valid
// time and the greatest pair over and over. Length and checksum hold.
std::vector<std::uint8_t> WorstScheduleImage() {
    const std::size_t size = 0xFFFFFF + 9;
    std::vector<std::uint8_t> b(size, 0);
    b[8] = b[9] = b[10] = 0xFF;
    b[11] = 1;
    const auto put24 = [&](std::size_t at, std::size_t v) {
        b[at] = v & 0xFF, b[at + 1] = (v >> 8) & 0xFF, b[at + 2] = (v >> 16) & 0xFF;
    };
    put24(471, 477);
    const std::size_t end = 0xFFFFFF;  // the furthest the offset table can point
    put24(474, end);
    std::size_t at = 477;
    for (int key = 0x7FFF; key >= 0; --key, at += 3) {
        b[at] = static_cast<std::uint8_t>(key >> 7);
        b[at + 1] = static_cast<std::uint8_t>(key & 0x7F);
        b[at + 2] = static_cast<std::uint8_t>(key);
    }
    for (int i = 0; at + 3 <= end; ++i, at += 3) {
        b[at] = i % 2 ? 0x23 : 0xFF;
        b[at + 1] = (i % 2 ? 0x59 : 0x7F) | (i % 4 < 2 ? 0x80 : 0);
        b[at + 2] = static_cast<std::uint8_t>(i);
    }
    unsigned sum = 0;
    for (std::size_t i = 7; i < size - 2; ++i) {
        sum += b[i];
    }
    b[size - 2] = sum & 0xFF;
    b[size - 1] = (sum >> 8) & 0xFF;
    return b;
}

void BM_ReadWorstScheduleFile(benchmark::State& state) {
    const std::vector<std::uint8_t> image = WorstScheduleImage();
    ScheduleSet set;
    for (auto _ : state) {
        if (!set.Parse(image, 0).ok()) {
            state.SkipWithError("the image did not load");
            break;
        }
        benchmark::DoNotOptimize(set.EntryCount(1));
    }
}
BENCHMARK(BM_ReadWorstScheduleFile)->Unit(benchmark::kMillisecond);

// One line per comparison, "what ... ratio R", with the goal after it where
// there is one, so that a reader sees at once whether it holds.
void PrintRatio(const char* what, double goal = 0) {
    const auto found = AllTotals().find(what);
    if (found == AllTotals().end() || found->second.floor <= 0) {
        return;
    }
    const double ratio = found->second.ours / found->second.floor;
    std::printf("%-24s ratio %.2f", what, ratio);
    if (goal > 0) {
        std::printf("  goal <= %.2f (%s)", goal, ratio <= goal ? "met" : "NOT met");
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintRatio("open", 1.5);
    PrintRatio("first scan", 1.5);
    PrintRatio("save (safe floor)", 1.25);
    PrintRatio("save (plain writes)");
    PrintRatio("rescan after a rename");
    return 0;
}
