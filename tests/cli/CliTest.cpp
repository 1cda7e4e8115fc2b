#include <gtest/gtest.h>
#include <sys/wait.h>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "RunCli.h"
#include "TestCard.h"
#include "cli/Cli.h"
#include "doctor/Settings.h"

namespace {

// The command line lists folders in the order the file system keeps.
TestCard CliCard() {
    return TestCard(doctor::DefaultLister());
}

// Dumps `card`, applies the dump to a copy of it without its TUNBOX.CFG and
// expects the card files back byte for byte.
void ExpectRoundTrip(const fs::path& card) {
    TempDir copy;
    const Ran dump = Cli({"dump", "--json", card.string()});
    ASSERT_EQ(dump.status, 0) << dump.err;
    fs::copy(card, copy.path(), fs::copy_options::recursive);
    fs::remove(copy / "TUNBOX.CFG");
    Touch(copy / "settings.json", dump.out);
    const Ran apply = Cli({"apply", copy.path().string(), (copy / "settings.json").string()});
    ASSERT_EQ(apply.status, 0) << apply.err;
    for (const char* name : {"TUNBOX.CFG", "SCHEDULE.SCH", "KELDA.CFG"}) {
        EXPECT_EQ(ReadBytes(copy / name), ReadBytes(card / name)) << name;
    }
}

TEST(CliSettings, ApplyingADumpWritesTheSameCardFiles) {
    TempDir demo;
    ASSERT_EQ(std::system(
                  ((std::string(CARDWRIGHT_DEMO_TOOL) + " " + demo.path().string() + " >/dev/null")
                       .c_str())),
              0);
    ExpectRoundTrip(demo.path());

    // Words no page sets, derived values that disagree with their sources, odd
    // unused slots, a stale playlist entry and every kind of schedule cell.
    TestCard card = CliCard();
    card.Edit([](CardConfig& c, ScheduleSet& s) {
        c.SetWord(70, 0x00C3);
        c.SetWord(100, 0xABCDEF);
        c.SetWord(2678, c.Word(2678) | CardConfig::kModelBit4);
        c.Set(field::kBinaryBitMask, 0x81);
        c.Set(field::kEndAction, 200, 57);
        c.SetPlaylistEntry(2, 0, "TWO.WAV");
        c.SetPlaylistEntry(2, 1, "ONE.WAV");
        c.SetPlaylistCount(2, 1);
        c.RebuildPlaylistSlots();
        c.Set(field::kChosenDownloadStamp, 0x1234567890ABCDEFull);
        c.Set(field::kTrebleGain, -12);
        s.AddScheduleEntry(2, ScheduleSet::MakeEntry(23, 59, false, 0));
        s.AddScheduleEntry(3, ScheduleSet::MakeEntry(0, 1, true, 3));
        s.SetWeekdaySchedule(11, 6, 2);
        s.SetDaySchedule(1, 30, 3);
        s.SetResetTime(0x23, 0x59, 0x58);
    });
    ExpectRoundTrip(card.Dir());
}

TEST(CliSettings, ApplyRefusesEachBadValueAndLeavesTheCardAsItWas) {
    TestCard card = CliCard();
    const auto before = Snapshot(card.Dir());
    TempDir settings;
    const std::pair<const char*, const char*> cases[] = {
        {R"({"levels": {"main_volume_left": 64}})", "levels.main_volume_left = 64"},
        {R"({"tone": {"bass_gain": -8388609}})", "tone.bass_gain = -8388609"},
        {R"({"levels": {"power_amplifiers_flag": 1}})", "levels.power_amplifiers_flag = 1"},
        {R"({"levels": {"main_volume_left": "52"}})", R"(levels.main_volume_left = "52")"},
        {R"({"volume": 3})", "volume = 3"},
        {R"({"options": {"dmx": true}})", "options.dmx = true"},
        {R"({"model": "TUNBOX/X9"})", R"(model = "TUNBOX/X9")"},
        {R"({"tracks": [{"track": 2, "file_name": "NOPE.WAV"}]})",
         R"(tracks[2].file_name = "NOPE.WAV")"},
        {R"({"tracks": [{"track": 256}]})", "tracks.track = 256"},
        {R"({"playlists": [{"playlist": 1, "entries": [7]}]})", "playlists[1].entries[0] = 7"},
        {R"({"schedules": {"list": [{"schedule": 1, "entries": [{"time": "25:00", "track": 1}]}]}})",
         "schedules.list[1].entries[0]"},
        {R"({"schedules": {"list": [{"schedule": 1, "days": ["01-01"]}, {"schedule": 2, "days": ["01-01"]}]}})",
         R"(schedules.list[2].days = "01-01")"},
        {R"({"raw": {"3000": 1}})", "raw.3000 = 1"},
        {R"({"tracks": [{"track": 1, "end_action": 262}]})", "tracks[1].end_action = 262"},
        {R"({"tracks": [{"track": 2, "end_action": 300}]})", "tracks[2].end_action = 300"},
        {R"({"tracks": [{"track": 2, "end_action": 9}]})", "tracks[2].end_action = 9: track 9"},
        {R"({"inputs": {"player": [{"input": 3, "input_mode": 10}]}})",
         "inputs.player[3].input_mode = 10"},
        {R"({"power_up_track": 7})", "power_up_track = 7"},
        {R"({"playlists": [{"playlist": 1, "entries": ["one.wav", "NOPE.WAV"]}]})",
         R"(playlists[1].entries[1] = "NOPE.WAV")"},
        {R"({"tracks": [{"track": 1, "file_name": ""}, {"track": 2, "file_name": ""},
                        {"track": 3, "file_name": ""}],
             "playlists": [{"playlist": 2, "entries": ["one.wav"]}]})",
         R"(playlists[2].entries[0] = "ONE.WAV": no track)"},
        {R"({"tracks": [{"track": 1, "file_name": ""}]})", "schedules.list[1].entries = "},
        {R"({"show_file": {"chosen_download_stamp": "12x"}})", "chosen_download_stamp"},
        {R"({"show_file": {"next_boot_flag": true, "chosen_download_file": "NOSHOW.A01"}})",
         R"(show_file.chosen_download_file = "NOSHOW.A01")"},
        {R"({"levels": {"main_volume_left": 10}, "channels": {"midi_channel": 256}})",
         "channels.midi_channel = 256"},
        {"{\n  \"levels\": ,", "s.json:2:13: not valid JSON"},
        {R"({"levels": [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]})",
         "nested more than"},
    };
    for (const auto& [json, named] : cases) {
        SCOPED_TRACE(json);
        Touch(settings / "s.json", json);
        const Ran r = Cli({"apply", card.Dir().string(), (settings / "s.json").string()});
        EXPECT_EQ(r.status, cli::kTrouble);
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("s.json"), std::string::npos) << r.err;
        EXPECT_EQ(Snapshot(card.Dir()), before);
    }
}

