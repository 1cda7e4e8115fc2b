#include "media/FileStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace media {

FileStream::FileStream(const std::filesystem::path& path, Mode mode, std::string& error) {
    const auto how = mode == Mode::Read
                         ? std::ios::in | std::ios::binary
                         : std::ios::in | std::ios::out | std::ios::trunc | std::ios::binary;
    errno = 0;
    if (!buffer_.open(path, how)) {
        error = errno != 0 ? std::strerror(errno) : "it cannot be opened";
    }
}

std::int64_t FileStream::Read(void* out, std::int64_t count) {
    if (count <= 0) {
        return 0;
    }
    const std::int64_t n = buffer_.sgetn(static_cast<char*>(out), count);
    bytesRead_ += static_cast<std::uint64_t>(std::max<std::int64_t>(n, 0));
    return std::max<std::int64_t>(n, 0);
}

std::int64_t FileStream::Write(const void* in, std::int64_t count) {
    if (count <= 0) {
        return 0;
    }
    const std::int64_t n = buffer_.sputn(static_cast<const char*>(in), count);
    written_ = std::max(written_, Tell());
    return std::max<std::int64_t>(n, 0);
}

std::int64_t FileStream::Seek(std::int64_t offset, int whence) {
    const auto dir = whence == SEEK_SET   ? std::ios::beg
                     : whence == SEEK_CUR ? std::ios::cur
                                          : std::ios::end;
    const auto to = buffer_.pubseekoff(offset, dir, std::ios::in | std::ios::out);
    return to == std::streampos(-1) ? -1 : static_cast<std::int64_t>(to);
}

std::int64_t FileStream::Tell() {
    const auto at = buffer_.pubseekoff(0, std::ios::cur, std::ios::in | std::ios::out);
    return at == std::streampos(-1) ? -1 : static_cast<std::int64_t>(at);
}

std::int64_t FileStream::Length() {
    const std::int64_t at = Tell();
    const std::int64_t end = Seek(0, SEEK_END);
    Seek(at, SEEK_SET);
    return std::max(end, written_);
}

bool FileStream::Close() {
    const bool synced = buffer_.pubsync() == 0;
    return buffer_.close() != nullptr && synced;
}

}  // namespace media
