#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "model/InputTable.h"
#include "model/SoundsOrder.h"

namespace {

namespace fs = std::filesystem;
using namespace soundsorder;

// Fails the n-th change it is asked for, as a card pulled at that moment
// would leave things, and records the files moved into SOUNDS.
class FaultyOps : public FileOps {
  public:
    explicit FaultyOps(int failAt) : failAt_(failAt) {}
    std::error_code Rename(const fs::path& from, const fs::path& to) override {
        if (to.parent_path().filename() == "SOUNDS") {
            movedIn.push_back(to.filename().string());
        }
        return Step() ? FileOps::Rename(from, to) : Fault();
    }
    std::error_code MakeFolder(const fs::path& dir) override {
        return Step() ? FileOps::MakeFolder(dir) : Fault();
    }
    std::error_code RemoveEmptyFolder(const fs::path& dir) override {
        return Step() ? FileOps::RemoveEmptyFolder(dir) : Fault();
    }
    std::error_code WriteFile(const fs::path& file, const std::string& text) override {
        return Step() ? FileOps::WriteFile(file, text) : Fault();
    }
    std::vector<std::string> movedIn;

  private:
    bool Step() { return ++steps_ != failAt_; }
    static std::error_code Fault() { return std::make_error_code(std::errc::io_error); }
    int failAt_;
    int steps_ = 0;
};

const std::vector<std::string> kFiles = {"Doorbell.wav", "b.mp3", "Long song name.wav", "d.WAV"};

void MakeCard(const fs::path& dir) {
    fs::create_directories(dir / "SOUNDS" / "extra");
    for (const std::string& f : kFiles) {
        Touch(dir / "SOUNDS" / f, "sound of " + f);
    }
    Touch(dir / "SOUNDS" / "notes.txt");
    const card::Location where = card::Locate(dir);
    card::WriteOptions options;
    options.reconcileTracks = true;
    ASSERT_TRUE(card::WriteCard(where, card::ReadCard(where)->image, options).Complete());
}

// The files wherever they are on the card, by name, with their contents.
std::map<std::string, Bytes> Files(const fs::path& dir) {
    std::map<std::string, Bytes> out;
    for (const auto& [rel, bytes] : Snapshot(dir)) {
        if (rel.rfind("SOUNDS", 0) == 0 && rel.back() != '/' &&
            fs::path(rel).filename() != kJournalName) {
            out[fs::path(rel).filename().string()] = bytes;
        }
    }
    return out;
}

TEST(SoundsOrder, AFaultAtEveryStepLosesNoFileAndTheNextOpenFinishesTheWork) {
    TempDir tmp;
    const std::vector<std::string> order = {"d.WAV", "Doorbell.wav", "b.mp3", "Long song name.wav"};
    bool finished = false;
    for (int failAt = 1; !finished; ++failAt) {
        const fs::path dir = tmp / ("card" + std::to_string(failAt));
        MakeCard(dir);
        const auto before = Files(dir);
        const card::Location where = card::Locate(dir);
        const auto audio = card::ReadCard(where)->image.audio;
        FaultyOps ops(failAt);
        const Result<Journal> done = Reorder(dir, order, audio, ops);
        finished = done.ok();
        EXPECT_EQ(Files(dir), before) << "fault at step " << failAt;
        if (finished) {
            // The files went back into SOUNDS in the order asked for, the
            // note and the folder after them.
            EXPECT_EQ(ops.movedIn,
                      (std::vector<std::string>{"d.WAV", "Doorbell.wav", "b.mp3",
                                                "Long song name.wav", "extra", "notes.txt"}));
        }
        FileOps real;
        const Recovery r = Recover(where, real);
        EXPECT_EQ(r.found, failAt > 1);  // the first step writes the journal
        EXPECT_FALSE(r.failure) << r.failure->Message();
        EXPECT_EQ(Files(dir), before) << "fault at step " << failAt;
        EXPECT_FALSE(fs::exists(dir / kHoldingFolderName));
        EXPECT_FALSE(fs::exists(dir / kJournalName));
        EXPECT_TRUE(fs::is_directory(dir / "SOUNDS" / "extra"));
    }
}

TEST(SoundsOrder, NamesResolveByLongOrShortNameAndTheRestKeepTheirOrder) {
    const std::vector<card::AudioFile> audio = {
        {"a.mp3", "A.MP3"}, {"Long Name.wav", "LONGNA~1.WAV"}, {"c.wav", "C.WAV"}};
    EXPECT_EQ(*ResolveOrder(audio, {"c.WAV", "longna~1.wav"}),
              (std::vector<std::string>{"c.wav", "Long Name.wav", "a.mp3"}));
    EXPECT_FALSE(ResolveOrder(audio, {"nothere.wav"}));
    EXPECT_FALSE(ResolveOrder(audio, {"a.mp3", "A.MP3"}));
    EXPECT_TRUE(InOrder(audio, *ResolveOrder(audio, {})));
}

TEST(SoundsOrder, SettingsFollowTheirFilesByLongName) {
    card::Image image;
    CardConfig& c = image.config;
    c.SetDefaults();
    const std::vector<card::AudioFile> before = {
        {"a.mp3", "A.MP3"}, {"Bell one.wav", "BELLON~1.WAV"}, {"Bell two.wav", "BELLON~2.WAV"}};
    for (int n = 1; n <= 3; ++n) {
        c.ClearTrack(n);
        c.SetTrackName(n, before[static_cast<std::size_t>(n - 1)].alias);
        c.Set(field::kEndDelay, n, static_cast<std::uint32_t>(10 * n));
    }
    c.Set(field::kEndAction, 1, 3);  // a.mp3 goes on to "Bell two"
    c.Set(field::kPowerUpTrack, 2);
    InputAction start;
    start.kind = InputAction::Kind::Start;
    start.choice = InputAction::Choice::Numbered;
    start.number = 3;
    inputs::WriteAction(c, InputSet::Player, 0, inputs::Side::Close, start);
    c.SetPlaylistCount(0, 2);
    c.SetPlaylistEntry(0, 0, "BELLON~2.WAV");
    c.SetPlaylistEntry(0, 1, "A.MP3");
    image.schedules.AddScheduleEntry(1, ScheduleSet::MakeEntry(7, 30, true, 1));

    // Written again in a new order, the two bells trade their aliases.
    const std::vector<card::AudioFile> after = {
        {"Bell two.wav", "BELLON~1.WAV"}, {"a.mp3", "A.MP3"}, {"Bell one.wav", "BELLON~2.WAV"}};
    const card::Image moved = FollowFiles(image, before, after);
    const CardConfig& out = moved.config;
    EXPECT_EQ(out.TrackName(1), "BELLON~1.WAV");
    EXPECT_EQ(out.Get(field::kEndDelay, 1), 30u);  // Bell two's settings
    EXPECT_EQ(out.Get(field::kEndDelay, 2), 10u);
    EXPECT_EQ(out.Get(field::kEndDelay, 3), 20u);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(out.Get(field::kFilePosition, k), static_cast<std::uint32_t>(k));
    }
    EXPECT_EQ(out.Get(field::kEndAction, 2), 1u);  // a.mp3 still goes on to Bell two
    EXPECT_EQ(out.Get(field::kPowerUpTrack), 3u);  // Bell one
    EXPECT_EQ(inputs::ReadAction(out, InputSet::Player, 0, inputs::Side::Close).number, 1);
    EXPECT_EQ(out.PlaylistEntry(0, 0), "BELLON~1.WAV");
    EXPECT_EQ(out.PlaylistEntry(0, 1), "A.MP3");
    EXPECT_EQ(moved.schedules.GetScheduleEntry(1, 0), ScheduleSet::MakeEntry(7, 30, true, 2));
}

