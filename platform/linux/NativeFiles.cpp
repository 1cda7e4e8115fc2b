#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>

#include "platform/Files.h"

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

}  // namespace

FileFacts Inspect(const std::filesystem::path& path) {
    FileFacts facts;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
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
    return ::fsync(::fileno(file)) == 0 || errno == EINVAL || errno == EROFS;
}

bool SyncDirectory(const std::filesystem::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        // A folder that cannot be opened for reading cannot be synced either;
        // the rename itself has been done.
        return errno == EACCES || errno == EPERM;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    const int err = errno;
    ::close(fd);
    errno = err;
    return synced;
}

bool IsTerminal(std::FILE* file) {
    return file != nullptr && ::isatty(::fileno(file)) == 1;
}

}  // namespace platform
