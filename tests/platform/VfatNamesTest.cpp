#include "platform/linux/VfatNames.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace platform::vfat {
void PrintTo(const StoredNames& n, std::ostream* os) {
    *os << n.longName << " = " << n.alias;
}
}  // namespace platform::vfat

namespace {

using platform::vfat::ReadStoredNames;
using platform::vfat::StoredNames;

// One scripted answer of the kernel.
struct Answer {
    int result;  // 1 = an entry, 0 = the end, -1 = failure with `error`
    std::string alias;
    std::string longName;
    int error = 0;
};

Answer Entry(std::string alias, std::string longName = "") {
    return {1, std::move(alias), std::move(longName)};
}

// Plays `answers` back like the kernel would, one per call; after the last
// answer it reports the end.
platform::vfat::ReadBothStep Script(std::vector<Answer> answers) {
    return [answers = std::move(answers), next = std::size_t{0}](__fat_dirent(&both)[2]) mutable {
        if (next == answers.size()) {
            return 0;
        }
        const Answer& a = answers[next++];
        if (a.result < 0) {
            errno = a.error;
            return -1;
        }
        // Copied without a terminating zero when a name fills the whole field.
        std::memcpy(both[0].d_name, a.alias.data(),
                    std::min(a.alias.size(), sizeof both[0].d_name));
        std::memcpy(both[1].d_name, a.longName.data(),
                    std::min(a.longName.size(), sizeof both[1].d_name));
        both[0].d_reclen = static_cast<unsigned short>(a.alias.size());
        both[1].d_reclen = static_cast<unsigned short>(a.longName.size());
        return a.result;
    };
}

TEST(ReadStoredNames, FollowsTheKernelsAnswers) {
    const std::string longest(300, 'a');
    struct Case {
        const char* why;
        std::vector<Answer> answers;
        std::vector<StoredNames> expected;
        bool fails = false;
    };
    const Case cases[] = {
        {"dot entries skipped, displayed aliases upper-cased, missing long name is the alias",
         {Entry("."), Entry(".."), Entry("MYSONG~1.MP3", "My Song.mp3"), Entry("c.mp3"),
          Entry("NOTES.TXT")},
         {{"My Song.mp3", "MYSONG~1.MP3"}, {"c.mp3", "C.MP3"}, {"NOTES.TXT", "NOTES.TXT"}}},
        {"an empty record ends the directory",
         {Entry("A.MP3"), {1, "", ""}, Entry("B.MP3")},
         {{"A.MP3", "A.MP3"}}},
        {"no such entry ends the directory",
         {Entry("A.MP3"), {-1, "", "", ENOENT}, Entry("B.MP3")},
         {{"A.MP3", "A.MP3"}}},
        {"an input/output error fails the listing", {Entry("A.MP3"), {-1, "", "", EIO}}, {}, true},
        {"an alias shown in UTF-8 is stored in the card's code page, twelve bytes at most",
         {Entry("\xc3\x89L\xc3\x89PHA~1.MP3", "\xc3\x89l\xc3\xa9phant rose.mp3")},
         {{"\xc3\x89l\xc3\xa9phant rose.mp3", "\x90L\x90PHA~1.MP3"}}},
        {"names filling the whole field are cut, not overrun",
         {Entry("LONG~1", longest)},
         {{std::string(255, 'a'), "LONG~1"}}},
    };
    for (const auto& c : cases) {
        std::error_code ec;
        EXPECT_EQ(ReadStoredNames(Script(c.answers), ec), c.expected) << c.why;
        EXPECT_EQ(static_cast<bool>(ec), c.fails) << c.why;
    }
}

TEST(ToCardCodePage, MapsWhatTheCodePageHoldsAndReplacesTheRest) {
    using platform::vfat::ToCardCodePage;
    EXPECT_EQ(ToCardCodePage("PLAIN.MP3"), "PLAIN.MP3");
    EXPECT_EQ(ToCardCodePage("\xc3\x9c"
                             "BER.MP3"),
              "\x9a"
              "BER.MP3");  // U with diaeresis
    EXPECT_EQ(ToCardCodePage("\xc3\x87"
                             "A~1.WAV"),
              "\x80"
              "A~1.WAV");                                                 // C with cedilla
    EXPECT_EQ(ToCardCodePage("\xe6\x97\xa5\xe6\x9c\xac.MP3"), "__.MP3");  // not in the page
    EXPECT_EQ(ToCardCodePage("\xf0\x9f\x8e\xb5X"), "_X");                 // four bytes, one mark
    EXPECT_EQ(ToCardCodePage("A\xff\xc3"), "A__");                        // broken sequences
}

TEST(ReadStoredNames, ADirectoryThatNeverEndsIsAnError) {
    std::error_code ec;
    const auto names = ReadStoredNames(
        [](__fat_dirent(&both)[2]) {
            std::strcpy(both[0].d_name, "SAME.MP3");
            both[0].d_reclen = 8;
            return 1;
        },
        ec);
    EXPECT_TRUE(ec);
    EXPECT_TRUE(names.empty());
}

}  // namespace
