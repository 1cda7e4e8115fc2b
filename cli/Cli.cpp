#include "cli/Cli.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
#include <ostream>
#include <set>

#include "BuildInfo.h"
#include "doctor/Card.h"
#include "doctor/CardCheck.h"
#include "doctor/Settings.h"
#include "model/BlinkCodes.h"
#include "model/CardFiles.h"
#include "model/CardwrightDoc.h"
#include "model/FileIo.h"
#include "model/Text.h"

namespace cli {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

constexpr const char* kName = "cardwright-cli";
// Below this many audio files a check is over before progress is worth drawing.
constexpr int kProgressFrom = 32;
// A settings file larger than this is no settings file.
constexpr std::size_t kLargestSettings = 16u * 1024 * 1024;
constexpr int kDeepestSettings = 32;

// How deeply the arrays and objects of a JSON text nest, brackets inside
// strings not counted.
int NestingDepth(const std::vector<std::uint8_t>& bytes) {
    int depth = 0, deepest = 0;
    bool inString = false, escaped = false;
    for (const std::uint8_t c : bytes) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

// The document's messages go to the error stream; its questions are
// answered as a user who asked for the command would answer them.
class StreamPrompter : public Prompter {
  public:
    explicit StreamPrompter(std::ostream& err) : err_(err) {}
    Answer Ask(const std::string& text, Buttons buttons, Icon) override {
        std::string flat = text;
        for (char& c : flat) {
            if (c == '\n') {
                c = ' ';
            }
        }
        err_ << kName << ": " << flat << "\n";
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes
                                                                            : Answer::Ok;
    }

  private:
    std::ostream& err_;
};

int Trouble(const Environment& env, const std::string& what) {
    env.err << kName << ": " << what << "\n";
    return kTrouble;
}

// --- check ------------------------------------------------------------------

Json FindingJson(const doctor::Finding& f) {
    Json j;
    j["severity"] = doctor::SeverityName(f.severity);
    j["id"] = f.id;
    j["file"] = f.file;
    j["problem"] = f.problem;
    j["action"] = f.action;
    if (const BlinkCode* code = f.blinkCount ? BlinkCodeFor(f.blinkCount) : nullptr) {
        j["blink"] = {{"count", f.blinkCount}, {"name", std::string(BlinkName(*code))}};
    } else {
        j["blink"] = nullptr;
    }
    return j;
}

std::string Plural(std::size_t n, const char* one, const char* many) {
    return text::Concat({std::to_string(n), " ", n == 1 ? one : many});
}

int Check(const Environment& env, const std::string& card, bool json) {
    doctor::CheckOptions options;
    bool drew = false;
    if (env.terminal) {
        options.progress = [&](int done, int total, const std::string& file) {
            if (total < kProgressFrom) {
                return;
            }
            std::string line = text::Concat(
                {"checking ", std::to_string(done), "/", std::to_string(total), " ", file});
            line.resize(79, ' ');
            env.err << '\r' << line << std::flush;
            drew = true;
        };
    }
    const doctor::CheckResult result = doctor::CheckCard(card, options);
    if (drew) {
        env.err << '\r' << std::string(79, ' ') << '\r' << std::flush;
    }
    const int status = result.cancelled ? kTrouble : doctor::ExitStatus(result.findings);
    if (json) {
        Json j;
        j["format"] = "cardwright-check";
        j["version"] = 1;
        j["card"] = card;
        j["status"] = status;
        Json& list = j["findings"] = Json::array();
        for (const doctor::Finding& f : result.findings) {
            list.push_back(FindingJson(f));
        }
        env.out << j.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
        return status;
    }
    std::size_t counts[3] = {};
    for (const doctor::Finding& f : result.findings) {
        ++counts[static_cast<int>(f.severity)];
        env.out << (f.file.empty() ? "(card)" : f.file) << ": " << doctor::SeverityName(f.severity)
                << ": " << f.problem << "\n    what to do: " << f.action << "\n";
    }
    if (result.findings.empty()) {
        env.out << "No problems found.\n";
    } else {
        env.out << Plural(counts[2], "error", "errors") << ", "
                << Plural(counts[1], "warning", "warnings") << ", "
                << Plural(counts[0], "note", "notes") << "."
                << (counts[2] ? " The player will not start from this card, or a track will "
                                "not play."
                              : "")
                << "\n";
    }
    return status;
}

// --- reading either side ------------------------------------------------------

// The settings of a card, or of a JSON file as it is.
bool LoadSettings(const Environment& env, const std::string& arg, Json& out) {
    std::error_code ec;
    const fs::path path(arg);
    if (fs::is_regular_file(path, ec) &&
        !text::EqualIgnoringCase(path.extension().string(), ".CFG")) {
        std::vector<std::uint8_t> bytes;
        std::uintmax_t size = 0;
        std::string reason;
        if (!fileio::ReadPrefix(path, kLargestSettings, bytes, size, reason)) {
            Trouble(env, text::Concat({fileio::Display(path), ": ", reason}));
            return false;
        }
        if (size > kLargestSettings) {
            Trouble(env, text::Concat({fileio::Display(path), ": too large for a settings file"}));
            return false;
        }
        // Settings nest a few levels; a file nested far deeper is no settings
        // file, and would cost the readers below their stack. The depth is
        // counted over the bytes first (brackets outside strings), so the
        // parse itself stays linear.
        if (NestingDepth(bytes) > kDeepestSettings) {
            Trouble(env, text::Concat({fileio::Display(path), ": nested more than ",
                                       std::to_string(kDeepestSettings),
                                       " levels deep; not a settings file"}));
            return false;
        }
        out = Json::parse(bytes.begin(), bytes.end(), nullptr, false);
        if (out.is_discarded()) {
            Trouble(env, text::Concat({fileio::Display(path), ": not valid JSON"}));
            return false;
        }
        return true;
    }
    const doctor::CardPath where = doctor::LocateCard(path);
    doctor::CardSettings settings;
    std::string error;
    if (!doctor::ReadCardSettings(where, settings, error)) {
        Trouble(env, error);
        return false;
    }
    if (settings.scheduleBad) {
        env.err << kName << ": " << fileio::Display(where.dir / cardfiles::kScheduleFileName)
                << ": bad length or checksum; read as no schedules\n";
    }
    out = doctor::DumpSettings(settings.config, settings.schedules,
                               doctor::SoundsAliases({}, where.dir));
    return true;
}

int Dump(const Environment& env, const std::string& card, bool json) {
    Json settings;
    if (!LoadSettings(env, card, settings)) {
        return kTrouble;
    }
    env.out << (json ? settings.dump(2, ' ', false, Json::error_handler_t::replace) + "\n"
                     : doctor::RenderText(settings));
    return 0;
}

int Diff(const Environment& env, const std::string& a, const std::string& b) {
    Json left;
    Json right;
    if (!LoadSettings(env, a, left) || !LoadSettings(env, b, right)) {
        return kTrouble;
    }
    const auto before = doctor::Flatten(left);
    const auto after = doctor::Flatten(right);
    std::map<std::string, std::string> newValues;
    for (const auto& s : after) {
        newValues.emplace(s.key, s.value);
    }
    std::set<std::string> seen;
    int status = 0;
    const auto show = [&](const std::string& key, const std::string& from, const std::string& to) {
        env.out << key << ": " << from << " -> " << to << "\n";
        status = kDiffers;
    };
    for (const auto& s : before) {
        seen.insert(s.key);
        const auto it = newValues.find(s.key);
        if (it == newValues.end()) {
            show(s.key, s.value, "(none)");
        } else if (it->second != s.value) {
            show(s.key, s.value, it->second);
        }
    }
    for (const auto& s : after) {
        if (!seen.count(s.key)) {
            show(s.key, "(none)", s.value);
        }
    }
    return status;
}

// --- apply ----------------------------------------------------------------------

fs::path ProgramToCopy(const Environment& env, const fs::path& cardDir) {
    if (!env.program.empty()) {
        return env.program;
    }
    std::error_code ec;
    const fs::path self = platform::ExecutablePath(ec);
    const fs::path window = self.parent_path() / "cardwright";
    if (!self.empty() && fs::is_regular_file(window, ec)) {
        return window;
    }
    // No window program to copy: the card keeps the copy it has, just as
    // when the window runs from the card itself.
    return cardDir / cardfiles::kProgramFileName;
}

int Apply(const Environment& env, const std::string& card, const std::string& settingsFile,
          const std::string& program) {
    Json settings;
    std::error_code ec;
    if (!fs::is_regular_file(settingsFile, ec)) {
        return Trouble(env, text::Concat({settingsFile, ": no such settings file"}));
    }
    if (!LoadSettings(env, settingsFile, settings)) {
        return kTrouble;
    }
    // A card that is not there is a mistake, not a new configuration file.
    const doctor::CardPath where = doctor::LocateCard(card);
    if (!fs::exists(card, ec) || !fs::is_directory(where.dir, ec)) {
        return Trouble(env,
                       text::Concat({card, ": no such card folder or file; nothing was written"}));
    }
    doctor::CardSettings base;
    base.config.SetDefaults();
    base.config.Set(field::kConfigVersion, CCardwrightDoc::ConfiguratorVersion());
    if (fs::exists(where.config, ec)) {
        std::string error;
        if (!doctor::ReadCardSettings(where, base, error)) {
            return Trouble(env, text::Concat({error, "; nothing was written"}));
        }
        const std::uint32_t version = base.config.Get(field::kConfigVersion);
        if (version > CCardwrightDoc::ConfiguratorVersion()) {
            return Trouble(env,
                           text::Concat({fileio::Display(where.config), ": version ",
                                         std::to_string(version), " is newer than this program's ",
                                         std::to_string(CCardwrightDoc::ConfiguratorVersion()),
                                         "; nothing was written"}));
        }
    } else {
        // No configuration yet: the card's schedules stay unless the settings
        // give others.
        std::vector<std::uint8_t> bytes;
        std::uintmax_t size = 0;
        std::string reason;
        if (fileio::ReadPrefix(where.dir / cardfiles::kScheduleFileName, doctor::kScheduleFileLimit,
                               bytes, size, reason)) {
            base.scheduleBad = size > doctor::kScheduleFileLimit ||
                               base.schedules.Parse(bytes, 0) == ScheduleSet::ParseResult::Bad;
        }
    }
    if (base.scheduleBad) {
        base.schedules.Clear();
        env.err << kName << ": " << fileio::Display(where.dir / cardfiles::kScheduleFileName)
                << " fails its length or checksum; it is written afresh from the settings\n";
    }
    // A save could write the card files but not finish: refuse before writing.
    const fs::path sounds = TrackScanner::SoundsDirectory(where.dir);
    if (fs::exists(sounds, ec) && !fs::is_directory(sounds, ec)) {
        return Trouble(env, text::Concat({fileio::Display(sounds),
                                          " is not a folder, so the card cannot hold its audio; "
                                          "nothing was written"}));
    }
    const auto errors = doctor::ApplySettings(settings, base.config, base.schedules,
                                              doctor::SoundsAliases({}, where.dir));
    if (!errors.empty()) {
        for (const std::string& e : errors) {
            env.err << kName << ": " << settingsFile << ": " << e << "\n";
        }
        env.err << kName << ": nothing was written\n";
        return kTrouble;
    }
    StreamPrompter prompter(env.err);
    CCardwrightDoc doc(prompter);
    doc.OnNewDocument();
    Environment withProgram{env.out, env.err, env.terminal, program};
    doc.SetExecutablePath(ProgramToCopy(withProgram, where.dir));
    *doc.GetConfig() = base.config;
    doc.Schedules() = base.schedules;
    const fs::path target =
        where.config.empty() ? where.dir / cardfiles::kConfigFileName : where.config;
    // As the window does on opening a card: each track's file position
    // follows where its file now lies, so a track given another file plays it.
    doc.SetPathName(target);
    doc.SyncTracks(true);
    if (!doc.OnSaveDocument(target)) {
        return Trouble(env, text::Concat({fileio::Display(target), ": the save did not complete"}));
    }
    return 0;
}

}  // namespace

int Run(int argc, const char* const* argv, const Environment& env) {
    CLI::App app{
        "Checks, shows, compares and writes the settings on the memory card of a TUNBOX audio "
        "player. CARD is the card's folder or its TUNBOX.CFG.",
        kName};
    app.set_version_flag("--version",
                         text::Concat({kName, " ", std::to_string(buildinfo::kVersionMajor), ".",
                                       std::to_string(buildinfo::kVersionMinor), ".",
                                       std::to_string(buildinfo::kVersionRelease), ".",
                                       std::to_string(buildinfo::kVersionBuild)}));
    app.require_subcommand(1);
    app.footer(
        "Exit status: check gives 0 when nothing is wrong, 1 for warnings only and 2 when the "
        "player will not start or a track will not play; diff gives 1 when the settings "
        "differ; every command gives 3 when it cannot do what was asked.");

    std::string card;
    std::string other;
    std::string settingsFile;
    std::string program;
    bool json = false;

    CLI::App* check = app.add_subcommand(
        "check",
        "Read the card as the player would and report every problem found, with its "
        "severity, the file it concerns and what to do.");
    check->add_option("CARD", card, "the card's folder or its TUNBOX.CFG")->required();
    check->add_flag("--json", json, "report in JSON for programs");

    CLI::App* dump = app.add_subcommand("dump", "Show every setting on the card by name.");
    dump->add_option("CARD", card, "the card's folder or its TUNBOX.CFG")->required();
    dump->add_flag("--json", json, "write the settings as JSON (docs/card-json.md)");

    CLI::App* diff = app.add_subcommand(
        "diff",
        "Show the settings that differ between two cards or JSON dumps, old value and "
        "new.");
    diff->add_option("CARD_A", card, "a card folder, a TUNBOX.CFG or a JSON dump")->required();
    diff->add_option("CARD_B", other, "a card folder, a TUNBOX.CFG or a JSON dump")->required();

    CLI::App* apply = app.add_subcommand(
        "apply",
        "Write the settings of a JSON file (a whole dump, or only the keys to change) "
        "onto the card, as the window saves it. Nothing is written when any value is "
        "wrong.");
    apply->add_option("CARD", card, "the card's folder or its TUNBOX.CFG")->required();
    apply->add_option("SETTINGS", settingsFile, "the JSON settings file")->required();
    apply->add_option("--program", program,
                      "the program to copy onto the card as Cardwright.exe (default: cardwright "
                      "beside this program, or none)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, env.out, env.err);
        return code == 0 ? 0 : kTrouble;
    }
    try {
        if (check->parsed()) {
            return Check(env, card, json);
        }
        if (dump->parsed()) {
            return Dump(env, card, json);
        }
        if (diff->parsed()) {
            return Diff(env, card, other);
        }
        return Apply(env, card, settingsFile, program);
    } catch (const std::exception& e) {
        return Trouble(env, e.what());
    }
}

}  // namespace cli
