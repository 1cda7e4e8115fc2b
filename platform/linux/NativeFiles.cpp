#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Files.h"

namespace platform {

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
