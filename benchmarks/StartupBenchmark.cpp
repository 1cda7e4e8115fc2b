// Time from process start to the first paint of the main window, for the
// program and for two bare Qt programs, run in turn in every iteration so all
// see the same machine load: one shows an empty main window of Qt's default
// size, the other a main window with a menu, a status line and a label, as
// large as the program's. A window without a word in it never loads the fonts
// before its first paint, and a small one fills few pixels; a window of the
// program's kind does both.
//
// Counters: bare_ms, text_ms and cardwright_ms (means), ratio = cardwright /
// bare and text_ratio = cardwright / text. Argument 0 starts with a new
// document, 1 opens a demonstration card. After the table come the ratios
// with their goals, and the whole process (start to exit, which the probe
// makes right after the first paint): the median wall time and peak memory
// of the program against each floor's.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// One start of a program: seconds until it printed "shown" and until it
// ended, its peak resident memory, and the size of its window as "WxH".
struct Run {
    double shown = 0;
    double exited = 0;
    double peakKiB = 0;
    std::string size;
};

// Starts `argv` in `dir` and times it.
Run TimeToShown(const std::vector<std::string>& args, const fs::path& dir) {
    int out[2];
    if (pipe(out) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);

    const fs::path before = fs::current_path();
    fs::current_path(dir);
    const auto start = Clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    fs::current_path(before);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        throw std::runtime_error("cannot start " + args[0]);
    }
    std::string seen;
    char buffer[64];
    ssize_t n = 0;
    while (seen.find('\n') == std::string::npos &&
           (n = read(out[0], buffer, sizeof buffer)) > 0) {
        seen.append(buffer, static_cast<std::size_t>(n));
    }
    const auto shown = Clock::now();
    close(out[0]);
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    const auto exited = Clock::now();
    const std::string kShown = "shown ";
    const std::size_t end = seen.find('\n');
    if (seen.compare(0, kShown.size(), kShown) != 0 || end == std::string::npos) {
        throw std::runtime_error(args[0] + " ended without showing its window");
    }
    return {std::chrono::duration<double>(shown - start).count(),
            std::chrono::duration<double>(exited - start).count(),
            static_cast<double>(usage.ru_maxrss), seen.substr(kShown.size(), end - kShown.size())};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

fs::path MakeDemoCard(const fs::path& where) {
    const fs::path card = where / "card";
    const std::string command = std::string(CARDWRIGHT_DEMO_TOOL) + " --program " +
                                CARDWRIGHT_PROGRAM + " '" + card.string() + "' >/dev/null";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("cannot make the demonstration card");
    }
    return card / "TUNBOX.CFG";
}

// The ratios of each case against the two floors, printed with the goal
// after the table.
struct Ratios {
    double bare = 0;
    double text = 0;
    // The whole process, medians, against each floor: wall time and peak
    // resident memory.
    double wall = 0;
    double memory = 0;
    double textWall = 0;
    double textMemory = 0;
    std::string size;  // of the program's window, which the text floor takes
};
std::map<std::int64_t, Ratios>& AllRatios() {
    static std::map<std::int64_t, Ratios> ratios;
    return ratios;
}

void BM_StartupAgainstBareWindow(benchmark::State& state) {
    setenv("CARDWRIGHT_STARTUP_PROBE", "1", 1);
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    const fs::path work =
        fs::temp_directory_path() / ("cardwright-startup-" + std::to_string(getpid()));
    fs::create_directories(work / "empty");
    std::vector<std::string> program{CARDWRIGHT_PROGRAM};
    if (state.range(0) == 1) {
        program.push_back(MakeDemoCard(work).string());
    }
    // One untimed start of each warms the file cache; the program's tells
    // the size its window has.
    const std::string size = TimeToShown(program, work / "empty").size;
    const std::vector<std::string> bare{CARDWRIGHT_BARE_WINDOW};
    const std::vector<std::string> text{CARDWRIGHT_BARE_WINDOW, "text", size};
    TimeToShown(bare, work / "empty");
    TimeToShown(text, work / "empty");

    double bareTotal = 0;
    double textTotal = 0;
    double programTotal = 0;
    std::vector<double> bareWall, textWall, programWall, bareMemory, textMemory, programMemory;
    for (auto _ : state) {
        const Run b = TimeToShown(bare, work / "empty");
        const Run t = TimeToShown(text, work / "empty");
        const Run p = TimeToShown(program, work / "empty");
        bareTotal += b.shown;
        textTotal += t.shown;
        programTotal += p.shown;
        bareWall.push_back(b.exited);
        textWall.push_back(t.exited);
        programWall.push_back(p.exited);
        bareMemory.push_back(b.peakKiB);
        textMemory.push_back(t.peakKiB);
        programMemory.push_back(p.peakKiB);
        state.SetIterationTime(p.shown);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["bare_ms"] = 1000.0 * bareTotal / runs;
    state.counters["text_ms"] = 1000.0 * textTotal / runs;
    state.counters["cardwright_ms"] = 1000.0 * programTotal / runs;
    state.counters["ratio"] = programTotal / bareTotal;
    state.counters["text_ratio"] = programTotal / textTotal;
    AllRatios()[state.range(0)] = {programTotal / bareTotal,
                                   programTotal / textTotal,
                                   Median(programWall) / Median(bareWall),
                                   Median(programMemory) / Median(bareMemory),
                                   Median(programWall) / Median(textWall),
                                   Median(programMemory) / Median(textMemory),
                                   size};
    std::error_code ec;
    fs::remove_all(work, ec);
}

}  // namespace

BENCHMARK(BM_StartupAgainstBareWindow)
    ->ArgName("card")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    constexpr double kGoal = 1.25;
    for (const auto& [card, ratio] : AllRatios()) {
        const char* what = card == 1 ? "demonstration card" : "new document";
        std::printf("start-up to first paint (%s) ratio %.2f  goal <= %.2f (%s)\n", what,
                    ratio.bare, kGoal, ratio.bare <= kGoal ? "met" : "NOT met");
        std::printf("start-up to first paint (%s) against a %s window with text ratio %.2f\n",
                    what, ratio.size.c_str(), ratio.text);
        std::printf("whole process (%s) wall ratio %.2f  goal <= 1.25 (%s), "
                    "peak memory ratio %.2f  goal <= 1.20 (%s)\n",
                    what, ratio.wall, ratio.wall <= 1.25 ? "met" : "NOT met", ratio.memory,
                    ratio.memory <= 1.20 ? "met" : "NOT met");
        std::printf("whole process (%s) against a %s window with text: wall ratio %.2f, "
                    "peak memory ratio %.2f\n",
                    what, ratio.size.c_str(), ratio.textWall, ratio.textMemory);
    }
    return 0;
}
