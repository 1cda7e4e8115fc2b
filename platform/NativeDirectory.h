#pragma once

// What each operating system's implementation in this folder provides to the
// portable code; the rest of the program only sees Directory.h.

#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/Directory.h"

namespace platform::native {

// Lists `dir` in the order its file system stores the entries, without "."
// and "..": each entry's long name and kind, its last-write time when asked
// for, and the 8.3 alias where the file system itself keeps one (then
// `aliasesStored` is true; otherwise every shortName is empty and the caller
// generates them). Entries whose status cannot be read (removed during the
// listing, broken or looping links) are left out. The list is written into
// `entries`, whose strings' room is used again. On failure `entries` is
// empty and `ec` set.
void List(const std::filesystem::path& dir, std::error_code& ec, ListDetail detail,
          bool& aliasesStored, std::vector<DirEntry>& entries);

// The same with ListDetail::NamesAndKinds, read from the directory open as
// `fd` onwards from its current position.
void ListOpen(int fd, std::error_code& ec, std::vector<DirEntry>& entries);

std::filesystem::path ExecutablePath(std::error_code& ec);

}  // namespace platform::native
