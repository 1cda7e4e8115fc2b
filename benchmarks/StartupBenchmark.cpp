// Time from process start to the first paint of the main window, for the
// program and for a bare Qt program showing an empty main window, run in
// turn in every iteration so both see the same machine load.
//
// Counters: bare_ms and cardwright_ms (means), and ratio = cardwright / bare.
// Argument 0 starts with a new document, 1 opens a demonstration card.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Starts `argv` in `dir` and returns the seconds until it printed "shown".
double TimeToShown(const std::vector<std::string>& args, const fs::path& dir) {
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
    while (seen.find("shown\n") == std::string::npos &&
           (n = read(out[0], buffer, sizeof buffer)) > 0) {
        seen.append(buffer, static_cast<std::size_t>(n));
    }
    const auto shown = Clock::now();
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (seen.find("shown\n") == std::string::npos) {
        throw std::runtime_error(args[0] + " ended without showing its window");
    }
    return std::chrono::duration<double>(shown - start).count();
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

// The ratio of each case, printed with its goal after the table.
std::map<std::int64_t, double>& Ratios() {
    static std::map<std::int64_t, double> ratios;
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
    const std::vector<std::string> bare{CARDWRIGHT_BARE_WINDOW};

    // One untimed start of each warms the file cache.
    TimeToShown(bare, work / "empty");
    TimeToShown(program, work / "empty");

    double bareTotal = 0;
    double programTotal = 0;
    for (auto _ : state) {
        bareTotal += TimeToShown(bare, work / "empty");
        const double t = TimeToShown(program, work / "empty");
        programTotal += t;
        state.SetIterationTime(t);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["bare_ms"] = 1000.0 * bareTotal / runs;
    state.counters["cardwright_ms"] = 1000.0 * programTotal / runs;
    state.counters["ratio"] = programTotal / bareTotal;
    Ratios()[state.range(0)] = programTotal / bareTotal;
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
    for (const auto& [card, ratio] : Ratios()) {
        std::printf("start-up to first paint (%s) ratio %.2f  goal <= %.2f (%s)\n",
                    card == 1 ? "demonstration card" : "new document", ratio, kGoal,
                    ratio <= kGoal ? "met" : "NOT met");
    }
    return 0;
}
