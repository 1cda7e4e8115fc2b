#include "platform/ShortNames.h"

#include "platform/ShortKeyTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The everyday rules are checked against a real FAT image in FatImageTest;
// these are the names an image written by mtools cannot speak for. Each row's
// names are copied one after another into an empty directory.
TEST(ShortNameGenerator, AliasesOfNamesCopiedInOrder) {
    struct Case {
        const char* why;
        std::vector<std::string> longNames;
        std::vector<std::string> aliases;
    };
    // "x+.mp3", "x+ .mp3", "x+  .mp3", ... each take the next tail.
    std::vector<std::string> shortBase, shortBaseAliases;
    for (int spaces = 0; spaces < 11; ++spaces) {
        shortBase.push_back("x+" + std::string(spaces, ' ') + ".mp3");
        shortBaseAliases.push_back("X_~" + std::to_string(spaces + 1) + ".MP3");
    }
    const Case cases[] = {
        {"a tilde is a plain character", {"ABC~1.MP3"}, {"ABC~1.MP3"}},
        {"a control character becomes underscore", {"a\tb.mp3"}, {"A_B~1.MP3"}},
        {"a character outside the BMP is two UTF-16 units", {"\xF0\x9F\x8E\xB5.mp3"}, {"__~1.MP3"}},
        {"bytes that are not UTF-8", {"\xFF\xFE.mp3"}, {"__~1.MP3"}},
        {"a cut-off UTF-8 sequence", {"\xE2\x82.mp3"}, {"__~1.MP3"}},
        {"an encoded surrogate is not UTF-8", {"\xED\xA0\x80.mp3"}, {"___~1.MP3"}},
        {"nothing left to store", {"", "...", " . "}, {"", "", ""}},
        // mtools replaces an apostrophe; the FAT rules (and the Linux driver)
        // keep it.
        {"an apostrophe is a short-name character",
         {"it's.mp3", "don't stop.mp3"},
         {"IT'S.MP3", "DON'TS~1.MP3"}},
        // mtools cuts eight characters, spaces included, before dropping the
        // spaces ("ABCSO~1.MP3"); the FAT rules drop them first.
        {"spaces go before the base is cut", {"A B C Song.mp3"}, {"ABCSON~1.MP3"}},
        // mtools converts a letter the card's code page holds; that code page
        // is not known here, so aliases stay ASCII.
        {"a letter outside ASCII is replaced", {"caf\xC3\xA9.mp3"}, {"CAF_~1.MP3"}},
        {"a short base keeps whole beside a two-digit tail", shortBase, shortBaseAliases},
        {"a name differing only in case cannot reuse the alias",
         {"A.MP3", "a.mp3"},
         {"A.MP3", "A~1.MP3"}},
        {"an 8.3 name equal to an earlier generated alias gets a tail",
         {"a+b.mp3", "A_B~1.MP3"},
         {"A_B~1.MP3", "A_B~1~1.MP3"}},
        {"names of two bases in turn each take their own next tail",
         {"Long Track One.mp3", "Other Song A.mp3", "Long Track Two.mp3", "Other Song B.mp3",
          "Long Track Three.mp3"},
         {"LONGTR~1.MP3", "OTHERS~1.MP3", "LONGTR~2.MP3", "OTHERS~2.MP3", "LONGTR~3.MP3"}},
        {"an 8.3 name can take the alias a later long name would have wanted",
         {"LONGTR~1.MP3", "Long Track Name.mp3"},
         {"LONGTR~1.MP3", "LONGTR~2.MP3"}},
    };
    for (const auto& c : cases) {
        platform::ShortNameGenerator generator;
        std::vector<std::string> got;
        for (const auto& name : c.longNames) {
            got.push_back(generator.Next(name));
        }
        EXPECT_EQ(got, c.aliases) << c.why;
    }
}

// Names in one folder often differ only in their last characters; every one
// must keep its own value as the table grows from empty.
TEST(ShortKeyTable, KeysDifferingAtTheirEndStayApartAsTheTableGrows) {
    const auto full = [](int i) {
        const std::string digits = std::to_string(i);
        return std::string(15 - digits.size(), 'K') + digits;
    };
    const auto alias = [](int i) { return "T" + std::to_string(i) + ".MP3"; };
    platform::ShortKeyTable<int> table;
    EXPECT_EQ(table.Find("K"), nullptr);
    for (int i = 0; i < 5000; ++i) {
        ASSERT_TRUE(table.Insert(full(i), i).second) << full(i);
        ASSERT_TRUE(table.Insert(alias(i), -i).second) << alias(i);
    }
    EXPECT_FALSE(table.Insert(full(7), 99).second);  // the first value stays
    table.Reserve(20000);
    for (int i = 0; i < 5000; ++i) {
        ASSERT_NE(table.Find(full(i)), nullptr) << full(i);
        EXPECT_EQ(*table.Find(full(i)), i);
        ASSERT_NE(table.Find(alias(i)), nullptr) << alias(i);
        EXPECT_EQ(*table.Find(alias(i)), -i);
        EXPECT_EQ(table.Find(full(i + 5000)), nullptr);
        EXPECT_EQ(table.Find(alias(i + 5000)), nullptr);
    }
    // Keys of every length that differ in a single byte, wherever it lies.
    platform::ShortKeyTable<int> oneByte;
    int count = 0;
    for (std::size_t length = 1; length <= platform::ShortKeyTable<int>::kMaxKey; ++length) {
        for (std::size_t at = 0; at < length; ++at, ++count) {
            std::string key(length, 'a');
            key[at] = 'b';
            ASSERT_TRUE(oneByte.Insert(key, count).second) << key;
        }
        ASSERT_TRUE(oneByte.Insert(std::string(length, 'a'), -1).second) << length;
    }
    count = 0;
    for (std::size_t length = 1; length <= platform::ShortKeyTable<int>::kMaxKey; ++length) {
        for (std::size_t at = 0; at < length; ++at, ++count) {
            std::string key(length, 'a');
            key[at] = 'b';
            ASSERT_NE(oneByte.Find(key), nullptr) << key;
            EXPECT_EQ(*oneByte.Find(key), count) << key;
        }
    }
    // The length is part of the key: a trailing zero byte makes another one.
    ASSERT_TRUE(table.Insert("A", 1).second);
    EXPECT_EQ(table.Find(std::string("A\0", 2)), nullptr);
    EXPECT_EQ(table.Find(""), nullptr);
    // A key too long for the table is neither taken nor found.
    EXPECT_EQ(table.Insert(full(1) + "X", 1).first, nullptr);
    EXPECT_EQ(table.Find(full(1) + "X"), nullptr);
}

}  // namespace
