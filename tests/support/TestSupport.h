#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A fresh directory under the system's temporary folder, removed on
// destruction.
class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("cardwright-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

inline Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline void Touch(const std::filesystem::path& path, const std::string& content = "x") {
    std::ofstream(path, std::ios::binary) << content;
}

// Every file under a folder with its bytes, keyed by its path inside it, and
// every link with its target (never followed, so a loop is no trouble): two
// snapshots are equal when nothing in the folder changed.
inline void SnapshotInto(const std::filesystem::path& root, const std::filesystem::path& dir,
                         std::map<std::string, Bytes>& files) {
    for (const std::filesystem::directory_entry& e : std::filesystem::directory_iterator(dir)) {
        const std::string rel = e.path().lexically_relative(root).string();
        const auto kind = std::filesystem::symlink_status(e.path()).type();
        if (kind == std::filesystem::file_type::symlink) {
            const std::string target = std::filesystem::read_symlink(e.path()).string();
            files[rel + " ->"] = Bytes(target.begin(), target.end());
        } else if (kind == std::filesystem::file_type::directory) {
            files[rel + "/"] = {};
            SnapshotInto(root, e.path(), files);
        } else {
            files[rel] = ReadBytes(e.path());
        }
    }
}

inline std::map<std::string, Bytes> Snapshot(const std::filesystem::path& dir) {
    std::map<std::string, Bytes> files;
    SnapshotInto(dir, dir, files);
    return files;
}
