#pragma once

#include <cstdio>
#include <filesystem>

namespace platform {

// Makes sure what was written to `file` has reached the device (the card may
// be pulled right after a save). True when it has, or when the file is of a
// kind that cannot be synced (a pipe, a device); false, with errno set, when
// the device reported an error.
bool SyncToDevice(std::FILE* file);

// Makes sure the folder's entries (a file renamed into place) have reached
// the device. True when they have or the file system cannot tell; false, with
// errno set, on an error.
bool SyncDirectory(const std::filesystem::path& dir);

// Whether `file` is a terminal a person is watching (not a pipe, a file or
// nothing at all), so that progress may be drawn on it.
bool IsTerminal(std::FILE* file);

}  // namespace platform
