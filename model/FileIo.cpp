#include "model/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "model/Text.h"
#include "platform/Files.h"

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
// since reading one fails only later and less clearly. `size`, when given,
// receives the size the same ask of the file system found.
File OpenForReading(const std::filesystem::path& path, std::string& error,
                    std::uintmax_t* size = nullptr) {
    const platform::FileFacts facts = platform::Inspect(path);
    if (std::filesystem::is_directory(facts.status)) {
        error = "it is a folder, not a file";
        return nullptr;
    }
    // A pipe or device would block the read or never end.
    if (std::filesystem::exists(facts.status) && !std::filesystem::is_regular_file(facts.status)) {
        error = "it is not a regular file";
        return nullptr;
    }
    errno = 0;
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = Reason(errno);
        return file;
    }
    if (size != nullptr) {
        *size = facts.identity.size;
    }
    // Whole-file reads go straight into the caller's buffer; a stdio buffer
    // would only be copied from.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return file;
}

}  // namespace

Result<Prefix> ReadPrefix(const std::filesystem::path& path, std::size_t limit) {
    std::string error;
    Prefix prefix;
    File file = OpenForReading(path, error, &prefix.size);
    if (!file) {
        return Failure{path, error};
    }
    prefix.bytes.resize(std::min<std::uintmax_t>(prefix.size, limit));
    errno = 0;
    if (std::fread(prefix.bytes.data(), 1, prefix.bytes.size(), file.get()) !=
        prefix.bytes.size()) {
        return Failure{path, std::ferror(file.get()) ? Reason(errno) : "the file ended early"};
    }
    return prefix;
}

namespace {

// What a name that must be replaced turns out to be, if not a plain file.
std::string NotAFileReason(const std::filesystem::file_status& status) {
    return std::filesystem::is_directory(status) ? "it is a folder, not a file"
                                                 : "it is not a regular file";
}

constexpr std::string_view kTemporaryStem = "~CW";
constexpr std::string_view kTemporaryExtension = ".CWT";

// What lies under `name` in `folder`: `old` when the caller found it already.
std::filesystem::file_status StatusOf(const platform::Folder& folder, const std::string& name,
                                      const platform::FileFacts* old) {
    if (old != nullptr) {
        return old->status;
    }
    return folder.IsOpen() ? folder.Inspect(name).status
                           : platform::Inspect(folder.Path() / name).status;
}

// Fills a new temporary file in `folder` through `fill`, syncs it and
// renames it over `name`. `fill` returns false with errno set on failure.
template <typename Fill>
WriteResult ReplaceWith(const platform::Folder& folder, const std::string& name,
                        const platform::FileFacts* old, Fill&& fill) {
    WriteResult result;
    const auto status = StatusOf(folder, name, old);
    result.hadOldFile = std::filesystem::exists(status);
    // Opening a pipe would block for ever, and a folder or device is not ours
    // to replace: refuse before anything is opened.
    if (result.hadOldFile && !std::filesystem::is_regular_file(status)) {
        result.failure = WriteResult::Failure::NotAFile;
        result.reason = NotAFileReason(status);
        return result;
    }
    if (!folder.IsOpen()) {
        result.failure = WriteResult::Failure::Create;
        result.reason = Reason(folder.Error().value());
        return result;
    }
    std::string temp;
    platform::NewFile file;
    for (int attempt = 0; attempt < 64 && !file.IsOpen(); ++attempt) {
        temp = TemporaryName();
        errno = 0;
        file = folder.Create(temp);
        if (!file.IsOpen() && errno != EEXIST) {
            break;
        }
    }
    if (!file.IsOpen()) {
        result.failure = WriteResult::Failure::Create;
        result.reason = Reason(errno);
        return result;
    }
    const auto fail = [&](int err) {
        result.failure = WriteResult::Failure::Write;
        result.reason = Reason(err);
        file = {};
        folder.Remove(temp);
        return result;
    };
    errno = 0;
    if (!fill(file)) {
        return fail(errno);
    }
    // The new file keeps the old one's permissions; most often it was
    // created with them already.
    if (result.hadOldFile && status.permissions() != platform::NewFilePermissions()) {
        file.SetPermissions(status.permissions());
    }
    errno = 0;
    if (!file.SyncToDevice()) {
        return fail(errno);
    }
    errno = 0;
    if (!file.Close()) {
        return fail(errno);
    }
    errno = 0;
    if (!folder.Rename(temp, name)) {
        return fail(errno);
    }
    result.replaced = true;
    errno = 0;
    if (!folder.Sync()) {
        result.failure = WriteResult::Failure::Write;
        result.reason = Reason(errno);
    }
    return result;
}

}  // namespace

