#include "platform/linux/VfatNames.h"

#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Ascii.h"

namespace platform::vfat {

namespace {

// A FAT directory holds at most 65536 entries; a file system that keeps
// answering past that is damaged and would never stop.
constexpr std::size_t kMaxEntries = 65536;

// The characters of code page 437, the FAT driver's default, from 0x80 up.
constexpr char16_t kCodePage437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

}  // namespace

std::string ToCardCodePage(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        // Decode one UTF-8 sequence of two or three bytes; anything else
        // (a stray byte, a character beyond the code page) is one '_'.
        char32_t cp = 0;
        std::size_t length = 1;
        const auto cont = [&](std::size_t k) {
            return i + k < utf8.size() && (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
        };
        if ((lead & 0xE0) == 0xC0 && cont(1)) {
            cp = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            length = 2;
        } else if ((lead & 0xF0) == 0xE0 && cont(1) && cont(2)) {
            cp = ((lead & 0x0Fu) << 12) | ((static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
            length = 3;
        } else if ((lead & 0xF8) == 0xF0) {
            length = std::min<std::size_t>(4, utf8.size() - i);
        }
        char byte = '_';
        for (int k = 0; k < 128 && cp != 0; ++k) {
            if (kCodePage437High[k] == cp) {
                byte = static_cast<char>(0x80 + k);
                break;
            }
        }
        out.push_back(byte);
        i += length;
    }
    return out;
}

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
        // The kernel shows the alias in the mount's character set; the card
        // (and so the configuration) holds its code-page bytes.
        entry.alias = ToCardCodePage(text::AsciiUpper(shown));
        names.push_back(std::move(entry));
    }
}

ReadBothStep IoctlStep(int dirFd) {
    return
        [dirFd](__fat_dirent(&both)[2]) { return ::ioctl(dirFd, VFAT_IOCTL_READDIR_BOTH, both); };
}

}  // namespace platform::vfat
