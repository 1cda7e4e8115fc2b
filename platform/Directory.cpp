#include "platform/Directory.h"

#include <chrono>

#include "platform/NativeDirectory.h"
#include "platform/ShortNames.h"

namespace platform {

namespace {

// Lists a directory whose file system keeps no 8.3 aliases, generating them
// as FAT would if the files were copied to a card in this order.
std::vector<DirEntry> ListWithGeneratedAliases(const std::filesystem::path& dir,
                                               std::error_code& ec, ListDetail detail) {
    std::vector<DirEntry> entries;
    ShortNameGenerator aliases;
    std::filesystem::directory_iterator it(dir, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        // An entry whose status cannot be read has vanished since the listing,
        // is a broken or looping link, or cannot be opened: none of these is a
        // file that could be copied to a card, so it takes no alias.
        DirEntry e;
        if (detail == ListDetail::WithTimes) {
            if (!native::EntryStatus(it->path(), e.isDirectory, e.lastWrite)) {
                continue;
            }
        } else {
            // The kind comes with the listing itself; only links are followed.
            std::error_code kindEc;
            e.isDirectory = it->is_directory(kindEc);
            if (kindEc) {
                continue;
            }
        }
        e.longName = it->path().filename().string();
        e.shortName = aliases.Next(e.longName);
        e.aliasGenerated = true;
        entries.push_back(std::move(e));
    }
    if (ec) {
        entries.clear();
    }
    return entries;
}

}  // namespace

std::vector<DirEntry> ListDirectory(const std::filesystem::path& dir, std::error_code& ec,
                                    ListDetail detail) {
    ec.clear();
    if (auto stored = native::ListWithStoredAliases(dir, ec)) {
        return std::move(*stored);
    }
    if (ec) {
        return {};
    }
    return ListWithGeneratedAliases(dir, ec, detail);
}

std::filesystem::path ExecutablePath(std::error_code& ec) {
    ec.clear();
    return native::ExecutablePath(ec);
}

std::uint64_t CardFileTime(std::filesystem::file_time_type t) {
    using namespace std::chrono;
    using Ticks = duration<std::int64_t, std::ratio<1, 10000000>>;
    // Work in 100 ns ticks from the file clock's own epoch: converting the
    // nanosecond time point to the system clock first would overflow for
    // times the file clock holds but the system clock does not (past 2262).
    static const std::int64_t fileEpoch =
        floor<Ticks>(file_clock::to_sys(file_clock::time_point{}).time_since_epoch()).count();
    const std::int64_t ticks =
        floor<Ticks>(t.time_since_epoch()).count() + fileEpoch + kUnixEpochInCardTime;
    return ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks);
}

}  // namespace platform