bool HoldsBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                const platform::FileFacts* known) {
    if (known != nullptr && std::filesystem::is_regular_file(known->status) &&
        known->identity.size != bytes.size()) {
        return false;
    }
    const auto old = ReadPrefix(path, bytes.size() + 1);
    return old && old->size == bytes.size() &&
           std::equal(bytes.begin(), bytes.end(), old->bytes.begin());
}

bool SameContents(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    const auto sizeA = std::filesystem::file_size(a, ec);
    if (ec || !std::filesystem::is_regular_file(b, ec)) {
        return false;
    }
    const auto sizeB = std::filesystem::file_size(b, ec);
    if (ec || sizeA != sizeB) {
        return false;
    }
    std::string error;
    File fa = OpenForReading(a, error);
    File fb = OpenForReading(b, error);
    if (!fa || !fb) {
        return false;
    }
    // One block for both halves, left uninitialised: it is only read into.
    constexpr std::size_t kChunk = 1 << 15;
    const std::unique_ptr<char[]> buffer(new char[2 * kChunk]);
    char* const bufA = buffer.get();
    char* const bufB = bufA + kChunk;
    for (;;) {
        const std::size_t n = std::fread(bufA, 1, kChunk, fa.get());
        if (std::fread(bufB, 1, n, fb.get()) != n || !std::equal(bufA, bufA + n, bufB)) {
            return false;
        }
        if (n < kChunk) {
            return !std::ferror(fa.get()) && std::fgetc(fb.get()) == EOF;
        }
    }
}

// A short name that FAT keeps as it is (8.3, upper case), different for every
// call in this process and unlikely to meet another process's; its stem and
// extension are this program's own, so that the leftovers of an interrupted
// save can be told from anyone else's files.
std::string TemporaryName() {
    static std::uint32_t next = [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        return static_cast<std::uint32_t>(now) ^ std::random_device{}();
    }();
    char name[16];
    std::snprintf(name, sizeof name, "~CW%05X.CWT", next++ & 0xFFFFFu);
    return name;
}

bool IsTemporaryName(std::string_view name) {
    if (name.size() != kTemporaryStem.size() + 5 + kTemporaryExtension.size() ||
        name.substr(0, kTemporaryStem.size()) != kTemporaryStem ||
        name.substr(name.size() - kTemporaryExtension.size()) != kTemporaryExtension) {
        return false;
    }
    const std::string_view digits = name.substr(kTemporaryStem.size(), 5);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

std::string WriteResult::Aftermath(const std::filesystem::path& target) const {
    const std::string name = target.filename().string();
    if (failure == Failure::NotAFile) {
        return "Nothing was written.";
    }
    if (replaced) {
        return text::Concat({"The new ", name, " may not have reached the card."});
    }
    if (hadOldFile) {
        return text::Concat({"The card still holds the previous ", name, "."});
    }
    return text::Concat({"No ", name, " was written."});
}

WriteResult Replace(const platform::Folder& folder, const std::string& name,
                    std::span<const std::uint8_t> bytes, const platform::FileFacts* old) {
    return ReplaceWith(folder, name, old,
                       [&](platform::NewFile& file) { return file.Write(bytes); });
}

WriteResult Replace(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    const std::filesystem::path dir = target.parent_path();
    const platform::Folder folder(dir.empty() ? "." : dir);
    if (!target.has_filename()) {
        // "out/" names the folder itself, which is refused as any folder is.
        const platform::FileFacts whole = platform::Inspect(target);
        return Replace(folder, {}, bytes, &whole);
    }
    return Replace(folder, target.filename().string(), bytes);
}

WriteResult ReplaceWithCopy(const platform::Folder& folder, const std::string& name,
                            const std::filesystem::path& source, const platform::FileFacts* old) {
    std::string error;
    File in = OpenForReading(source, error);
    if (!in) {
        WriteResult result;
        result.failure = WriteResult::Failure::Write;
        result.reason = text::Concat({"the program file cannot be read (", error, ")"});
        result.hadOldFile = std::filesystem::exists(StatusOf(folder, name, old));
        return result;
    }
    return ReplaceWith(folder, name, old, [&](platform::NewFile& out) {
        constexpr std::size_t kChunk = 1 << 16;
        const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[kChunk]);
        for (;;) {
            const std::size_t n = std::fread(buffer.get(), 1, kChunk, in.get());
            if (n > 0 && !out.Write({buffer.get(), n})) {
                return false;
            }
            if (n < kChunk) {
                return std::ferror(in.get()) == 0;
            }
        }
    });
}

std::string Display(const std::filesystem::path& path) {
    return path.string();
}

std::string Quoted(const std::filesystem::path& path) {
    return text::Concat({"\"", Display(path), "\""});
}

}  // namespace fileio
