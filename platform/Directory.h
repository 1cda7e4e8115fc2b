#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace platform {

// One entry of a directory as the file system stores it.
struct DirEntry {
    std::string longName;   // the full name, as stored (UTF-8 on Linux)
    std::string shortName;  // the 8.3 alias in upper case, e.g. "MYSONG~1.MP3"; empty if none
    bool isDirectory = false;
    // True when the file system keeps no alias and shortName is the one FAT
    // would generate for this listing's order: it may differ in the next one.
    bool aliasGenerated = false;
    std::uint64_t lastWrite = 0;  // card file time, see CardFileTime(); 0 when not asked for
};

// What a listing reports besides names and aliases. Reading last-write times
// costs one more request to the file system per entry, so a scan that needs
// only the kind of each entry (the track scan, on every page change) skips it.
// A listing that looks only for names of its own (the leftovers of an
// interrupted save) needs no aliases at all.
enum class ListDetail { KindOnly, WithTimes, NamesAndKinds };

// Lists `dir` in the order its file system stores the entries, without "."
// and "..". Each entry carries the 8.3 alias that the card's FAT file system
// holds for it: read from the file system where it keeps one, otherwise the
// alias FAT would generate if the files were copied to a card in this order.
// Entries whose status cannot be read (removed during the listing, broken or
// looping links) are left out. On failure returns an empty list and sets `ec`.
std::vector<DirEntry> ListDirectory(const std::filesystem::path& dir, std::error_code& ec,
                                    ListDetail detail = ListDetail::WithTimes);
// The same, written into `entries`: the entries of an earlier listing there
// are used again, with the room their strings have, so a folder listed over
// and over costs no allocation per file.
void ListDirectoryInto(const std::filesystem::path& dir, std::error_code& ec, ListDetail detail,
                       std::vector<DirEntry>& entries);

// Full path of the running program's executable; empty with `ec` set on failure.
std::filesystem::path ExecutablePath(std::error_code& ec);

// The 64-bit time form the card files use: 100-nanosecond intervals since
// 1 January 1601 (UTC).
inline constexpr std::int64_t kUnixEpochInCardTime = 11644473600LL * 10000000LL;
std::uint64_t CardFileTime(std::filesystem::file_time_type t);

}  // namespace platform
