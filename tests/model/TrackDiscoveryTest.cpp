#include <gtest/gtest.h>

#include <algorithm>

#include "DocFixture.h"

namespace {

// What a reconciliation found, as the bits 1 (new files) and 2 (missing ones).
int Found(TrackSync r) {
    return (r.newFiles ? 1 : 0) | (r.missingFiles ? 2 : 0);
}

platform::DirEntry File(const std::string& longName, const std::string& alias) {
    return {longName, alias, false, 0};
}

// Tracks on a card whose SOUNDS listing the test sets, in stored order.
class TrackDiscovery : public DocFixture {
  protected:
    TrackDiscovery() {
        doc->SetDirectoryLister([this](const std::filesystem::path& dir, std::error_code& ec) {
            ++listings;
            if (failure) {
                ec = failure;
                return std::vector<platform::DirEntry>{};
            }
            if (dir.filename() != "SOUNDS" || !soundsExists) {
                ec = std::make_error_code(std::errc::no_such_file_or_directory);
                return std::vector<platform::DirEntry>{};
            }
            return sounds;
        });
        sounds = {File("A.MP3", "A.MP3"),
                  File("NOTES.TXT", "NOTES.TXT"),
                  File("B.WAV", "B.WAV"),
                  {"X", "X", true, 0},
                  File("C.mp3", "C.MP3")};
    }

    void Remove(const std::string& longName) {
        std::erase_if(sounds, [&](const auto& e) { return e.longName == longName; });
    }

    std::vector<platform::DirEntry> sounds;
    bool soundsExists = true;
    std::error_code failure;
    int listings = 0;
};

TEST_F(TrackDiscovery, RebuildNumbersTheAudioFilesInDirectoryOrder) {
    EXPECT_EQ(doc->CountTracks(false), 3);
    EXPECT_FALSE(doc->GetConfig()->TrackExists(1));

    CardConfig& c = *doc->GetConfig();
    c.Set(field::kEndAction, 2, playcode::kRandom);
    c.SetTrackName(9, "OLD.MP3");
    EXPECT_EQ(doc->CountTracks(true), 3);
    const char* names[] = {"", "A.MP3", "B.WAV", "C.MP3"};
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(c.TrackName(n), names[n]);
        EXPECT_EQ(c.Get(field::kFilePosition, n), static_cast<std::uint32_t>(n));
        EXPECT_EQ(c.Get(field::kEndAction, n), playcode::kStopNow);
        EXPECT_TRUE(c.Get(field::kStepOn, n));
        EXPECT_TRUE(c.Get(field::kWaitForInput, n));
    }
    EXPECT_FALSE(c.TrackExists(9));
    EXPECT_FALSE(doc->IsModified());

    soundsExists = false;
    EXPECT_EQ(doc->CountTracks(false), 0);
}

TEST_F(TrackDiscovery, ReconcilingKeepsNumbersAndFollowsPositions) {
    CardConfig& c = *doc->GetConfig();
    doc->CountTracks(true);
    c.Set(field::kEndAction, 3, playcode::kSameAgain);
    c.Set(field::kEndAction, 2, playcode::kRandom);

    // B.WAV deleted: C.MP3 keeps track 3 but now sits second.
    Remove("B.WAV");
    EXPECT_EQ(Found(doc->SyncTracks(true)), 2);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(c.TrackName(3), "C.MP3");
    EXPECT_EQ(c.Get(field::kFilePosition, 3), 2u);
    EXPECT_EQ(c.Get(field::kEndAction, 3), playcode::kSameAgain);
    EXPECT_FALSE(c.TrackExists(2));
    EXPECT_EQ(c.Get(field::kEndAction, 2), playcode::kStopNow);
    EXPECT_EQ(Found(doc->SyncTracks(true)), 0);
}

