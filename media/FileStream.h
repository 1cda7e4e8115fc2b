#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

// A file read or written in small pieces, the way libsndfile and libmpg123
// ask for it through their callbacks. It counts what it reads, so a caller
// can say how much of a file a check cost.
namespace media {

class FileStream {
  public:
    enum class Mode { Read, Write };

    FileStream() = default;
    // Opens `path`; `error` says why when it fails (IsOpen() is then false).
    FileStream(const std::filesystem::path& path, Mode mode, std::string& error);

    bool IsOpen() const { return buffer_.is_open(); }
    std::int64_t Read(void* out, std::int64_t count);
    std::int64_t Write(const void* in, std::int64_t count);
    // As fseek; the new position, or -1.
    std::int64_t Seek(std::int64_t offset, int whence);
    std::int64_t Tell();
    std::int64_t Length();
    // Pushes what is buffered to the file and closes it; false when the
    // file system refused any of it.
    bool Close();

    std::uint64_t BytesRead() const { return bytesRead_; }

  private:
    std::filebuf buffer_;
    std::uint64_t bytesRead_ = 0;
    std::int64_t written_ = 0;  // the largest end of anything written
};

}  // namespace media
