#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>

#include "TestSupport.h"
#include "Tones.h"
#include "cardaudio/MediaTool.h"
#include "model/CardFiles.h"
#include "model/FileIo.h"

namespace {

namespace fs = std::filesystem;
using namespace addaudio;

constexpr sf_count_t kFrames = 6615;  // what WriteTone writes
constexpr int kMp3 = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;

// The audio files in SOUNDS by long name, as the card core lists them.
std::vector<std::string> SoundsNames(const fs::path& card) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : platform::ListDirectory(card / "SOUNDS", ec)) {
        names.push_back(e.longName);
    }
    std::sort(names.begin(), names.end());
    return names;
}

FreeSpaceFn Free(std::uintmax_t bytes) {
    return [bytes](const fs::path&, std::error_code&) { return bytes; };
}

TEST(AddAudio, EveryFormatGoesOnTheCardAsThePlayerPlaysIt) {
    TempDir tmp;
    fs::create_directories(tmp / "in");
    fs::create_directories(tmp / "card" / "SOUNDS");
    Touch(tmp / "card" / "SOUNDS" / "bell.wav", "already there");
    struct Row {
        const char* name;
        int format;
        float peak;
        const char* onCard;
    };
    const Row rows[] = {
        {"deep.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 0.5f, "deep.wav"},
        {"loud.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1.8f, "loud.wav"},
        {"bell.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0.5f, "bell (2).wav"},
        {"loud.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.5f, "loud (2).wav"},
        {"song.mp3", kMp3, 0.5f, "song.mp3"},
    };
    std::vector<fs::path> files;
    for (const Row& r : rows) {
        WriteTone(tmp / "in" / r.name, r.format, r.peak);
        files.push_back(tmp / "in" / r.name);
    }
    const auto sources = Snapshot(tmp / "in");
    cardaudio::MediaTool tool;
    const Plan plan = MakePlan(tmp / "card", InspectAll(files, tool));
    ASSERT_EQ(plan.Refused(), 0);
    EXPECT_TRUE(plan.files[0].source.info.convert);
    EXPECT_FALSE(plan.files[4].source.info.convert);
    EXPECT_EQ(plan.files[0].alias, "DEEP.WAV");
    const AddResult result = AddFiles(plan, tool);
    ASSERT_TRUE(result.Complete());
    ASSERT_EQ(result.scaled.size(), 1u);  // the float file louder than full scale
    EXPECT_EQ(result.scaled[0].cardName, "loud.wav");
    EXPECT_LT(result.scaled[0].gainDb, -4.0);
    EXPECT_EQ(Snapshot(tmp / "in"), sources);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(result.written[i], rows[i].onCard);
        SF_INFO info{};
        SNDFILE* f = sf_open((tmp / "card" / "SOUNDS" / rows[i].onCard).c_str(), SFM_READ, &info);
        ASSERT_NE(f, nullptr) << rows[i].onCard;
        std::vector<short> pcm(static_cast<std::size_t>(info.frames * info.channels));
        sf_readf_short(f, pcm.data(), info.frames);
        sf_close(f);
        if (rows[i].format != kMp3) {
            EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << rows[i].name;
            EXPECT_EQ(info.frames, kFrames) << rows[i].name;
        }
        int atFullScale = 0;
        for (short s : pcm) {
            atFullScale += std::abs(s) >= 32767 ? 1 : 0;
        }
        // A peak may touch full scale; a clipped sound sits there for long.
        EXPECT_LT(atFullScale * 100, static_cast<int>(pcm.size())) << rows[i].name;
    }
}

TEST(AddAudio, NothingIsWrittenForAFileThatIsNoSoundOrACardWithoutRoom) {
    TempDir tmp;
    fs::create_directories(tmp / "card");
    Touch(tmp / "fake.wav", "just some words, not a sound");
    WriteTone(tmp / "real.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 0.5f);
    cardaudio::MediaTool tool;
    const auto before = Snapshot(tmp / "card");

    const Plan fake = MakePlan(tmp / "card", InspectAll({tmp / "fake.wav"}, tool));
    EXPECT_EQ(fake.Refused(), 1);
    EXPECT_FALSE(fake.files[0].source.info.refusal.empty());
    EXPECT_TRUE(AddFiles(fake, tool).written.empty());
    EXPECT_TRUE(SoundsNames(tmp / "card").empty());

    // One byte short of the clusters the file takes.
    PlanOptions options;
    const std::vector<Source> real = InspectAll({tmp / "real.wav"}, tool);
    const std::uintmax_t needed = MakePlan(tmp / "card", real).spaceNeeded;
    EXPECT_EQ(needed % card::kClusterSize, 0u);
    options.freeSpace = Free(needed - 1);
    const Plan tight = MakePlan(tmp / "card", real, options);
    EXPECT_FALSE(tight.Fits());
    AddOptions add;
    add.freeSpace = Free(needed - 1);
    const AddResult refused = AddFiles(tight, tool, add);
    ASSERT_TRUE(refused.refused);
    EXPECT_NE(refused.refused->reason.find("free"), std::string::npos);
    EXPECT_EQ(Snapshot(tmp / "card"), before);  // not even SOUNDS was made
}

TEST(AddAudio, ACancelKeepsTheFinishedFilesAndRemovesTheOneInProgress) {
    TempDir tmp;
    fs::create_directories(tmp / "card");
    std::vector<fs::path> files;
    for (const char* name : {"one.flac", "two.flac", "three.flac"}) {
        WriteTone(tmp / name, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 0.5f);
        files.push_back(tmp / name);
    }
    cardaudio::MediaTool tool;
    const Plan plan = MakePlan(tmp / "card", InspectAll(files, tool));
    std::atomic<bool> cancel{false};
    AddOptions options;
    options.cancel = &cancel;
    options.progress = [&](std::size_t file, std::uint64_t done, std::uint64_t total) {
        if (file == 1 && done * 2 >= total) {
            cancel = true;
        }
    };
    const AddResult result = AddFiles(plan, tool, options);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.written, std::vector<std::string>{"one.wav"});
    EXPECT_EQ(SoundsNames(tmp / "card"), std::vector<std::string>{"one.wav"});

    // The new files become the tracks after the last one, cleared.
    CardConfig config;
    config.SetDefaults();
    config.SetTrackName(1, "OLD.MP3");
    config.Set(field::kEndAction, 2, 7);
    const std::vector<card::AudioFile> audio = {
        {"old.mp3", "OLD.MP3"}, {"one.wav", "ONE.WAV"}, {"two.wav", "TWO.WAV"}};
    EXPECT_EQ(AppendTracks(config, audio, {"one.wav", "two.wav"}), 2);
    EXPECT_EQ(config.TrackName(2), "ONE.WAV");
    EXPECT_EQ(config.Get(field::kEndAction, 2), playcode::kStopNow);
    EXPECT_EQ(config.Get(field::kFilePosition, 3), 3u);
    EXPECT_EQ(config.TrackName(3), "TWO.WAV");
}

}  // namespace
