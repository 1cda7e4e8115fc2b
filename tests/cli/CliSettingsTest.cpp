#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "RunCli.h"
#include "TestCard.h"
#include "cli/Cli.h"
#include "doctor/SettingsSchema.h"

namespace {

// Runs a bash pipeline in which $CLI stands for the program itself.
std::string Shell(const std::string& script) {
    TempDir dir;
    Touch(dir / "script.sh", "CLI='" + std::string(CARDWRIGHT_CLI) + "'\n" + script + "\n");
    std::string out;
    if (FILE* pipe = popen(("bash " + (dir / "script.sh").string() + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) {
            out.append(buffer, n);
        }
        pclose(pipe);
    }
    return out;
}

bool Installed(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null").c_str()) == 0;
}

ino_t Inode(const fs::path& file) {
    struct stat s {};
    return stat(file.c_str(), &s) == 0 ? s.st_ino : 0;
}

std::map<std::string, ino_t> Inodes(const fs::path& card) {
    std::map<std::string, ino_t> out;
    for (const char* name : {"TUNBOX.CFG", "SCHEDULE.SCH", "KELDA.CFG"}) {
        out[name] = Inode(card / name);
    }
    return out;
}

std::string AliasOf(const nlohmann::json& dump, const std::string& longName) {
    for (const auto& t : dump["tracks"]) {
        if (t.value("long_name", "") == longName) {
            return t["file_name"];
        }
    }
    return "";
}

TEST(CliPipes, AJqEditThroughStandardInputChangesExactlyOneKey) {
    TempDir demo;
    const fs::path card = demo / "card", before = demo / "before";
    ASSERT_EQ(
        std::system(
            (std::string(CARDWRIGHT_DEMO_TOOL) + " " + card.string() + " >/dev/null").c_str()),
        0);
    fs::copy(card, before, fs::copy_options::recursive);
    // The demo card's stamps lie above 2^53, where a reader of doubles rounds.
    if (Installed("jq")) {
        EXPECT_EQ(Shell("$CLI dump --json " + card.string() +
                        " | jq '.levels.main_volume_left=40' | $CLI apply " + card.string() + " -"),
                  "");
    } else {
        std::cout << "jq is not installed: the dump is edited here instead\n";
        auto json = nlohmann::ordered_json::parse(Cli({"dump", "--json", card.string()}).out);
        json["levels"]["main_volume_left"] = 40;
        EXPECT_EQ(Cli({"apply", card.string(), "-"}, json.dump()).status, 0);
    }
    const std::string one = "levels.main_volume_left: 52 -> 40\n";
    EXPECT_EQ(Cli({"diff", before.string(), card.string()}).out, one);
    // Either side of a diff may be a pipe, and a dump may go to a file or "-".
    EXPECT_EQ(Shell("$CLI diff <($CLI dump --json " + before.string() + ") " + card.string()), one);
    ASSERT_EQ(Cli({"dump", "--json", "-o", (demo / "d.json").string(), card.string()}).status, 0);
    EXPECT_EQ(Cli({"diff", "-", (demo / "d.json").string()},
                  Cli({"dump", "--json", "--output", "-", before.string()}).out)
                  .out,
              one);
}

TEST(CliDryRun, ShowsWhatApplyWouldChangeAndWritesNothing) {
    TestCard card(doctor::DefaultLister());
    const auto files = Snapshot(card.Dir());
    const auto inodes = Inodes(card.Dir());
    const std::string partial =
        R"({"levels": {"main_volume_left": 40}, "show_file": {"chosen_download_stamp": 5}})";
    const std::string changes =
        "levels.main_volume_left: 60 -> 40\nshow_file.chosen_download_stamp: \"0\" -> \"5\"\n";
    const Ran dry = Cli({"apply", "--dry-run", card.Dir().string(), "-"}, partial);
    EXPECT_EQ(dry.status, cli::kDiffers) << dry.err;
    EXPECT_EQ(dry.out, changes);
    Touch(card.Dir() / "partial.json", partial);
    EXPECT_EQ(Cli({"diff", card.Dir().string(), (card.Dir() / "partial.json").string()}).out,
              changes);
    fs::remove(card.Dir() / "partial.json");

    const Ran none = Cli({"apply", "--dry-run", card.Dir().string(), "-"}, "{}");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(Snapshot(card.Dir()), files);

    // What is on the card already is not written again, by apply or the window.
    ASSERT_EQ(Cli({"apply", card.Dir().string(), "-"}, "{}").status, 0);
    EXPECT_EQ(Inodes(card.Dir()), inodes);
    card.Save([](CCardwrightDoc&) {});
    EXPECT_EQ(Inodes(card.Dir()), inodes);
}

TEST(CliSettings, LongNamesFitCardsWhoseAliasesDiffer) {
    // Two files whose 8.3 aliases differ only by their ~N, which follows the
    // order the folder lists them in; the second card holds only the one
    // listed second, so its alias there is another.
    const std::string names[] = {"Seagulls at Sunrise.wav", "Seagulls at Sunset.wav"};
    TestCard first(doctor::DefaultLister());
    for (const std::string& name : names) {
        WriteWav(first.Sounds() / name);
    }
    const auto dumped = nlohmann::json::parse(Cli({"dump", "--json", first.Dir().string()}).out);
    const std::string wanted = AliasOf(dumped, names[0]).ends_with("~2.WAV") ? names[0] : names[1];
    TestCard second(doctor::DefaultLister());
    WriteWav(second.Sounds() / wanted);

    const std::string settings = R"({"tracks": [{"track": 3, "file_name": ")" + wanted +
                                 R"("}], "playlists": [{"playlist": 1, "entries": [")" + wanted +
                                 R"("]}]})";
    std::set<std::string> aliases;
    for (const TestCard* card : {&first, &second}) {
        const Ran r = Cli({"apply", card->Dir().string(), "-"}, settings);
        ASSERT_EQ(r.status, 0) << r.err;
        const auto dump = nlohmann::json::parse(Cli({"dump", "--json", card->Dir().string()}).out);
        const std::string alias = AliasOf(dump, wanted);
        aliases.insert(alias);
        EXPECT_EQ(dump["playlists"][0]["entries"], nlohmann::json::array({wanted}));
        EXPECT_EQ(card::ReadCard(card::Locate(card->Dir()))->image.config.PlaylistEntry(0, 0),
                  alias);
        // The alias in any letter case names the same file.
        std::string lower = alias;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        EXPECT_EQ(Cli({"apply", "--dry-run", card->Dir().string(), "-"},
                      R"({"tracks": [{"track": 3, "file_name": ")" + lower + R"("}]})")
                      .status,
                  0);
    }
    EXPECT_EQ(aliases, (std::set<std::string>{"SEAGUL~1.WAV", "SEAGUL~2.WAV"}));

    const Ran typo = Cli({"apply", second.Dir().string(), "-"},
                         R"({"tracks": [{"track": 3, "long_name": "Seagull at Sunset.wav"}]})");
    EXPECT_EQ(typo.status, cli::kTrouble);
    EXPECT_NE(typo.err.find("tracks[3].long_name"), std::string::npos) << typo.err;
    EXPECT_NE(typo.err.find("did you mean \"" + wanted + "\""), std::string::npos) << typo.err;
}

