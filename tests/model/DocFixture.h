#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "model/CardwrightDoc.h"

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
