#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "model/CardwrightDoc.h"

// A card kept under tests/data: a folder holding a TUNBOX.CFG and the
// KELDA.CFG it must convert to, taken from the KELDA layout byte by byte.
// Never remake the expected files with the program's own encoder.
inline std::filesystem::path TestCard(const std::string& name) {
    return std::filesystem::path(CARDWRIGHT_TEST_DATA) / name;
}

// Fails at the first byte that differs, naming its offset.
inline void ExpectSameBytes(const Bytes& got, const Bytes& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(int{got[i]}, int{want[i]}) << "offset " << i;
    }
}

// A document on a fresh card folder, with a scripted prompter and a small
// stand-in for the program file that every save copies to the card.
class DocFixture : public ::testing::Test {
  protected:
    DocFixture() {
        Touch(programDir / "cardwright", "program");
        doc = std::make_unique<CCardwrightDoc>(prompter);
        doc->SetExecutablePath(programDir / "cardwright");
    }
    ~DocFixture() override {
        // Opening a card makes its folder the current one; leave it before
        // the folder goes away.
        std::error_code ec;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
    }

    std::filesystem::path Cfg() const { return card / "TUNBOX.CFG"; }

    TempDir card;
    TempDir programDir;
    ScriptedPrompter prompter;
    std::unique_ptr<CCardwrightDoc> doc;
};
