#include "platform/Directory.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ShortNames.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

// 100 ns ticks from 1601-01-01 to 2000-01-01.
constexpr std::uint64_t kYear2000 = 125911584000000000ULL;

fs::file_time_type FileTime(sys_days day, nanoseconds later = {}) {
    return file_clock::from_sys(sys_time<nanoseconds>(day) + later);
}

class TempDir {
  public:
    TempDir() {
        path_ = fs::temp_directory_path() / ("cardwright-dir-" + std::to_string(::getpid()));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

// The names in `dir` in the order readdir returns them, without "." and "..".
std::vector<std::string> ReaddirOrder(const fs::path& dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    while (const dirent* e = d ? ::readdir(d) : nullptr) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    if (d) {
        ::closedir(d);
    }
    return names;
}

TEST(ListDirectory, ListsEntriesInStoredOrderWithGeneratedAliases) {
    TempDir tmp;
    const std::vector<std::string> files = {
        "Long Track Name 1.mp3",
        "Long Track Name 2.mp3",
        "Long Track Name 3.mp3",
        "Long Track Name 4.mp3",
        "Long Track Name 5.mp3",
        "Long Track Name 6.mp3",
        "c.mp3",
        "NOTES.TXT",
        "\xFF\xFE.mp3",
    };
    for (const auto& name : files) {
        std::ofstream(tmp.path() / name) << "x";
    }
    fs::create_directory(tmp.path() / "X");
    fs::last_write_time(tmp.path() / "c.mp3",
                        FileTime(sys_days{2000y / 1 / 1}, nanoseconds(123456789)));
    // Links that lead nowhere cannot be copied to a card and are left out.
    fs::create_symlink("loop.mp3", tmp.path() / "loop.mp3");
    fs::create_symlink("nowhere.mp3", tmp.path() / "dangling.mp3");

    std::error_code ec;
    const auto entries = platform::ListDirectory(tmp.path(), ec);
    ASSERT_FALSE(ec) << ec.message();

    std::vector<std::string> expected = ReaddirOrder(tmp.path());
    std::erase(expected, "loop.mp3");
    std::erase(expected, "dangling.mp3");
    std::vector<std::string> listed;
    platform::ShortNameGenerator generator;
    for (const auto& e : entries) {
        listed.push_back(e.longName);
        EXPECT_EQ(e.shortName, generator.Next(e.longName)) << e.longName;
        EXPECT_EQ(e.isDirectory, e.longName == "X") << e.longName;
        if (e.longName == "c.mp3") {
            EXPECT_EQ(e.lastWrite, kYear2000 + 1234567);
        }
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(listed.size(), files.size() + 1);
}

TEST(ListDirectory, DirectoryThatCannotBeListedGivesAnError) {
    TempDir tmp;
    std::ofstream(tmp.path() / "file.mp3") << "x";
    fs::create_directory(tmp.path() / "locked");
    std::ofstream(tmp.path() / "locked" / "a.mp3") << "x";
    fs::permissions(tmp.path() / "locked", fs::perms::none);
    struct Case {
        const char* why;
        fs::path dir;
    };
    std::vector<Case> cases = {
        {"missing", tmp.path() / "missing"},
        {"a file", tmp.path() / "file.mp3"},
        {"empty path", fs::path()},
    };
    if (::geteuid() != 0) {  // permissions do not stop root
        cases.push_back({"unreadable", tmp.path() / "locked"});
    }
    for (const auto& c : cases) {
        std::error_code ec;
        EXPECT_TRUE(platform::ListDirectory(c.dir, ec).empty()) << c.why;
        EXPECT_TRUE(ec) << c.why;
    }
}

TEST(ExecutablePath, IsThisTestProgram) {
    std::error_code ec;
    const fs::path exe = platform::ExecutablePath(ec);
    ASSERT_FALSE(ec) << ec.message();
    EXPECT_TRUE(exe.is_absolute());
    EXPECT_EQ(exe.filename(), "platform_tests");
    EXPECT_TRUE(fs::is_regular_file(exe));
}

TEST(CardFileTime, CountsHundredNanosecondsFrom1601) {
    struct Case {
        const char* why;
        fs::file_time_type time;
        std::uint64_t expected;
    };
    const Case cases[] = {
        {"Unix epoch", FileTime(sys_days{1970y / 1 / 1}), 116444736000000000ULL},
        {"fractions below 100 ns are dropped",
         FileTime(sys_days{2000y / 1 / 1}, nanoseconds(123456789)), kYear2000 + 1234567},
        {"before the Unix epoch", FileTime(sys_days{1969y / 12 / 31}),
         116444736000000000ULL - 864000000000ULL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::CardFileTime(c.time), c.expected) << c.why;
    }
    // The file clock reaches centuries past what the system clock holds in
    // nanoseconds; such a time must still come out later, not wrap around.
    EXPECT_GT(platform::CardFileTime(fs::file_time_type::max()), kYear2000);
    EXPECT_LT(platform::CardFileTime(fs::file_time_type::min()), 116444736000000000ULL);
}

}  // namespace
