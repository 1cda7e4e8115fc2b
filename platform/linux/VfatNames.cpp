#include "platform/linux/VfatNames.h"

#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

namespace platform::vfat {

namespace {

// A FAT directory holds at most 65536 entries; a file system that keeps
// answering past that is damaged and would never stop.
constexpr std::size_t kMaxEntries = 65536;

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - ('a' - 'A'));
        }
    }
    return s;
}

}  // namespace

std::vector<StoredNames> ReadStoredNames(const ReadBothStep& step, std::error_code& ec) {
    ec.clear();
    std::vector<StoredNames> names;
    for (std::size_t calls = 0;; ++calls) {
        if (calls > kMaxEntries) {
            ec = std::make_error_code(std::errc::io_error);
            return {};
        }
        __fat_dirent both[2];
        std::memset(both, 0, sizeof both);
        errno = 0;
        const int result = step(both);
        if (result < 0) {
            if (errno == ENOENT) {
                return names;  // the directory ends (or went away) here
            }
            ec.assign(errno != 0 ? errno : EIO, std::system_category());
            return {};
        }
        if (result == 0 || both[0].d_reclen == 0) {
            return names;
        }
        // The kernel terminates both names, but the buffer is ours to guard.
        both[0].d_name[sizeof both[0].d_name - 1] = '\0';
        both[1].d_name[sizeof both[1].d_name - 1] = '\0';
        const std::string shown(both[0].d_name);
        if (shown.empty() || shown == "." || shown == "..") {
            continue;
        }
        // The alias comes formatted for display, possibly in lower case; an
        // entry without a long name is known by that displayed alias.
        StoredNames entry;
        entry.longName = both[1].d_name[0] != '\0' ? std::string(both[1].d_name) : shown;
        entry.alias = Upper(shown);
        names.push_back(std::move(entry));
    }
}

ReadBothStep IoctlStep(int dirFd) {
    return
        [dirFd](__fat_dirent(&both)[2]) { return ::ioctl(dirFd, VFAT_IOCTL_READDIR_BOTH, both); };
}

}  // namespace platform::vfat
