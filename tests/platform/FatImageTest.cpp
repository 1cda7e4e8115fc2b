// Checks the generated aliases against the ones a real FAT formatter and
// copier store: every name is copied with mcopy into a fresh image in a fixed
// order, and the aliases are read back from the image's own directory entries.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ShortNames.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The full path of a tool, or empty when it is not installed.
fs::path FindTool(const std::string& name) {
    std::string dirs = std::getenv("PATH") ? std::getenv("PATH") : "";
    dirs += ":/usr/sbin:/sbin:/usr/bin:/bin";
    std::istringstream in(dirs);
    for (std::string dir; std::getline(in, dir, ':');) {
        const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

// Runs a tool without a shell, with no input; returns its exit code (-1 if it
// could not run) and, when `out` is given, what it printed.
int RunTool(const std::vector<std::string>& args, std::string* out = nullptr) {
    int pipeFds[2] = {-1, -1};
    if (out && ::pipe(pipeFds) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    std::vector<char*> argv;
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (out) {
        ::close(pipeFds[1]);
        char buffer[256];
        for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
            out->append(buffer, static_cast<std::size_t>(n));
        }
        ::close(pipeFds[0]);
    }
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Up to `count` bytes of `file` from `offset`.
std::vector<unsigned char> ReadBytes(const fs::path& file, std::size_t offset, std::size_t count) {
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::vector<unsigned char> bytes(count);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return bytes;
}

std::uint32_t Le(const std::vector<unsigned char>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = v << 8 | b.at(at + static_cast<std::size_t>(i));
    }
    return v;
}

// The aliases in the root directory of a FAT12/16 image, in stored order,
// read from its 32-byte entries: long-name pieces, deleted entries and the
// volume label are passed over.
std::vector<std::string> RootAliases(const fs::path& image) {
    const auto boot = ReadBytes(image, 0, 512);
    const std::uint32_t bytesPerSector = Le(boot, 11, 2);
    const std::uint32_t reservedSectors = Le(boot, 14, 2);
    const std::uint32_t fatCount = boot.at(16);
    const std::uint32_t rootEntries = Le(boot, 17, 2);
    const std::uint32_t sectorsPerFat = Le(boot, 22, 2);
    if (rootEntries == 0 || sectorsPerFat == 0) {
        ADD_FAILURE() << "not a FAT12/16 image";
        return {};
    }
    const auto b = ReadBytes(image, (reservedSectors + fatCount * sectorsPerFat) * bytesPerSector,
                             32 * rootEntries);
    std::vector<std::string> aliases;
    for (std::size_t at = 0; at + 32 <= b.size(); at += 32) {
        const unsigned char first = b[at];
        const unsigned char attributes = b[at + 11];
        if (first == 0x00) {
            break;
        }
        if (first == 0xE5 || attributes == 0x0F || (attributes & 0x08) != 0) {
            continue;
        }
        std::string base(reinterpret_cast<const char*>(&b[at]), 8);
        std::string extension(reinterpret_cast<const char*>(&b[at + 8]), 3);
        if (base[0] == 0x05) {
            base[0] = static_cast<char>(0xE5);  // a leading E5 byte is stored as 05
        }
        base.erase(base.find_last_not_of(' ') + 1);
        extension.erase(extension.find_last_not_of(' ') + 1);
        aliases.push_back(extension.empty() ? base : base + "." + extension);
    }
    return aliases;
}

class FatImage : public ::testing::Test {
  protected:
    void SetUp() override {
        mkfs_ = FindTool("mkfs.vfat");
        mcopy_ = FindTool("mcopy");
        if (mkfs_.empty() || mcopy_.empty()) {
            GTEST_SKIP() << "mkfs.vfat and mcopy (dosfstools, mtools) are not installed";
        }
        ::setenv("MTOOLS_SKIP_CHECK", "1", 1);
        dir_ = fs::temp_directory_path() /
               ("cardwright-fat-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        image_ = dir_ / "card.img";
        source_ = dir_ / "track.bin";
        std::ofstream(source_) << "audio";
        ASSERT_EQ(RunTool({mkfs_, "-C", image_, "32768"}), 0);
    }
    void TearDown() override {
        if (!dir_.empty()) {
            fs::remove_all(dir_);
        }
    }

    // Copies every name, one mcopy each, in order, and returns the aliases
    // read back from the image.
    std::vector<std::string> CopyAll(const std::vector<std::string>& names) {
        for (const auto& name : names) {
            EXPECT_EQ(RunTool({mcopy_, "-D", "o", "-i", image_, source_, "::/" + name}), 0) << name;
        }
        return RootAliases(image_);
    }

    // What mtools itself reads as the alias of `name`. Trailing periods and
    // spaces are not part of the stored name; brackets would be a pattern.
    std::string MtoolsAlias(std::string name) {
        name.erase(name.find_last_not_of(". ") + 1);
        std::string pattern;
        for (const char c : name) {
            pattern += std::string(c == '[' || c == ']' ? "\\" : "") + c;
        }
        std::string out;
        RunTool({FindTool("mshortname"), "-i", image_, "::/" + pattern}, &out);
        out.erase(0, out.rfind('/') + 1);
        out.erase(out.find_last_not_of('\n') + 1);
        return out;
    }

    static std::vector<std::string> Generate(const std::vector<std::string>& names) {
        platform::ShortNameGenerator generator;
        std::vector<std::string> aliases;
        for (const auto& name : names) {
            aliases.push_back(generator.Next(name));
        }
        return aliases;
    }

    fs::path mkfs_, mcopy_, dir_, image_, source_;
};

TEST_F(FatImage, GeneratedAliasesMatchTheStoredOnesInCopyOrder) {
    const std::vector<std::string> names = {
        "Long Track Name 01.mp3",
        "Long Track Name 02.mp3",
        "Long Track Name 03.mp3",
        "Long Track Name 04.mp3",
        "Long Track Name 05.mp3",
        "Long Track Name 06.mp3",
        "Long Track Name.wav",
        "c.mp3",
        "Mixed.Mp3",
        "README",
        "ABCDEFGH.WAV",
        "12345678.123",
        "my.song.v2.mp3",
        "x.tar.gz",
        ".hidden.mp3",
        ".mp3",
        "a+b.mp3",
        "x,y;z=w[1].mp3",
        "ab+ 1.mp3",
        "a b.mp3",
        "  lead.mp3",
        "trail .mp3",
        "trailing.mp3 ",
        "notes.",
        "song.mpeg",
        "abcdefghi.mp3",
        "$%-_@~`!(){}^#&.mp3",
    };
    const auto stored = CopyAll(names);
    EXPECT_EQ(Generate(names), stored);

    if (FindTool("mshortname").empty()) {
        return;
    }
    // The image reader itself, checked against mtools' own reading.
    ASSERT_EQ(stored.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(MtoolsAlias(names[i]), stored[i]) << names[i];
    }
}

// Tails are counted on in order, the base giving way at ~10, as the long-name
// rules describe. mtools and the generator agree; the Linux driver only counts
// to ~9 and then picks random hex digits, and other systems hash the name
// after ~4, so a card written there differs from both from that file on.
TEST_F(FatImage, TailsCountOnPastNineLikeMtools) {
    std::vector<std::string> names;
    for (int i = 1; i <= 12; ++i) {
        names.push_back("Long Track Name " + std::to_string(100 + i) + ".mp3");
    }
    const auto stored = CopyAll(names);
    EXPECT_EQ(stored.at(4), "LONGTR~5.MP3");
    EXPECT_EQ(stored.at(9), "LONGT~10.MP3");
    EXPECT_EQ(Generate(names), stored);
}

// An apostrophe is a valid short-name character under the FAT rules (and to
// the Linux driver); mtools replaces it. The generator follows the rules.
TEST_F(FatImage, ApostropheIsReplacedByMtoolsButKeptByTheFatRules) {
    const std::vector<std::string> names = {"it's.mp3", "don't stop.mp3"};
    EXPECT_EQ(CopyAll(names), (std::vector<std::string>{"IT_S~1.MP3", "DON_TS~1.MP3"}));
    EXPECT_EQ(Generate(names), (std::vector<std::string>{"IT'S.MP3", "DON'TS~1.MP3"}));
}

// The FAT rules drop every space before the base is cut to eight characters;
// mtools cuts the first eight characters, spaces included, and then drops the
// spaces, leaving a shorter base. The generator follows the rules, as the
// Linux driver does.
TEST_F(FatImage, SpacesWithinTheFirstEightShortenTheBaseOnlyInMtools) {
    const std::vector<std::string> names = {"A B C Song.mp3"};
    EXPECT_EQ(CopyAll(names), std::vector<std::string>{"ABCSO~1.MP3"});
    EXPECT_EQ(Generate(names), std::vector<std::string>{"ABCSON~1.MP3"});
}

// Here mtools follows the FAT rules: a letter the card's OEM code page holds
// is converted into it ("é" becomes byte 0x90 under code page 850) and the
// name still fits 8.3. The generator does not know the card's code page and
// keeps aliases ASCII, so it replaces the letter and adds a tail.
TEST_F(FatImage, NonAsciiLetterIsConvertedByMtoolsButReplacedByTheGenerator) {
    const std::vector<std::string> names = {"caf\xC3\xA9.mp3"};
    const auto stored = CopyAll(names);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].substr(0, 3), "CAF");
    EXPECT_GE(static_cast<unsigned char>(stored[0][3]), 0x80);
    EXPECT_EQ(stored[0].substr(4), ".MP3");
    EXPECT_EQ(Generate(names), std::vector<std::string>{"CAF_~1.MP3"});
}

}  // namespace