TEST(CliValidate, NamesEveryProblemWithoutACard) {
    TempDir dir;
    TestCard card(doctor::DefaultLister());
    const std::string dump = Cli({"dump", "--json", card.Dir().string()}).out;
    auto withSchema = nlohmann::ordered_json::parse(dump);
    withSchema["$schema"] = "https://example.org/card-settings.schema.json";
    // A dump of the first layout: stamps as bare numbers.
    withSchema["version"] = 1;
    withSchema["show_file"]["chosen_download_stamp"] = 18446744073709551615u;
    Touch(dir / "good.json", withSchema.dump());
    EXPECT_EQ(Cli({"validate", (dir / "good.json").string()}).status, 0);
    EXPECT_EQ(Cli({"apply", "--dry-run", card.Dir().string(), (dir / "good.json").string()}).out,
              "show_file.chosen_download_stamp: \"0\" -> \"18446744073709551615\"\n");

    const Ran bad = Cli({"validate", "-"},
                        R"({"levels": {"main_volume_left": 64},
                            "tracks": [{"track": 1, "end_action": 300, "file_name": "Any long name.wav"}],
                            "inputs": {"player": [{"input": 0, "input_mode": 10}]}})");
    EXPECT_EQ(bad.status, cli::kInvalid);
    for (const char* key : {"levels.main_volume_left = 64", "tracks[1].end_action = 300",
                            "inputs.player[0].input_mode = 10"}) {
        EXPECT_NE(bad.err.find(key), std::string::npos) << bad.err;
    }
    EXPECT_EQ(bad.err.find("file_name"), std::string::npos) << bad.err;

    const Ran broken = Cli({"validate", "-"}, "{\n  \"levels\": {\n\t\"a\": 1,\n  }\n}");
    EXPECT_EQ(broken.status, cli::kInvalid);
    EXPECT_NE(broken.err.find("(standard input):4:3: not valid JSON"), std::string::npos)
        << broken.err;
    EXPECT_EQ(Cli({"validate", (dir / "missing.json").string()}).status, cli::kTrouble);
    EXPECT_EQ(Cli({"validate", dir.path().string()}).status, cli::kTrouble);
}

TEST(CliSchema, IsTheCommittedFileAndAcceptsWhatApplyAccepts) {
    const fs::path committed = fs::path(CARDWRIGHT_SOURCE_DIR) / "docs/card-settings.schema.json";
    const Ran schema = Cli({"schema"});
    const Bytes file = ReadBytes(committed);
    EXPECT_EQ(schema.out, std::string(file.begin(), file.end()))
        << "regenerate it with: cardwright-cli schema > docs/card-settings.schema.json";
    EXPECT_EQ(schema.out, doctor::SettingsSchema().dump(2) + "\n");

    if (std::system("python3 -c 'import jsonschema' 2>/dev/null") != 0) {
        std::cout << "python3-jsonschema is not installed: the schema is not tried on files\n";
        return;
    }
    TempDir dir;
    TestCard card(doctor::DefaultLister());
    Touch(dir / "dump.json", Cli({"dump", "--json", card.Dir().string()}).out);
    Touch(dir / "end.json", R"({"tracks": [{"track": 1, "end_action": 258}]})");
    Touch(dir / "mode.json", R"({"inputs": {"player": [{"input": 0, "input_mode": 10}]}})");
    Touch(dir / "partial.json", R"({"$schema": "x", "show_file": {"current_download_stamp": 9}})");
    // One interpreter for all: it is slow to start.
    const std::string verdicts =
        Shell("cd " + dir.path().string() +
              " && python3 -c 'import json, sys, jsonschema\n"
              "v = jsonschema.Draft202012Validator(json.load(open(sys.argv[1])))\n"
              "for f in sys.argv[2:]: print(f, v.is_valid(json.load(open(f))))' " +
              committed.string() + " dump.json partial.json end.json mode.json");
    EXPECT_EQ(verdicts, "dump.json True\npartial.json True\nend.json False\nmode.json False\n");
    for (const char* file : {"end.json", "mode.json"}) {
        EXPECT_EQ(Cli({"validate", (dir / file).string()}).status, cli::kInvalid) << file;
    }
}

}  // namespace
