#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace platform {

// Which file a path leads to, and when its contents last changed: while the
// identity stays the same, the file has been neither replaced nor rewritten.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uintmax_t size = 0;
    std::int64_t modified = 0;  // nanoseconds
    std::int64_t changed = 0;   // nanoseconds, of the last change to contents or attributes
    bool operator==(const FileIdentity&) const = default;
};

// What one ask of the file system says of a path, links followed: its kind
// and permissions as std::filesystem::status gives them (not_found when there
// is nothing, none when it cannot be asked), and its identity.
struct FileFacts {
    std::filesystem::file_status status{std::filesystem::file_type::none};
    FileIdentity identity;
};
FileFacts Inspect(const std::filesystem::path& path);

// The permissions a file this process creates with mode 0666 receives.
std::filesystem::perms NewFilePermissions();

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
