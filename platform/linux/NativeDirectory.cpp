#include "platform/NativeDirectory.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string_view>

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
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

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

// The next entry of `entries` to fill, which is the `used`-th: one a listing
// before left there is taken as it is, with its strings' room, and cleared.
DirEntry& Slot(std::vector<DirEntry>& entries, std::size_t used) {
    if (used == entries.size()) {
        return entries.emplace_back();
    }
    DirEntry& e = entries[used];
    e.shortName.clear();
    e.isDirectory = false;
    e.aliasGenerated = false;
    e.lastWrite = 0;
    return e;
}

// The entries of a FAT directory with the aliases the driver reads from it.
// False with `ec` clear when the driver cannot give them.
bool ListStoredAliases(int fd, std::error_code& ec, std::vector<DirEntry>& entries) {
    const auto names = vfat::ReadStoredNames(vfat::IoctlStep(fd), ec);
    if (ec) {
        if (ec.value() == ENOTTY) {
            ec.clear();  // a driver without the ioctl: no aliases to read
        }
        return false;
    }
    std::size_t used = 0;
    for (const auto& name : names) {
        struct stat st {};
        if (::fstatat(fd, name.longName.c_str(), &st, 0) != 0) {
            continue;  // removed since it was listed
        }
        DirEntry& e = Slot(entries, used++);
        e.longName = name.longName;
        e.shortName = name.alias;
        e.isDirectory = S_ISDIR(st.st_mode);
        e.lastWrite = CardFileTimeOf(st.st_mtim);
    }
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(used), entries.end());
    return true;
}

// Kind (following links) and, when asked, last-write time of one entry of
// the open directory. The directory's own record gives the kind of plain
// files and folders; links, and file systems that record no kinds, are asked.
bool EntryKind(int dirFd, const dirent64& d, ListDetail detail, DirEntry& e) {
    if (detail != ListDetail::WithTimes && (d.d_type == DT_DIR || d.d_type == DT_REG)) {
        e.isDirectory = d.d_type == DT_DIR;
        return true;
    }
    struct stat st {};
    if (::fstatat(dirFd, d.d_name, &st, 0) != 0) {
        return false;
    }
    e.isDirectory = S_ISDIR(st.st_mode);
    if (detail == ListDetail::WithTimes) {
        e.lastWrite = CardFileTimeOf(st.st_mtim);
    }
    return true;
}

// The entries as the directory stores them, read in large batches straight
// from the kernel.
void ListPlain(int fd, std::error_code& ec, ListDetail detail, std::vector<DirEntry>& entries) {
    constexpr std::size_t kBatch = 32 * 1024;
    const std::unique_ptr<char[]> batch(new char[kBatch]);
    std::size_t used = 0;
    for (;;) {
        const ssize_t got = ::getdents64(fd, batch.get(), kBatch);
        if (got <= 0) {
            if (got < 0) {
                ec = LastError();
                used = 0;
            }
            entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(used), entries.end());
            return;
        }
        // Room for the most entries the batch can hold, so a large folder
        // is not moved again and again as it grows: a record takes at least
        // 24 bytes.
        entries.reserve(used + static_cast<std::size_t>(got) / 24);
        for (ssize_t at = 0; at < got;) {
            const auto* d = reinterpret_cast<const dirent64*>(batch.get() + at);
            at += d->d_reclen;
            const std::string_view name(d->d_name);
            if (name == "." || name == "..") {
                continue;
            }
            DirEntry& e = Slot(entries, used);
            if (EntryKind(fd, *d, detail, e)) {
                e.longName.assign(name);
                ++used;
            }
        }
    }
}

}  // namespace

void List(const std::filesystem::path& dir, std::error_code& ec, ListDetail detail,
          bool& aliasesStored, std::vector<DirEntry>& entries) {
    ec.clear();
    aliasesStored = false;
    FileDescriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        ec = LastError();
        entries.clear();
        return;
    }
    // Only the kernel's FAT driver keeps the real aliases; a FAT card mounted
    // any other way (FUSE, exFAT) is listed the plain way.
    if (detail != ListDetail::NamesAndKinds) {
        struct statfs fs {};
        if (::fstatfs(fd.get(), &fs) != 0) {
            ec = LastError();
            entries.clear();
            return;
        }
        if (fs.f_type == MSDOS_SUPER_MAGIC) {
            if (ListStoredAliases(fd.get(), ec, entries)) {
                aliasesStored = true;
                return;
            }
            if (ec) {
                entries.clear();
                return;
            }
        }
    }
    ListPlain(fd.get(), ec, detail, entries);
}

void ListOpen(int fd, std::error_code& ec, std::vector<DirEntry>& entries) {
    ec.clear();
    ListPlain(fd, ec, ListDetail::NamesAndKinds, entries);
}

std::filesystem::path ExecutablePath(std::error_code& ec) {
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

}  // namespace platform::native
