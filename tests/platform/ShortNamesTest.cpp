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

// Each name copied alone into an empty directory.
TEST(ShortNameGenerator, AliasOfASingleName) {
    const AliasCase cases[] = {
        {"lower case that fits 8.3 takes no tail", "c.mp3", "C.MP3"},
        {"mixed case that fits 8.3 takes no tail", "Mixed.Mp3", "MIXED.MP3"},
        {"full 8.3 without change", "ABCDEFGH.WAV", "ABCDEFGH.WAV"},
        {"no extension", "README", "README"},
        {"a tilde is a plain character", "ABC~1.MP3", "ABC~1.MP3"},
        {"an apostrophe is a valid short-name character", "it's.mp3", "IT'S.MP3"},
        {"base longer than eight", "abcdefghi.mp3", "ABCDEF~1.MP3"},
        {"extension longer than three", "song.mpeg", "SONG~1.MPE"},
        {"spaces are dropped before the base is cut", "A B C Song.mp3", "ABCSON~1.MP3"},
        {"extra periods are dropped from the base", "my.song.v2.mp3", "MYSONG~1.MP3"},
        {"leading period is dropped", ".hidden.mp3", "HIDDEN~1.MP3"},
        {"a leading period starts no extension", ".mp3", "MP3~1"},
        {"leading spaces are dropped", "  lead.mp3", "LEAD~1.MP3"},
        {"trailing period is ignored", "song.", "SONG"},
        {"trailing space is ignored", "song.mp3 ", "SONG.MP3"},
        {"plus becomes underscore", "a+b.mp3", "A_B~1.MP3"},
        {", ; = [ ] become underscores", "x,y;z=w[1].mp3", "X_Y_Z_~1.MP3"},
        {"a short basis keeps its length", "AB+.MP3", "AB_~1.MP3"},
        {"a control character becomes underscore", "a\tb.mp3", "A_B~1.MP3"},
        {"one underscore per accented letter, not per byte", "caf\xC3\xA9.mp3", "CAF_~1.MP3"},
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
    std::vector<std::string> twelve;
    for (int i = 1; i <= 12; ++i) {
        twelve.push_back("Long Track Name " + std::to_string(i) + ".mp3");
    }
    std::vector<std::string> shortBase;  // "x+.mp3", "x+ .mp3", "x+  .mp3", ...
    for (int spaces = 0; spaces < 11; ++spaces) {
        shortBase.push_back("x+" + std::string(spaces, ' ') + ".mp3");
    }
    const SequenceCase cases[] = {
        {"the base gives way to a two-digit tail",
         twelve,
         {"LONGTR~1.MP3", "LONGTR~2.MP3", "LONGTR~3.MP3", "LONGTR~4.MP3", "LONGTR~5.MP3",
          "LONGTR~6.MP3", "LONGTR~7.MP3", "LONGTR~8.MP3", "LONGTR~9.MP3", "LONGT~10.MP3",
          "LONGT~11.MP3", "LONGT~12.MP3"}},
        {"a short base keeps whole beside a two-digit tail",
         shortBase,
         {"X_~1.MP3", "X_~2.MP3", "X_~3.MP3", "X_~4.MP3", "X_~5.MP3", "X_~6.MP3", "X_~7.MP3",
          "X_~8.MP3", "X_~9.MP3", "X_~10.MP3", "X_~11.MP3"}},
        {"tails count per extension",
         {"Long Track Name.mp3", "Long Track Name.wav"},
         {"LONGTR~1.MP3", "LONGTR~1.WAV"}},
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
