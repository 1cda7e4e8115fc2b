#include <gtest/gtest.h>

#include "DocFixture.h"
#include "model/ConfigFile.h"
#include "model/KeldaFile.h"

namespace {

// "defaults" is a new document. In "every-field" every word is set, reserved
// bits and all: negative gains, values wider than sixteen bits, a playlist
// count above 31, and stamps with their top bit set and clear.
class KeldaCard : public ::testing::TestWithParam<const char*> {};

TEST_P(KeldaCard, ConvertsToItsExpectedKeldaFile) {
    const Bytes cfg = ReadBytes(TestCard(GetParam()) / "TUNBOX.CFG");
    ASSERT_EQ(cfg.size(), std::size_t{layout::kFileSize});
    CardConfig config;
    configfile::Decode(cfg, config);
    ExpectSameBytes(keldafile::Encode(config), ReadBytes(TestCard(GetParam()) / "KELDA.CFG"));
}

INSTANTIATE_TEST_SUITE_P(Cards, KeldaCard, ::testing::Values("defaults", "every-field"));

using KeldaSave = DocFixture;

TEST_F(KeldaSave, AnOpenedCardIsWrittenBackAsTheCurrentVersion) {
    Bytes cfg = ReadBytes(TestCard("every-field") / "TUNBOX.CFG");
    Bytes kelda = ReadBytes(TestCard("every-field") / "KELDA.CFG");
    WriteBytes(Cfg(), cfg);
    ASSERT_TRUE(doc->OnOpenDocument(Cfg()));  // the version question is answered Yes
    EXPECT_EQ(doc->GetConfig()->Get(field::kConfigVersion), 37u);
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    EXPECT_EQ(doc->GetConfig()->Get(field::kConfigVersion), 38u);
    cfg[0] = 38;
    kelda[1] = 38;
    ExpectSameBytes(ReadBytes(Cfg()), cfg);
    ExpectSameBytes(ReadBytes(card / "KELDA.CFG"), kelda);
}

}  // namespace
