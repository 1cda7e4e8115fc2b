#pragma once

#include <linux/msdos_fs.h>

#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace platform::vfat {

// The names a FAT directory entry carries.
struct StoredNames {
    std::string longName;
    std::string alias;  // the 8.3 alias in upper case, e.g. "MYSONG~1.MP3"

    bool operator==(const StoredNames&) const = default;
};

// One VFAT_IOCTL_READDIR_BOTH call on an open directory: fills the alias
// (first) and the long name (second) of the next entry and returns what
// ioctl returns (1 for an entry, 0 at the end, -1 with errno on failure).
using ReadBothStep = std::function<int(__fat_dirent (&)[2])>;

// Reads every entry's names in the order the directory stores them, without
// "." and "..". On failure returns an empty list and sets `ec`.
std::vector<StoredNames> ReadStoredNames(const ReadBothStep& step, std::error_code& ec);

// Converts an alias as the kernel shows it (UTF-8) back to the bytes a FAT
// card with the default code page 437 stores; characters outside it become '_'.
std::string ToCardCodePage(std::string_view utf8);

// The step that asks the kernel about the directory open as `dirFd`.
ReadBothStep IoctlStep(int dirFd);

}  // namespace platform::vfat
