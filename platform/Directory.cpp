#include "platform/Directory.h"

#include <chrono>

#include "platform/ShortNames.h"

namespace platform {

std::vector<DirEntry> ListDirectory(const std::filesystem::path& dir, std::error_code& ec) {
    std::vector<DirEntry> entries;
    ShortNameGenerator aliases;
    std::filesystem::directory_iterator it(dir, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        DirEntry e;
        e.longName = it->path().filename().string();
        std::error_code entryEc;
        e.isDirectory = it->is_directory(entryEc);
        const auto t = it->last_write_time(entryEc);
        e.lastWrite = entryEc ? 0 : CardFileTime(t);
        e.shortName = aliases.Next(e.longName);
        entries.push_back(std::move(e));
    }
    if (ec) {
        entries.clear();
    }
    return entries;
}

std::filesystem::path ExecutablePath(std::error_code& ec) {
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

std::uint64_t CardFileTime(std::filesystem::file_time_type t) {
    using namespace std::chrono;
    // 11644473600 seconds lie between 1601-01-01 and 1970-01-01.
    constexpr std::int64_t kEpochDifference = 11644473600LL * 10000000LL;
    const auto sys = file_clock::to_sys(t);
    const auto ticks = duration_cast<duration<std::int64_t, std::ratio<1, 10000000>>>(
                           sys.time_since_epoch())
                           .count();
    return static_cast<std::uint64_t>(ticks + kEpochDifference);
}

}  // namespace platform
