#pragma once

// What each operating system's implementation in this folder provides to the
// portable code; the rest of the program only sees Directory.h.

#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/Directory.h"

namespace platform::native {

// Lists `dir` with the aliases its file system itself keeps, when it keeps
// them. Returns std::nullopt with `ec` clear when this file system has no
// aliases of its own, so the caller lists it the portable way and generates
// them; std::nullopt with `ec` set when the directory cannot be read.
std::optional<std::vector<DirEntry>> ListWithStoredAliases(const std::filesystem::path& dir,
                                                           std::error_code& ec);

std::filesystem::path ExecutablePath(std::error_code& ec);

// Kind and last-write time of one entry, following links, in a single ask of
// the file system. False when the entry has vanished, is a broken or looping
// link, or cannot be read.
bool EntryStatus(const std::filesystem::path& path, bool& isDirectory, std::uint64_t& lastWrite);

}  // namespace platform::native