// What a shell command writes, and whether it succeeded.
bool Run(const std::string& command, std::string* out = nullptr) {
    if (out == nullptr) {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }
    FILE* p = popen(command.c_str(), "r");
    for (int c; p != nullptr && (c = std::fgetc(p)) != EOF;) {
        out->push_back(static_cast<char>(c));
    }
    return p != nullptr && pclose(p) == 0;
}

// A FAT image mounted through FUSE for as long as the test runs; read back
// with mtools once unmounted.
class FatMount {
  public:
    explicit FatMount(const fs::path& dir) : image_(dir / "card.img"), mount_(dir / "mnt") {
        fs::create_directories(mount_);
        if (!fs::exists("/dev/fuse")) {
            why_ = "/dev/fuse is missing";
        } else if (!Run("mkfs.vfat -C " + image_.string() + " 65536") ||
                   !Run("fusefat -o rw+ " + image_.string() + " " + mount_.string())) {
            why_ = "mkfs.vfat or fusefat failed";
        }
    }
    ~FatMount() { Unmount(); }
    void Unmount() { mounted_ = mounted_ && why_.empty() && !Run("umount " + mount_.string()); }
    // The names in the image's SOUNDS, in directory order.
    std::vector<std::string> SoundsListing() const {
        std::string out;
        Run("MTOOLS_SKIP_CHECK=1 mdir -b -i " + image_.string() + " ::SOUNDS", &out);
        std::vector<std::string> names;
        for (std::istringstream lines(out); std::getline(lines, out);) {
            names.push_back(fs::path(out.substr(0, out.find_last_not_of("\r/") + 1)).filename());
        }
        return names;
    }
    std::string Contents(const std::string& name) const {
        std::string out;
        Run("MTOOLS_SKIP_CHECK=1 mtype -i " + image_.string() + " \"::SOUNDS/" + name + "\"", &out);
        return out;
    }
    const std::string& why() const { return why_; }
    const fs::path& dir() const { return mount_; }

