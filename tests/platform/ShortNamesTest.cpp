#include "platform/ShortNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::ShortNameGenerator;

struct AliasCase {
    const char* why;
    std::string longName;
    std::string alias;
};

// The everyday rules are checked against a real FAT image in FatImageTest;
// these are the names an image written by mtools cannot speak for.

// Each name copied alone into an empty directory.
TEST(ShortNameGenerator, AliasOfASingleName) {
    const AliasCase cases[] = {
        {"a tilde is a plain character", "ABC~1.MP3", "ABC~1.MP3"},
        {"a control character becomes underscore", "a\tb.mp3", "A_B~1.MP3"},
        {"a character outside the BMP is two UTF-16 units", "\xF0\x9F\x8E\xB5.mp3", "__~1.MP3"},
        {"bytes that are not UTF-8", "\xFF\xFE.mp3", "__~1.MP3"},
        {"a cut-off UTF-8 sequence", "\xE2\x82.mp3", "__~1.MP3"},
        {"an encoded surrogate is not UTF-8", "\xED\xA0\x80.mp3", "___~1.MP3"},
        {"nothing left to store", "", ""},
        {"only periods", "...", ""},
        {"only spaces and periods", " . ", ""},
    };
    for (const auto& c : cases) {
        ShortNameGenerator generator;
        EXPECT_EQ(generator.Next(c.longName), c.alias) << c.why;
    }
}

struct SequenceCase {
    const char* why;
    std::vector<std::string> longNames;
    std::vector<std::string> aliases;
};

// Names copied one after another into the same directory.
TEST(ShortNameGenerator, AliasesOfNamesCopiedInOrder) {
    std::vector<std::string> shortBase;  // "x+.mp3", "x+ .mp3", "x+  .mp3", ...
    for (int spaces = 0; spaces < 11; ++spaces) {
        shortBase.push_back("x+" + std::string(spaces, ' ') + ".mp3");
    }
    const SequenceCase cases[] = {
        {"a short base keeps whole beside a two-digit tail",
         shortBase,
         {"X_~1.MP3", "X_~2.MP3", "X_~3.MP3", "X_~4.MP3", "X_~5.MP3", "X_~6.MP3", "X_~7.MP3",
          "X_~8.MP3", "X_~9.MP3", "X_~10.MP3", "X_~11.MP3"}},
        {"a name differing only in case cannot reuse the alias",
         {"A.MP3", "a.mp3"},
         {"A.MP3", "A~1.MP3"}},
        {"an 8.3 name equal to an earlier generated alias gets a tail",
         {"a+b.mp3", "A_B~1.MP3"},
         {"A_B~1.MP3", "A_B~1~1.MP3"}},
        {"an 8.3 name can take the alias a later long name would have wanted",
         {"LONGTR~1.MP3", "Long Track Name.mp3"},
         {"LONGTR~1.MP3", "LONGTR~2.MP3"}},
    };
    for (const auto& c : cases) {
        ShortNameGenerator generator;
        std::vector<std::string> got;
        for (const auto& name : c.longNames) {
            got.push_back(generator.Next(name));
        }
        EXPECT_EQ(got, c.aliases) << c.why;
    }
}

}  // namespace
