#include "platform/Directory.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/ShortNames.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

// 100 ns ticks from 1601-01-01 to the Unix epoch and to 2000-01-01.
constexpr std::uint64_t kYear1970 = 116444736000000000ULL;
constexpr std::uint64_t kYear2000 = 125911584000000000ULL;

fs::file_time_type FileTime(sys_days day, nanoseconds later = {}) {
    return file_clock::from_sys(sys_time<nanoseconds>(day) + later);
}

TEST(ListDirectory, ListsEntriesInStoredOrderWithGeneratedAliases) {
    TempDir tmp;
    for (const char* name : {"c.mp3", "NOTES.TXT", "\xFF\xFE.mp3"}) {
        Touch(tmp / name);
    }
    for (int i = 1; i <= 6; ++i) {  // aliases whose tails follow the order
        Touch(tmp / ("Long Track Name " + std::to_string(i) + ".mp3"));
    }
    fs::create_directory(tmp.path() / "X");
    fs::last_write_time(tmp.path() / "c.mp3",
                        FileTime(sys_days{2000y / 1 / 1}, nanoseconds(123456789)));
    // Links that lead nowhere cannot be copied to a card and are left out.
    fs::create_symlink("loop.mp3", tmp.path() / "loop.mp3");
    fs::create_symlink("nowhere.mp3", tmp.path() / "dangling.mp3");
    std::vector<std::string> expected;  // in stored order
    for (const auto& e : fs::directory_iterator(tmp.path())) {
        if (!e.is_symlink()) {
            expected.push_back(e.path().filename().string());
        }
    }

    std::error_code ec;
    const auto entries = platform::ListDirectory(tmp.path(), ec);
    ASSERT_FALSE(ec) << ec.message();
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
}

TEST(ListDirectory, DirectoryThatCannotBeListedGivesAnError) {
    TempDir tmp;
    const fs::path file = tmp.path() / "file.mp3", locked = tmp.path() / "locked";
    Touch(file);
    fs::create_directory(locked);
    Touch(locked / "a.mp3");
    fs::permissions(locked, fs::perms::none);
    for (const fs::path& dir : {tmp.path() / "missing", file, fs::path(), locked}) {
        if (dir == locked && ::geteuid() == 0) {
            continue;  // permissions do not stop root
        }
        std::error_code ec;
        EXPECT_TRUE(platform::ListDirectory(dir, ec).empty()) << dir;
        EXPECT_TRUE(ec) << dir;
    }
    fs::permissions(locked, fs::perms::owner_all);
}

// Every kind of listing reads the same entries in the same order, also
// a folder larger than one read from the directory takes.
TEST(ListDirectory, EveryDetailListsTheSameNamesAndKinds) {
    TempDir tmp;
    for (int i = 0; i < 700; ++i) {
        Touch(tmp /
              ("A rather long track name to fill the directory " + std::to_string(i) + ".mp3"));
    }
    fs::create_directory(tmp.path() / "Folder");
    fs::create_directory_symlink("Folder", tmp.path() / "LinkToFolder");
    fs::create_symlink("NOTES.TXT", tmp.path() / "LinkToFile");
    Touch(tmp / "NOTES.TXT");
    fs::create_symlink("nowhere.mp3", tmp.path() / "dangling.mp3");

    const auto namesAndKinds = [&](platform::ListDetail detail) {
        std::error_code ec;
        std::vector<std::pair<std::string, bool>> listed;
        for (const auto& e : platform::ListDirectory(tmp.path(), ec, detail)) {
            listed.emplace_back(e.longName, e.isDirectory);
        }
        EXPECT_FALSE(ec) << ec.message();
        return listed;
    };
    const auto full = namesAndKinds(platform::ListDetail::WithTimes);
    ASSERT_EQ(full.size(), 704u);
    EXPECT_EQ(std::count_if(full.begin(), full.end(), [](const auto& e) { return e.second; }), 2);
    EXPECT_EQ(namesAndKinds(platform::ListDetail::KindOnly), full);
    EXPECT_EQ(namesAndKinds(platform::ListDetail::NamesAndKinds), full);

    // A listing written over an earlier one keeps nothing of it: not its
    // aliases, times or kinds, nor entries past its own end.
    const auto same = [](const platform::DirEntry& a, const platform::DirEntry& b) {
        return a.longName == b.longName && a.shortName == b.shortName &&
               a.isDirectory == b.isDirectory && a.aliasGenerated == b.aliasGenerated &&
               a.lastWrite == b.lastWrite;
    };
    std::error_code ec;
    std::vector<platform::DirEntry> reused = platform::ListDirectory(tmp.path(), ec);
    const fs::path small = tmp.path() / "Folder";
    Touch(small / "one.mp3");
    fs::create_directory(small / "Two");
    for (const auto detail : {platform::ListDetail::NamesAndKinds, platform::ListDetail::KindOnly}) {
        platform::ListDirectoryInto(small, ec, detail, reused);
        const auto fresh = platform::ListDirectory(small, ec, detail);
        ASSERT_EQ(reused.size(), fresh.size());
        EXPECT_TRUE(std::equal(reused.begin(), reused.end(), fresh.begin(), same));
    }
    platform::ListDirectoryInto(tmp.path() / "missing", ec, platform::ListDetail::KindOnly, reused);
    EXPECT_TRUE(ec);
    EXPECT_TRUE(reused.empty());
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
    EXPECT_EQ(platform::CardFileTime(FileTime(sys_days{1970y / 1 / 1})), kYear1970);
    // Fractions below 100 ns are dropped.
    EXPECT_EQ(platform::CardFileTime(FileTime(sys_days{2000y / 1 / 1}, nanoseconds(123456789))),
              kYear2000 + 1234567);
    EXPECT_EQ(platform::CardFileTime(FileTime(sys_days{1969y / 12 / 31})),
              kYear1970 - 864000000000ULL);
    // The file clock reaches centuries past what the system clock holds in
    // nanoseconds; such a time must still come out later, not wrap around.
    EXPECT_GT(platform::CardFileTime(fs::file_time_type::max()), kYear2000);
    EXPECT_LT(platform::CardFileTime(fs::file_time_type::min()), kYear1970);
}

}  // namespace