TEST(CliSettings, DiffShowsOnlyTheChangeAndDumpNamesEverySetting) {
    TestCard card = CliCard();
    TempDir other;
    fs::copy(card.Dir(), other.path(), fs::copy_options::recursive);
    const Ran same = Cli({"diff", card.Dir().string(), other.path().string()});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");

    Touch(other / "change.json", R"({"levels": {"main_volume_left": 40}})");
    ASSERT_EQ(Cli({"apply", other.path().string(), (other / "change.json").string()}).status, 0);
    const Ran changed = Cli({"diff", (card.Dir() / "TUNBOX.CFG").string(), other.path().string()});
    EXPECT_EQ(changed.status, cli::kDiffers);
    EXPECT_EQ(changed.out, "levels.main_volume_left: 60 -> 40\n");

    const Ran json = Cli({"dump", "--json", other.path().string()});
    Touch(other / "dump.json", json.out);
    EXPECT_EQ(Cli({"diff", (other / "dump.json").string(), other.path().string()}).out, "");
    const auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed["version"], doctor::kSettingsVersion);
    EXPECT_EQ(parsed["tracks"].size(), 3u);

    const std::string text = Cli({"dump", other.path().string()}).out;
    for (const char* line :
         {"model: TUNBOX/C40\n", "  main_volume_left: 40\n", "  track 3:\n",
          "    file_name: THREE.MP3\n", "      entries: 08:00 track 1\n", "      days: 01-01\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST(CliCheck, ExitStatusFollowsTheWorstFinding) {
    TestCard card = CliCard();
    const Ran clean = Cli({"check", card.Dir().string()});
    EXPECT_EQ(clean.status, 0) << clean.out;  // a note only: the test folder is not FAT

    WriteWav(card.Sounds() / "FOUR.WAV");
    const Ran warned = Cli({"check", card.Dir().string()});
    EXPECT_EQ(warned.status, 1) << warned.out;
    EXPECT_NE(warned.out.find("SOUNDS/FOUR.WAV: warning: "), std::string::npos) << warned.out;

    fs::remove(card.Cfg());
    const Ran broken = Cli({"check", "--json", card.Dir().string()});
    EXPECT_EQ(broken.status, 2);
    const auto j = nlohmann::json::parse(broken.out);
    EXPECT_EQ(j["status"], 2);
    EXPECT_EQ(j["findings"][0]["blink"]["count"], 4);
    EXPECT_EQ(j["findings"][0]["blink"]["name"], "No Config File");

    EXPECT_EQ(Cli({"check", (card.Dir() / "nowhere").string()}).status, cli::kTrouble);
    EXPECT_EQ(Cli({"check"}).status, cli::kTrouble);
}

TEST(CliCheck, RunsWithoutATerminalOrInputAndHelpsEveryCommand) {
    TestCard card = CliCard();
    const std::string command = std::string(CARDWRIGHT_CLI) + " check " + card.Dir().string() +
                                " </dev/null >/dev/null 2>&1";
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << raw;

    for (const char* sub : {"check", "dump", "diff", "apply"}) {
        const Ran help = Cli({sub, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find(std::string("cardwright-cli ") + sub), std::string::npos)
            << help.out;
    }
    EXPECT_NE(Cli({"--help"}).out.find("Exit status"), std::string::npos);
}

}  // namespace

namespace {

// A card folder the command line writes on: its files, and a one-key
// settings file beside it.
struct ApplyCard {
    ApplyCard() {
        Touch(settings, R"({"levels": {"main_volume_left": 40}})");
        fs::create_directory(dir / "SOUNDS");
    }
    Ran Apply(std::vector<std::string> extra = {}) const {
        std::vector<std::string> args{"apply", dir.path().string(), settings.string(), "--program",
                                      (dir / "Cardwright.exe").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return Cli(args);
    }
    TempDir dir;
    TempDir elsewhere;
    fs::path settings = elsewhere / "settings.json";
};

}  // namespace

// Where the window would ask first, apply refuses unless told --force, and a
// refusal leaves every byte of the card as it was.
TEST(CliApply, RefusesWhatTheWindowWouldAskAboutAndLeavesTheCard) {
    ApplyCard emptyConfig;
    Touch(emptyConfig.dir / "TUNBOX.CFG", "");
    Touch(emptyConfig.dir / "KELDA.CFG", "old");
    ApplyCard brokenLink;
    fs::remove(brokenLink.dir / "SOUNDS");
    fs::create_directory_symlink(brokenLink.dir / "gone", brokenLink.dir / "SOUNDS");
    for (const ApplyCard* card : {&emptyConfig, &brokenLink}) {
        const auto before = Snapshot(card->dir.path());
        const Ran refused = card->Apply();
        EXPECT_EQ(refused.status, 3);
        EXPECT_NE(refused.err.find("nothing was written"), std::string::npos) << refused.err;
        EXPECT_EQ(Snapshot(card->dir.path()), before);
    }
    EXPECT_NE(emptyConfig.Apply().err.find("TUNBOX.CFG: the file is empty"), std::string::npos);
    ASSERT_EQ(emptyConfig.Apply({"--force"}).status, 0);
    EXPECT_EQ(ReadBytes(emptyConfig.dir / "TUNBOX.CFG").size(), 8802u);

    // A card whose audio still lies in the root keeps its tracks: SOUNDS is
    // made and filled before they are reconciled.
    ApplyCard rootAudio;
    fs::remove(rootAudio.dir / "SOUNDS");
    WriteWav(rootAudio.dir / "ONE.WAV");
    Touch(rootAudio.settings,
          R"({"tracks": [{"track": 1, "file_name": "ONE.WAV", "end_action": 1}]})");
    const Ran moved = rootAudio.Apply();
    ASSERT_EQ(moved.status, 0) << moved.err;
    CardConfig written;
    configfile::Decode(ReadBytes(rootAudio.dir / "TUNBOX.CFG"), written);
    EXPECT_EQ(written.TrackName(1), "ONE.WAV");
    EXPECT_TRUE(fs::exists(rootAudio.dir / "SOUNDS" / "ONE.WAV"));
}

// A configuration under another name is a copy: it is written alone, and the
// live files keep matching the card's TUNBOX.CFG.
TEST(CliApply, ACopyUnderAnotherNameIsWrittenAlone) {
    ApplyCard card;
    ASSERT_EQ(card.Apply().status, 0);
    fs::copy_file(card.dir / "TUNBOX.CFG", card.dir / "BACKUP.CFG");
    auto before = Snapshot(card.dir.path());
    Touch(card.settings, R"({"levels": {"main_volume_left": 20}})");
    const Ran copy = Cli({"apply", (card.dir / "BACKUP.CFG").string(), card.settings.string()});
    ASSERT_EQ(copy.status, 0) << copy.err;
    EXPECT_NE(copy.err.find("written alone"), std::string::npos);
    auto after = Snapshot(card.dir.path());
    EXPECT_NE(after["BACKUP.CFG"], before["BACKUP.CFG"]);
    after.erase("BACKUP.CFG");
    before.erase("BACKUP.CFG");
    EXPECT_EQ(after, before);
}

namespace {

TEST(CliReport, WritesEscapedHtmlOrMarkdownToStandardOutputOrAFile) {
    TestCard card = CliCard();
    card.Save([&card](CCardwrightDoc& doc) {
        WriteWav(card.Sounds() / "Bell & <Loud> *one*.wav");
        doc.CountTracks(true);
    });
    const std::string dir = card.Dir().string();
    const Ran html = Cli({"report", dir});
    ASSERT_EQ(html.status, 0) << html.err;
    EXPECT_NE(html.out.find("<td>Bell &amp; &lt;Loud&gt; *one*.wav</td>"), std::string::npos);
    EXPECT_EQ(html.out.find("<Loud>"), std::string::npos);
    EXPECT_EQ(html.out.find("<link"), std::string::npos);          // nothing outside the document
    EXPECT_NE(html.out.find("<td>0:00</td>"), std::string::npos);  // ONE.WAV's length

    const fs::path file = card.Dir() / "report.md";
    const Ran md = Cli({"report", "--format", "markdown", "-o", file.string(), dir});
    ASSERT_EQ(md.status, 0) << md.err;
    EXPECT_TRUE(md.out.empty());
    const Bytes bytes = ReadBytes(file);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("| Bell & \\<Loud\\> \\*one\\*.wav |"), std::string::npos) << text;
    EXPECT_NE(text.find("## Schedules"), std::string::npos);

    EXPECT_EQ(Cli({"report", (card.Dir() / "nothing here").string()}).status, cli::kTrouble);
    EXPECT_EQ(Cli({"report", "--format", "pdf", dir}).status, cli::kTrouble);
    EXPECT_EQ(Cli({"report", "-o", (card.Dir() / "no" / "such.html").string(), dir}).status,
              cli::kTrouble);
}

}  // namespace
