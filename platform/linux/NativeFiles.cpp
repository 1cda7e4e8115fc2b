#include <unistd.h>

#include <cerrno>

#include "platform/Files.h"

namespace platform {

bool SyncToDevice(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0 || errno == EINVAL || errno == EROFS;
}

}  // namespace platform
