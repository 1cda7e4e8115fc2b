#include "platform/Directory.h"

#include <chrono>

#include "platform/NativeDirectory.h"
#include "platform/ShortNames.h"

namespace platform {

std::vector<DirEntry> ListDirectory(const std::filesystem::path& dir, std::error_code& ec,
                                    ListDetail detail) {
    std::vector<DirEntry> entries;
    ListDirectoryInto(dir, ec, detail, entries);
    return entries;
}

void ListDirectoryInto(const std::filesystem::path& dir, std::error_code& ec, ListDetail detail,
                       std::vector<DirEntry>& entries) {
    bool aliasesStored = false;
    native::List(dir, ec, detail, aliasesStored, entries);
    if (!aliasesStored && detail != ListDetail::NamesAndKinds) {
        // The aliases FAT would give these files copied to a card in this
        // order.
        ShortNameGenerator aliases;
        aliases.Reserve(entries.size());
        for (DirEntry& e : entries) {
            e.shortName = aliases.Next(e.longName);
            e.aliasGenerated = true;
        }
    }
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
