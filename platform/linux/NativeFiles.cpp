#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>

#include "platform/Files.h"
#include "platform/NativeDirectory.h"

namespace platform {

namespace {

std::int64_t Nanoseconds(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

std::filesystem::file_type TypeOf(mode_t mode) {
    using std::filesystem::file_type;
    switch (mode & S_IFMT) {
        case S_IFREG:
            return file_type::regular;
        case S_IFDIR:
            return file_type::directory;
        case S_IFCHR:
            return file_type::character;
        case S_IFBLK:
            return file_type::block;
        case S_IFIFO:
            return file_type::fifo;
        case S_IFSOCK:
            return file_type::socket;
        default:
            return file_type::unknown;
    }
}

// What stat() said, or its failure, as FileFacts.
FileFacts FactsOf(int result, const struct stat& st) {
    FileFacts facts;
    if (result != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            facts.status = std::filesystem::file_status(std::filesystem::file_type::not_found);
        }
        return facts;
    }
    facts.status = std::filesystem::file_status(
        TypeOf(st.st_mode), static_cast<std::filesystem::perms>(st.st_mode & 07777));
    facts.identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                      static_cast<std::uintmax_t>(st.st_size), Nanoseconds(st.st_mtim),
                      Nanoseconds(st.st_ctim)};
    return facts;
}

// fsync, where a file system that cannot sync (EINVAL) or a read-only one
// counts as done.
bool SyncFd(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
}

// Closes `fd` and keeps errno as it was before.
void CloseKeepingErrno(int fd) {
    const int err = errno;
    ::close(fd);
    errno = err;
}

}  // namespace

FileFacts Inspect(const std::filesystem::path& path) {
    struct stat st {};
    const int result = ::stat(path.c_str(), &st);
    return FactsOf(result, st);
}

std::filesystem::perms NewFilePermissions() {
    // The mask is read where the kernel shows it, since asking umask() for
    // it would change it for a moment under every other thread. Where it
    // cannot be read, no permissions are taken for granted.
    static const std::filesystem::perms permissions = [] {
        std::ifstream status("/proc/self/status");
        std::string key;
        while (status >> key) {
            if (key == "Umask:") {
                unsigned mask = 0;
                if (status >> std::oct >> mask) {
                    return static_cast<std::filesystem::perms>(0666 & ~mask);
                }
                break;
            }
            status.ignore(4096, '\n');
        }
        return std::filesystem::perms::unknown;
    }();
    return permissions;
}

bool SyncToDevice(std::FILE* file) {
    return SyncFd(::fileno(file));
}

bool SyncDirectory(const std::filesystem::path& dir) {
    return Folder(dir).Sync();
}

NewFile::~NewFile() {
    if (fd_ >= 0) {
        CloseKeepingErrno(fd_);
    }
}

NewFile& NewFile::operator=(NewFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            CloseKeepingErrno(fd_);
        }
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

bool NewFile::Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

bool NewFile::SyncToDevice() {
    return SyncFd(fd_);
}

bool NewFile::SetPermissions(std::filesystem::perms permissions) {
    return ::fchmod(fd_, static_cast<mode_t>(permissions) & 07777) == 0;
}

bool NewFile::Close() {
    const int fd = fd_;
    fd_ = -1;
    // Linux releases the descriptor even when close reports an error, which
    // then is the last word on the written bytes: it is not retried.
    return ::close(fd) == 0;
}

Folder::Folder(const std::filesystem::path& dir) : path_(dir) {
    fd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    readable_ = fd_ >= 0;
    if (fd_ < 0 && errno == EACCES) {
        // Entered but not read: a handle to look names up from is enough
        // to make and rename its files.
        fd_ = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    error_ = fd_ < 0 ? errno : 0;
}

Folder::~Folder() {
    if (fd_ >= 0) {
        CloseKeepingErrno(fd_);
    }
}

void Folder::List(std::vector<DirEntry>& entries, std::error_code& ec) const {
    if (!readable_) {
        ec = fd_ < 0 ? Error() : std::error_code(EACCES, std::system_category());
        entries.clear();
        return;
    }
    if (listed_ && ::lseek(fd_, 0, SEEK_SET) != 0) {
        ec = {errno, std::system_category()};
        entries.clear();
        return;
    }
    listed_ = true;
    native::ListOpen(fd_, ec, entries);
}

FileFacts Folder::Inspect(const std::string& name) const {
    struct stat st {};
    const int result = ::fstatat(fd_, name.c_str(), &st, 0);
    return FactsOf(result, st);
}

std::uintmax_t Folder::Available(std::error_code& ec) const {
    struct statvfs fs {};
    if (::fstatvfs(fd_, &fs) != 0) {
        ec = {errno, std::system_category()};
        return 0;
    }
    ec.clear();
    return static_cast<std::uintmax_t>(fs.f_bavail) * fs.f_frsize;
}

NewFile Folder::Create(const std::string& name) const {
    return NewFile(::openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
}

bool Folder::Rename(const std::string& from, const std::string& to) const {
    return ::renameat(fd_, from.c_str(), fd_, to.c_str()) == 0;
}

bool Folder::Remove(const std::string& name) const {
    return ::unlinkat(fd_, name.c_str(), 0) == 0;
}

bool Folder::Sync() const {
    if (!readable_) {
        // A folder that cannot be opened for reading cannot be synced
        // either; what was renamed in it has been done.
        const int err = fd_ >= 0 ? EACCES : error_;
        errno = err;
        return err == EACCES || err == EPERM;
    }
    return SyncFd(fd_);
}

bool IsTerminal(std::FILE* file) {
    return file != nullptr && ::isatty(::fileno(file)) == 1;
}

}  // namespace platform