TEST_F(TrackDiscovery, TracksFollowFilesThatTradePlaces) {
    CardConfig& c = *doc->GetConfig();
    doc->CountTracks(true);
    // C.mp3 moves to the front: track 1 no longer names the first file.
    std::rotate(sounds.begin(), sounds.end() - 1, sounds.end());
    EXPECT_EQ(Found(doc->SyncTracks(true)), 0);
    EXPECT_EQ(c.TrackName(3), "C.MP3");
    EXPECT_EQ(c.Get(field::kFilePosition, 3), 1u);
    EXPECT_EQ(c.Get(field::kFilePosition, 1), 2u);
    EXPECT_EQ(c.Get(field::kFilePosition, 2), 3u);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(TrackDiscovery, ANewFileTakesTheLowestFreeSlotWithoutMarkingTheDocument) {
    CardConfig& c = *doc->GetConfig();
    doc->CountTracks(true);
    c.Set(field::kEndAction, 4, playcode::kRandom);  // settings of a free slot survive the new file
    sounds.push_back(File("D.MP3", "D.MP3"));
    EXPECT_EQ(Found(doc->SyncTracks(true)), 1);
    EXPECT_EQ(c.TrackName(4), "D.MP3");
    EXPECT_EQ(c.Get(field::kFilePosition, 4), 4u);
    EXPECT_EQ(c.Get(field::kEndAction, 4), playcode::kRandom);
    EXPECT_FALSE(doc->IsModified());

    // New and missing at once: the missing track's slot is freed only after
    // the new file has taken the lowest slot free at that moment.
    Remove("A.MP3");
    sounds.push_back(File("E.WAV", "E.WAV"));
    EXPECT_EQ(Found(doc->SyncTracks(true)), 3);
    EXPECT_EQ(c.TrackName(5), "E.WAV");
    EXPECT_EQ(c.Get(field::kFilePosition, 5), 4u);
    EXPECT_FALSE(c.TrackExists(1));
}

TEST_F(TrackDiscovery, AFileInASlotNeverUsedStartsFromTheClearedForm) {
    EXPECT_EQ(Found(doc->SyncTracks(true)), 1);  // "play track 0" is no end action
    EXPECT_EQ(doc->GetConfig()->Get(field::kEndAction, 1), playcode::kStopNow);
    EXPECT_TRUE(doc->GetConfig()->Get(field::kWaitForInput, 1));
}

TEST_F(TrackDiscovery, AnUnchangedCountSkipsTheComparison) {
    doc->CountTracks(true);
    doc->GetConfig()->SetTrackName(1, "RENAMED.MP3");
    EXPECT_EQ(Found(doc->SyncTracks(false)), 3);
    // Same path and count: the second look only counts, whatever the names.
    listings = 0;
    EXPECT_EQ(Found(doc->SyncTracks(false)), 0);
    EXPECT_EQ(listings, 1);
    EXPECT_EQ(Found(doc->SyncTracks(true)), 3);
}

TEST_F(TrackDiscovery, OnlyTheFirst255FilesBecomeTracks) {
    sounds.clear();
    for (int i = 1; i <= 300; ++i) {
        const std::string name = "T" + std::to_string(i) + ".MP3";
        sounds.push_back(File(name, name));
    }
    EXPECT_EQ(doc->CountTracks(false), 300);
    EXPECT_EQ(doc->CountTracks(true), 300);
    EXPECT_EQ(doc->GetConfig()->TrackName(255), "T255.MP3");
    EXPECT_EQ(doc->GetConfig()->TrackName(0), "");

    sounds.erase(sounds.begin());  // every position moves, T1 is gone, T256 is new
    EXPECT_EQ(Found(doc->SyncTracks(true)), 3);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              "More than 256 audio files on the disk!\nOnly the first 255 files will be used.");
    EXPECT_EQ(prompter.shown[0].icon, Prompter::Icon::Warning);
    EXPECT_EQ(doc->GetConfig()->Get(field::kFilePosition, 2), 1u);
    EXPECT_EQ(doc->GetConfig()->Get(field::kFilePosition, 255), 254u);
    EXPECT_FALSE(doc->GetConfig()->TrackExists(1));

    doc->SyncTracks(true);  // said again only once the number of files changes
    EXPECT_EQ(prompter.shown.size(), 1u);
    sounds.push_back(File("T301.MP3", "T301.MP3"));
    doc->SyncTracks(true);
    EXPECT_EQ(prompter.shown.size(), 2u);
}