  private:
    fs::path image_;
    fs::path mount_;
    std::string why_;
    bool mounted_ = true;
};

TEST(SoundsOrder, OnRealFatTheFolderListsTheFilesInTheOrderAskedFor) {
    TempDir tmp;
    FatMount fat(tmp.path());
    if (!fat.why().empty()) {
        GTEST_SKIP() << "no FAT file system through FUSE: " << fat.why();
    }
    // A freed slot in the old folder: a file written into it later would
    // list before the ones written ahead of it.
    MakeCard(fat.dir());
    fs::remove(fat.dir() / "SOUNDS" / "b.mp3");
    Touch(fat.dir() / "SOUNDS" / "e.mp3", "sound of e.mp3");
    const card::Location where = card::Locate(fat.dir());
    card::Read read = *card::ReadCard(where);
    // Track k is the k-th file, each with a delay of its own to follow it.
    read.image = FollowFiles(read.image, read.image.audio, read.image.audio);
    std::map<std::string, std::uint32_t> delayOf;
    for (int k = 1; k <= 4; ++k) {
        delayOf[read.image.audio[static_cast<std::size_t>(k - 1)].longName] = 10u * k;
        read.image.config.Set(field::kEndDelay, k, 10u * k);
    }
    ASSERT_TRUE(card::WriteCard(where, read.image, {}).Complete());
    const auto order = ResolveOrder(read.image.audio, {"e.mp3", "Long song name.wav"});
    ASSERT_TRUE(order);
    FileOps ops;
    const Result<Journal> journal = Reorder(where.dir, *order, read.image.audio, ops);
    ASSERT_TRUE(journal) << journal.error().Message();
    ASSERT_TRUE(FollowOnCard(where, *journal, ops));
    const card::Read again = *card::ReadCard(where);
    for (int k = 1; k <= 4; ++k) {
        const card::AudioFile& file = again.image.audio[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(again.image.config.TrackName(k), file.alias);
        EXPECT_EQ(again.image.config.Get(field::kEndDelay, k), delayOf[file.longName]);
    }
    fat.Unmount();
    const std::vector<std::string> expected = {
        "e.mp3", "Long song name.wav", "Doorbell.wav", "d.WAV", "extra", "notes.txt"};
    EXPECT_EQ(fat.SoundsListing(), expected);
    for (const char* name : {"e.mp3", "Long song name.wav", "d.WAV"}) {
        EXPECT_EQ(fat.Contents(name), std::string("sound of ") + name);
    }
}

}  // namespace
