#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "platform/Directory.h"

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

// A file made new in a Folder, open for writing until closed.
class NewFile {
  public:
    NewFile() = default;
    explicit NewFile(int fd) : fd_(fd) {}
    ~NewFile();
    NewFile(NewFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    NewFile& operator=(NewFile&& other) noexcept;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Each returns false with errno set on failure. Write writes all of
    // `bytes`; SyncToDevice is as the function of that name above.
    bool Write(std::span<const std::uint8_t> bytes);
    bool SyncToDevice();
    bool SetPermissions(std::filesystem::perms permissions);
    bool Close();

  private:
    int fd_ = -1;
};

// A folder held open while several of its files are replaced. Each name is
// looked up from the folder, not walked again from the root; the folder is
// synced without being opened once more; and every file lands in the same
// folder even if its path is renamed meanwhile. A folder this process may
// enter but not read is held all the same: its files can be made, and
// listing it fails.
class Folder {
  public:
    // When `dir` cannot be opened, IsOpen() is false and Error() says why.
    explicit Folder(const std::filesystem::path& dir);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    std::error_code Error() const { return {error_, std::system_category()}; }
    const std::filesystem::path& Path() const { return path_; }

    // The names and kinds of its entries, as ListDirectory with
    // ListDetail::NamesAndKinds gives them (no aliases, no times).
    void List(std::vector<DirEntry>& entries, std::error_code& ec) const;
    // As Inspect above, for the entry `name` of this folder.
    FileFacts Inspect(const std::string& name) const;
    // The bytes this process may still write on the folder's file system.
    std::uintmax_t Available(std::error_code& ec) const;

    // Each returns false, or a file that is not open, with errno set on
    // failure. Create makes a file that must not exist yet.
    NewFile Create(const std::string& name) const;
    bool Rename(const std::string& from, const std::string& to) const;
    bool Remove(const std::string& name) const;
    // As SyncDirectory above.
    bool Sync() const;

  private:
    std::filesystem::path path_;
    int fd_ = -1;
    int error_ = 0;
    bool readable_ = false;   // opened for reading, so it can be listed and synced
    mutable bool listed_ = false;  // a listing has moved the folder's position on
};

// Whether `file` is a terminal a person is watching (not a pipe, a file or
// nothing at all), so that progress may be drawn on it.
bool IsTerminal(std::FILE* file);

}  // namespace platform