TEST_F(TrackDiscovery, FilesWithoutAnAliasAndLongNames) {
    sounds = {File("My Song.mp3", "MYSONG~1.MP3"), File("odd.wav", "")};
    doc->CountTracks(true);
    EXPECT_EQ(doc->GetConfig()->TrackName(2), "ERROR.ERR");

    EXPECT_EQ(Found(doc->SyncTracks(true)), 3);  // error.mp3 is new, ERROR.ERR is missing
    EXPECT_EQ(doc->GetConfig()->TrackName(3), "error.mp3");
    EXPECT_FALSE(doc->GetConfig()->TrackExists(2));
    EXPECT_EQ(doc->GetLongTrackName("MYSONG~1.MP3"), "My Song.mp3");
    EXPECT_EQ(doc->GetLongTrackName("NOPE.MP3"), "NOPE.MP3");
    // As the card would find it: in any letter case, by alias or long name.
    listings = 0;
    EXPECT_EQ(doc->GetLongTrackName(""), "");
    EXPECT_EQ(listings, 0);
    EXPECT_EQ(doc->GetLongTrackName("mysong~1.mp3"), "My Song.mp3");
    EXPECT_EQ(doc->GetLongTrackName("my song.MP3"), "My Song.mp3");

    // Without the cache the long name is looked up on the card.
    CCardwrightDoc fresh(prompter);
    fresh.SetDirectoryLister(
        [this](const std::filesystem::path&, std::error_code&) { return sounds; });
    EXPECT_EQ(fresh.GetLongTrackName("MYSONG~1.MP3"), "My Song.mp3");
}

TEST_F(TrackDiscovery, GeneratedAliasesAreTakenFromEachListing) {
    // Off a FAT card the aliases are generated for the listing's order, so a
    // rename can hand an unchanged file another alias: no cached alias may
    // then collide with a fresh one.
    auto generated = [](std::string longName, std::string alias) {
        platform::DirEntry e{std::move(longName), std::move(alias), false, 0};
        e.aliasGenerated = true;
        return e;
    };
    sounds = {generated("Track 01 x.mp3", "TRACK0~1.MP3"),
              generated("Track 02 y.mp3", "TRACK0~2.MP3")};
    doc->CountTracks(true);
    EXPECT_EQ(Found(doc->SyncTracks(true)), 0);

    sounds = {generated("Track 02 y.mp3", "TRACK0~1.MP3"),
              generated("Track 04 w.mp3", "TRACK0~2.MP3")};
    EXPECT_EQ(Found(doc->SyncTracks(true)), 0);
    EXPECT_EQ(doc->GetLongTrackName("TRACK0~1.MP3"), "Track 02 y.mp3");
    EXPECT_EQ(doc->GetLongTrackName("TRACK0~2.MP3"), "Track 04 w.mp3");
    EXPECT_EQ(doc->GetConfig()->Get(field::kFilePosition, 2), 2u);
}

// The long names a page shows come from the last reconciliation's listing
// without another look at the card, also for a file renamed since the one
// before: under its alias kept or under a new one.
TEST_F(TrackDiscovery, LongNamesFollowARenameWithoutAnotherListing) {
    sounds = {File("Long Track Name 1.mp3", "LONGTR~1.MP3"), File("Song.mp3", "SONG.MP3")};
    doc->CountTracks(true);
    EXPECT_EQ(Found(doc->SyncTracks(true)), 0);
    EXPECT_EQ(doc->GetLongTrackName("LONGTR~1.MP3"), "Long Track Name 1.mp3");

    sounds = {File("Long Track Name One.mp3", "LONGTR~1.MP3"), File("Tune.mp3", "TUNE.MP3")};
    EXPECT_EQ(Found(doc->SyncTracks(true)), 3);  // TUNE.MP3 is new, SONG.MP3 missing
    EXPECT_EQ(doc->GetConfig()->TrackName(1), "LONGTR~1.MP3");
    EXPECT_EQ(doc->GetConfig()->TrackName(3), "TUNE.MP3");
    listings = 0;
    EXPECT_EQ(doc->GetLongTrackName("LONGTR~1.MP3"), "Long Track Name One.mp3");
    EXPECT_EQ(doc->GetLongTrackName("TUNE.MP3"), "Tune.mp3");
    EXPECT_EQ(listings, 0);
}

