#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "RunCli.h"
#include "TestCard.h"
#include "cli/Cli.h"
#include "cli/Help.h"
#include "doctor/Finding.h"
#include "doctor/Printable.h"

namespace {

Ran Check(std::vector<std::string> args) {
    args.insert(args.begin(), "check");
    return Cli(args);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Runs the test from `dir`, so that paths relative to it can be expected.
class InFolder {
  public:
    explicit InFolder(const fs::path& dir) : was_(fs::current_path()) { fs::current_path(dir); }
    ~InFolder() { fs::current_path(was_); }

  private:
    fs::path was_;
};

// Two cards checked in one run, each line naming its own; filtered by
// severity and by id; worst first although the warning is found first.
TEST(CheckReport, SeveralCardsFilteredSortedAndNamedInEachLine) {
    TestCard clean(doctor::DefaultLister());
    TestCard broken(doctor::DefaultLister());
    WriteBytes(broken.Dir() / "LOOSE.MP3", Mp3Frames(2));  // audio-in-root, found first
    fs::resize_file(broken.Sounds() / "TWO.WAV", 0);       // empty-file
    InFolder here(broken.Dir().parent_path());
    const std::string a = clean.Dir().filename().string();
    const std::string b = broken.Dir().filename().string();

    const Ran gcc = Check({"--format=gcc", "--ignore=not-fat", a, b, "nowhere"});
    EXPECT_EQ(gcc.status, cli::kTrouble);  // worst of 0, 2 and a path that is no card
    EXPECT_EQ(gcc.err, "cardwright-cli: nowhere: no such card folder or file\n");
    const std::vector<std::string> lines = Lines(gcc.out);
    ASSERT_EQ(lines.size(), 2u) << gcc.out;
    EXPECT_EQ(lines[0], b + "/SOUNDS/TWO.WAV: error: the file is empty [empty-file]");
    EXPECT_EQ(lines[1], b + "/LOOSE.MP3: warning: an audio file lies in the card's root, where "
                            "the player does not look [audio-in-root]");

    const Ran text = Check({"--severity=warning", a, b});
    EXPECT_EQ(text.status, 2);
    for (const std::string& line : Lines(text.out)) {
        EXPECT_TRUE(line.starts_with(a + ":") || line.starts_with(b + "/") ||
                    line.starts_with(b + ":"))
            << line;
    }
    EXPECT_NE(text.out.find(a + ": no problems found. 1 finding left out"), std::string::npos)
        << text.out;

    const Ran errorsOnly = Check({"--severity", "error", "--ignore", "empty-file", b});
    EXPECT_EQ(errorsOnly.status, 0) << errorsOnly.out;
    const Ran json = Check({"--format=json", "--ignore=not-fat", b, a});
    EXPECT_EQ(json.status, 2);
    const auto first = nlohmann::json::parse(json.out.substr(0, json.out.find("\n}\n") + 3));
    EXPECT_EQ(first["findings"][0]["id"], "empty-file");
    EXPECT_EQ(first["findings"].size(), 2u);

    const Ran unknown = Check({"--ignore=track-gone", b});
    EXPECT_EQ(unknown.status, cli::kTrouble);
    EXPECT_TRUE(
        unknown.err.starts_with("cardwright-cli: --ignore: no finding has the id "
                                "track-gone"))
        << unknown.err;
}

TEST(CheckReport, ControlCharactersInNamesCannotForgeALine) {
    TestCard card(doctor::DefaultLister());
    const std::string forged = "A\nB.WAV: error: forged \x1b[2J\xc2\x9b\xff.WAV";
    WriteWav(card.Sounds() / forged);
    const auto expectEscaped = [](const Ran& r) {
        EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
        EXPECT_EQ(r.out.find("\xc2\x9b"), std::string::npos);
        EXPECT_NE(r.out.find("A\\nB.WAV: error: forged \\x1b[2J\\u009b\\xff.WAV"),
                  std::string::npos)
            << r.out;
        for (const std::string& line : Lines(r.out)) {
            EXPECT_FALSE(line.starts_with("B.WAV")) << line;
        }
    };
    expectEscaped(Check({"--format=text", card.Dir().string()}));
    expectEscaped(Check({"--format=gcc", card.Dir().string()}));
    card.Save([](CCardwrightDoc& doc) { doc.CountTracks(true); });  // a track plays it
    expectEscaped(Cli({"dump", card.Dir().string()}));
    EXPECT_EQ(doctor::Printable("caf\xc3\xa9 \\ \t\x7f\xe2\x82"),
              "caf\xc3\xa9 \\\\ \\t\\x7f\\xe2\\x82");
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A WAV cut short and an MP3 of 2 GB (frames, then a sparse run of zeros)
// are both errors, and checking them costs little memory.
TEST(CheckReport, ACutWavAndAHugeMp3AreCheckedInLittleMemory) {
    TestCard card(doctor::DefaultLister());
    fs::resize_file(card.Sounds() / "ONE.WAV", fs::file_size(card.Sounds() / "ONE.WAV") - 1000);
    fs::resize_file(card.Sounds() / "THREE.MP3", std::uintmax_t{2} << 30);
    const long before = PeakKilobytes();
    const Ran r = Check({"--format=gcc", "--severity=error", card.Dir().string()});
    EXPECT_LT(PeakKilobytes() - before, 64 * 1024);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("ONE.WAV: error: the header says the sound is"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("THREE.MP3: error: the frames stop making sense"), std::string::npos)
        << r.out;
}

std::string FileText(const char* path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Whether `word` stands in `text` as a word of its own (not part of a longer id).
bool HasWord(const std::string& text, const std::string& word) {
    const auto partOfWord = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
    };
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        if ((at == 0 || !partOfWord(text[at - 1])) &&
            (end == text.size() || !partOfWord(text[end]))) {
            return true;
        }
    }
    return false;
}

// `word` as the manual writes it: hyphens as roff's minus signs.
std::string Roff(std::string word) {
    for (std::size_t at = word.find('-'); at != std::string::npos; at = word.find('-', at + 2)) {
        word.replace(at, 1, "\\-");
    }
    return word;
}

// The manual and the completion name every finding id and every option the
// help shows, so neither falls behind the program; and the help fits a
// terminal.
TEST(CheckReport, ManualAndCompletionKnowEveryIdAndOption) {
    const std::string manual = FileText(CARDWRIGHT_MAN_PAGE);
    const std::string completion = FileText(CARDWRIGHT_COMPLETION);
    for (const std::string_view id : doctor::FindingIds()) {
        EXPECT_NE(manual.find(".B " + Roff(std::string(id)) + "\n"), std::string::npos) << id;
        EXPECT_TRUE(HasWord(completion, std::string(id))) << id;
    }
    for (const char* command : {"check", "dump", "diff", "apply", "validate", "--help"}) {
        std::vector<const char*> argv{"cardwright-cli", command, "--help"};
        std::ostringstream out, err;
        cli::Run(command[0] == '-' ? 2 : 3, argv.data(), {out, err, false, {}});
        const std::string help = out.str();
        for (const std::string& line : Lines(help)) {
            EXPECT_LE(line.size(), cli::kHelpWidth) << line;
        }
        for (std::size_t at = help.find("--"); at != std::string::npos;
             at = help.find("--", at + 2)) {
            const std::size_t end = help.find_first_not_of("abcdefghijklmnopqrstuvwxyz-", at + 2);
            const std::string option = help.substr(at, end - at);
            EXPECT_TRUE(HasWord(completion, option)) << command << " " << option;
            EXPECT_TRUE(HasWord(manual, Roff(option))) << command << " " << option;
        }
    }
    EXPECT_EQ(cli::WrapLines("  --x  one two three four", 16),
              "  --x  one two\n       three\n       four");
}

}  // namespace
