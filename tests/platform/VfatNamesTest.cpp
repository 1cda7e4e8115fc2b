#include "platform/linux/VfatNames.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

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
// answer it reports the end, or on a damaged card repeats that answer for ever.
platform::vfat::ReadBothStep Script(std::vector<Answer> answers, bool endless) {
    return [=, next = std::size_t{0}](__fat_dirent(&both)[2]) mutable {
        if (next == answers.size()) {
            if (!endless) {
                return 0;
            }
            --next;
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
        bool endless = false;
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
        {"a directory that never ends is an error", {Entry("SAME.MP3")}, {}, true, true},
    };
    for (const auto& c : cases) {
        std::error_code ec;
        EXPECT_EQ(ReadStoredNames(Script(c.answers, c.endless), ec), c.expected) << c.why;
        EXPECT_EQ(static_cast<bool>(ec), c.fails) << c.why;
    }
}

TEST(ToCardCodePage, MapsWhatTheCodePageHoldsAndReplacesTheRest) {
    const std::pair<const char*, const char*> cases[] = {
        {"PLAIN.MP3", "PLAIN.MP3"},
        {"\303\234BER.MP3", "\232BER.MP3"},          // U with diaeresis
        {"\303\207A~1.WAV", "\200A~1.WAV"},          // C with cedilla
        {"\346\227\245\346\234\254.MP3", "__.MP3"},  // not in the code page
        {"\360\237\216\265X", "_X"},                 // four bytes, one mark
        {"A\377\303", "A__"},                        // broken sequences
    };
    for (const auto& [shown, stored] : cases) {
        EXPECT_EQ(platform::vfat::ToCardCodePage(shown), stored) << shown;
    }
}

}  // namespace
