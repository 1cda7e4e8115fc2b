#include "model/FileIo.h"

#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace fileio {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string Reason(int err) {
    return err ? std::strerror(err) : "unknown error";
}

// Opens an existing regular file for reading; a folder is refused up front,
// since reading one fails only later and less clearly.
File OpenForReading(const std::filesystem::path& path, std::string& error) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status)) {
        error = "it is a folder, not a file";
        return nullptr;
    }
    // A pipe or device would block the read or never end.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        error = "it is not a regular file";
        return nullptr;
    }
    errno = 0;
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = Reason(errno);
        return file;
    }
    // Whole-file reads go straight into the caller's buffer; a stdio buffer
    // would only be copied from.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return file;
}

}  // namespace

bool ReadPrefix(const std::filesystem::path& path, std::size_t limit,
                std::vector<std::uint8_t>& bytes, std::uintmax_t& size, std::string& error) {
    bytes.clear();
    size = 0;
    File file = OpenForReading(path, error);
    if (!file) {
        return false;
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
        error = Reason(errno);
        return false;
    }
    const long end = std::ftell(file.get());
    if (end < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        error = Reason(errno);
        return false;
    }
    size = static_cast<std::uintmax_t>(end);
    bytes.resize(std::min<std::uintmax_t>(size, limit));
    errno = 0;
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        error = std::ferror(file.get()) ? Reason(errno) : "the file ended early";
        bytes.clear();
        return false;
    }
    return true;
}

WriteFailure Write(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                   std::string& error) {
    errno = 0;
    std::FILE* raw = std::fopen(path.c_str(), "wb");
    if (!raw) {
        error = Reason(errno);
        return WriteFailure::Create;
    }
    errno = 0;
    // The card may be pulled right after a save: the data must be on it, and
    // an error that shows only when it is flushed to the card fails the write.
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), raw) == bytes.size() &&
                         std::fflush(raw) == 0 && platform::SyncToDevice(raw);
    const int writeErr = errno;
    errno = 0;
    const bool closed = std::fclose(raw) == 0;
    if (!written || !closed) {
        error = Reason(!written ? writeErr : errno);
        return WriteFailure::Write;
    }
    return WriteFailure::None;
}

std::string Display(const std::filesystem::path& path) {
    return path.string();
}

}  // namespace fileio
