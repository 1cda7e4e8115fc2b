#pragma once

#include <cstdio>

namespace platform {

// Makes sure what was written to `file` has reached the device (the card may
// be pulled right after a save). True when it has, or when the file is of a
// kind that cannot be synced (a pipe, a device); false, with errno set, when
// the device reported an error.
bool SyncToDevice(std::FILE* file);

}  // namespace platform
