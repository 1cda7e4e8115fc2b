#include "platform/NativeDirectory.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/VfatNames.h"

namespace platform::native {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

std::error_code LastError() {
    return {errno, std::system_category()};
}

std::uint64_t CardFileTimeOf(const struct timespec& t) {
    const std::int64_t ticks =
        static_cast<std::int64_t>(t.tv_sec) * 10000000LL + t.tv_nsec / 100 + kUnixEpochInCardTime;
    return ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks);
}

}  // namespace

std::optional<std::vector<DirEntry>> ListWithStoredAliases(const std::filesystem::path& dir,
                                                           std::error_code& ec) {
    ec.clear();
    const FileDescriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        ec = LastError();
        return std::nullopt;
    }
    struct statfs fs {};
    if (::fstatfs(fd.get(), &fs) != 0) {
        ec = LastError();
        return std::nullopt;
    }
    // Only the kernel's FAT driver keeps the real aliases; a FAT card mounted
    // any other way (FUSE, exFAT) is listed the portable way.
    if (fs.f_type != MSDOS_SUPER_MAGIC) {
        return std::nullopt;
    }

    const auto names = vfat::ReadStoredNames(vfat::IoctlStep(fd.get()), ec);
    if (ec) {
        if (ec.value() == ENOTTY) {
            ec.clear();  // a driver without the ioctl: no aliases to read
        }
        return std::nullopt;
    }

    std::vector<DirEntry> entries;
    entries.reserve(names.size());
    for (const auto& name : names) {
        struct stat st {};
        if (::fstatat(fd.get(), name.longName.c_str(), &st, 0) != 0) {
            continue;  // removed since it was listed
        }
        DirEntry e;
        e.longName = name.longName;
        e.shortName = name.alias;
        e.isDirectory = S_ISDIR(st.st_mode);
        e.lastWrite = CardFileTimeOf(st.st_mtim);
        entries.push_back(std::move(e));
    }
    return entries;
}

std::filesystem::path ExecutablePath(std::error_code& ec) {
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

bool EntryStatus(const std::filesystem::path& path, bool& isDirectory, std::uint64_t& lastWrite) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return false;
    }
    isDirectory = S_ISDIR(st.st_mode);
    lastWrite = CardFileTimeOf(st.st_mtim);
    return true;
}

}  // namespace platform::native
