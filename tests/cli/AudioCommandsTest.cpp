#include <gtest/gtest.h>

#include <sstream>

#include "TestSupport.h"
#include "Tones.h"
#include "cli/AudioCommands.h"
#include "model/Card.h"

#include "RunCli.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> TrackNames(const fs::path& card) {
    const card::Read read = *card::ReadCard(card::Locate(card));
    std::vector<std::string> names;
    for (int n = 1; read.image.config.TrackExists(n); ++n) {
        names.push_back(read.image.config.TrackName(n));
    }
    return names;
}

TEST(AudioCommands, AddAudioWritesOnlyAWholePlanWithYesAndOrderRenumbersTheTracks) {
    TempDir tmp;
    const fs::path card = tmp / "card";
    fs::create_directories(card);
    WriteTone(tmp / "Front door.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    WriteTone(tmp / "chime.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    Touch(tmp / "readme.wav", "words");
    const std::string door = (tmp / "Front door.flac").string();
    const std::string chime = (tmp / "chime.wav").string();

    const Ran text = Cli({"add-audio", card.string(), door, (tmp / "readme.wav").string()});
    EXPECT_EQ(text.status, cli::kTrouble);
    EXPECT_NE(text.out.find("cannot be read"), std::string::npos);
    const Ran asked = Cli({"add-audio", card.string(), door, chime});
    EXPECT_EQ(asked.status, cli::kNothingDone);
    EXPECT_NE(asked.out.find("converted to 16-bit WAV as \"Front door.wav\""), std::string::npos);
    EXPECT_TRUE(fs::is_empty(card));

    const Ran added = Cli({"add-audio", "--yes", card.string(), door, chime});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(TrackNames(card), (std::vector<std::string>{"FRONTD~1.WAV", "CHIME.WAV"}));
    const Ran check = Cli({"check", card.string()});
    EXPECT_LE(check.status, 1) << check.out;
    EXPECT_EQ(check.out.find(": error:"), std::string::npos) << check.out;

    EXPECT_EQ(Cli({"order", card.string(), "nothing.wav"}).status, cli::kTrouble);
    const Ran order = Cli({"order", card.string(), "chime.WAV"});
    ASSERT_EQ(order.status, 0) << order.err;
    EXPECT_EQ(order.out, "1. chime.wav\n2. Front door.wav\n");
    // Only FAT keeps files in the order written (the model tests show it
    // there); here the tracks must at least follow the folder's listing.
    std::vector<std::string> listed;
    const card::Read read = *card::ReadCard(card::Locate(card));
    for (const card::AudioFile& f : read.image.audio) {
        listed.push_back(f.alias);
    }
    EXPECT_EQ(TrackNames(card), listed);
}

}  // namespace