TEST_F(TrackDiscovery, ADirectoryThatCannotBeReadKeepsEveryTrackAndIsReportedOnce) {
    doc->SetPathName(Cfg());
    doc->CountTracks(true);
    const CardConfig before = *doc->GetConfig();
    failure = std::make_error_code(std::errc::permission_denied);
    EXPECT_EQ(Found(doc->SyncTracks(true)), 0);
    EXPECT_EQ(doc->CountTracks(true), 0);
    EXPECT_TRUE(*doc->GetConfig() == before);
    ASSERT_EQ(prompter.shown.size(), 1u);
    const std::string reason = (card / "SOUNDS").string() + "\":\n" + failure.message();
    EXPECT_NE(prompter.shown[0].text.find(reason), std::string::npos) << prompter.shown[0].text;
    EXPECT_EQ(prompter.shown[0].icon, Prompter::Icon::Warning);

    failure.clear();  // read once more: the next failure is told again
    doc->SyncTracks(true);
    failure = std::make_error_code(std::errc::io_error);
    doc->CountTracks(false);
    EXPECT_EQ(prompter.shown.size(), 2u);
}

}  // namespace

namespace {

using TracksOnARealCard = DocFixture;

TEST_F(TracksOnARealCard, OddEntriesAreSkippedAndAVanishedFolderLosesEveryTrack) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    const fs::path sounds = card / "SOUNDS";
    Touch(sounds / "First Song.mp3");
    Touch(sounds / "\xff\xfe bytes.wav");  // not UTF-8
    fs::create_directory(sounds / "FOLDER.MP3");
    fs::create_symlink("nowhere.mp3", sounds / "BROKEN.MP3");
    fs::create_symlink("LOOP.WAV", sounds / "LOOP.WAV");
    Touch(sounds / "readme.txt");

    EXPECT_EQ(doc->CountTracks(true), 2);
    const CardConfig& c = *doc->GetConfig();
    for (int n = 1; n <= 2; ++n) {
        const std::string name = c.TrackName(n);
        EXPECT_LE(name.size(), 12u);
        EXPECT_TRUE(name.find('~') != std::string::npos) << name;
        EXPECT_NE(doc->GetLongTrackName(name), "");
    }
    EXPECT_EQ(Found(doc->SyncTracks(true)), 0);

    fs::remove_all(sounds);
    EXPECT_EQ(Found(doc->SyncTracks(true)), 2);
    EXPECT_FALSE(c.TrackExists(1));
    EXPECT_FALSE(c.TrackExists(2));
    EXPECT_TRUE(prompter.shown.empty());
}

// Opening reads names and kinds only; the aliases come with the first scan,
// which then finds the card as the save left it.
TEST_F(TracksOnARealCard, OpeningLeavesTheAliasesToTheFirstScan) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    Touch(card / "SOUNDS" / "First Song.mp3");
    Touch(card / "SOUNDS" / "Second Song.mp3");
    EXPECT_EQ(doc->CountTracks(true), 2);
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    ASSERT_TRUE(doc->OnOpenDocument(Cfg()));
    EXPECT_EQ(Found(doc->SyncTracks(true)), 0);
    EXPECT_TRUE(doc->GetConfig()->TrackExists(2));

    TrackScanner scanner;
    std::error_code ec;
    const auto names = scanner.NamesLister()(card / "SOUNDS", ec);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].shortName, "");
    EXPECT_NE(scanner.Lister()(card / "SOUNDS", ec)[0].shortName, "");
    // A lister set for the scanner is used for every read.
    scanner.SetLister([](const fs::path&, std::error_code&) {
        return std::vector<platform::DirEntry>{{"SET.MP3", "SET.MP3", false, false, 0}};
    });
    EXPECT_EQ(scanner.NamesLister()(card / "SOUNDS", ec).at(0).longName, "SET.MP3");
}

}  // namespace
