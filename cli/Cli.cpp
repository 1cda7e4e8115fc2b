#include "cli/Cli.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <set>
#include <variant>

#include "BuildInfo.h"
#include "cli/AudioCommands.h"
#include "doctor/Card.h"
#include "doctor/CardCheck.h"
#include "doctor/Settings.h"
#include "model/BlinkCodes.h"
#include "model/Card.h"
#include "model/CardFiles.h"
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

// Why a card's configuration cannot be taken as it is, or nothing. `reading`:
// only shown (dump, diff), so what a save would question is no obstacle.
std::optional<std::string> ConfigRefusal(const card::Problem& p, bool reading, bool force = false) {
    using Kind = card::Problem::Kind;
    switch (p.kind) {
        case Kind::ConfigMissing:
            return reading ? std::optional<std::string>("no such configuration file")
                           : std::nullopt;
        case Kind::ConfigUnreadable:
            return p.detail;
        case Kind::ConfigWrongSize:
            return text::Concat({"the file is ", std::to_string(p.number),
                                 " bytes long; a configuration file holds ",
                                 std::to_string(layout::kFileSize)});
        case Kind::ConfigNewer:
            return reading ? std::nullopt
                           : std::optional<std::string>(
                                 text::Concat({"version ", std::to_string(p.number),
                                               " is newer than this program's ",
                                               std::to_string(card::ProgramVersion())}));
        case Kind::ConfigEmpty:
            if (reading || force) {
                return std::nullopt;
            }
            return "the file is empty, perhaps from an interrupted save; --force starts from "
                   "defaults";
        case Kind::ConfigOlder:
            if (reading || force) {
                return std::nullopt;
            }
            return text::Concat({"the file is version ", std::to_string(p.number),
                                 ", older than this "
                                 "program's ",
                                 std::to_string(card::ProgramVersion()),
                                 ", so the player's firmware may not match what is written; "
                                 "--force writes it anyway"});
        case Kind::ScheduleDropped:
            if (reading || force) {
                return std::nullopt;
            }
            return text::Concat({"the file holds ", std::to_string(p.number),
                                 " schedule events with no valid time or at a minute already "
                                 "taken, which a save leaves out; --force writes it without "
                                 "them"});
        default:
            return std::nullopt;
    }
}

// The settings of a JSON file as it is.
bool LoadJsonSettings(const Environment& env, const fs::path& path, Json& out) {
    auto read = fileio::ReadPrefix(path, kLargestSettings);
    if (!read) {
        Trouble(env, read.error().Message());
        return false;
    }
    if (read->size > kLargestSettings) {
        Trouble(env, text::Concat({fileio::Display(path), ": too large for a settings file"}));
        return false;
    }
    const std::vector<std::uint8_t>& bytes = read->bytes;
    // Settings nest a few levels; a file nested far deeper is no settings
    // file, and would cost the readers below their stack. The depth is
    // counted over the bytes first (brackets outside strings), so the parse
    // itself stays linear.
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

// The settings of a card, or of a JSON file as it is.
bool LoadSettings(const Environment& env, const std::string& arg, Json& out) {
    std::error_code ec;
    const fs::path path(arg);
    if (fs::is_regular_file(path, ec) &&
        !text::EqualIgnoringCase(path.extension().string(), ".CFG")) {
        return LoadJsonSettings(env, path, out);
    }
    const card::Location where = card::Locate(path);
    const Result<card::Read> read = card::ReadCard(where);
    if (!read) {
        Trouble(env, read.error().Message());
        return false;
    }
    using Kind = card::Problem::Kind;
    for (const card::Problem& p : read->problems) {
        if (const auto refusal = ConfigRefusal(p, true)) {
            Trouble(env, text::Concat({fileio::Display(p.file), ": ", *refusal}));
            return false;
        }
        if (p.kind == Kind::ScheduleBad) {
            env.err << kName << ": " << fileio::Display(p.file)
                    << ": bad length or checksum; read as no schedules\n";
        }
    }
    out = doctor::DumpSettings(read->image.config, read->image.schedules,
                               doctor::SoundsAliases(read->image));
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

// Says what a write did not do; 0 when the card holds every file.
int ReportWrite(const Environment& env, const card::WriteReport& report) {
    if (report.refused) {
        return Trouble(env,
                       text::Concat({report.refused->failure.Message(), "; nothing was written"}));
    }
    if (report.soundsFailed) {
        return Trouble(env, text::Concat({report.soundsFailed->Message(),
                                          "; the card cannot hold its audio, so nothing was "
                                          "written"}));
    }
    if (report.removedTemporaries > 0) {
        env.err << kName << ": removed " << report.removedTemporaries
                << " temporary files of an interrupted save\n";
    }
    for (const card::FileReport& f : report.files) {
        if (f.outcome == card::FileReport::Outcome::Failed) {
            env.err << kName << ": " << fileio::Display(f.file) << ": " << f.reason << ". "
                    << f.aftermath << "\n";
        }
    }
    if (!report.Complete()) {
        return Trouble(env, "the save did not complete");
    }
    return 0;
}

// The card's files as the settings leave them, or the status to exit with.
std::variant<card::Read, int> ReadForApply(const Environment& env, const card::Location& where,
                                           bool force) {
    Result<card::Read> read = card::ReadCard(where);
    if (!read) {
        return Trouble(env, text::Concat({read.error().Message(), "; nothing was written"}));
    }
    for (const card::Problem& p : read->problems) {
        if (const auto refusal = ConfigRefusal(p, false, force)) {
            return Trouble(env, text::Concat({fileio::Display(p.file), ": ", *refusal,
                                              "; nothing was written"}));
        }
        if (p.kind == card::Problem::Kind::SoundsNotFolder ||
            p.kind == card::Problem::Kind::SoundsBrokenLink) {
            return Trouble(env, text::Concat({fileio::Display(p.file),
                                              p.kind == card::Problem::Kind::SoundsNotFolder
                                                  ? ": it is a file, but the player needs a folder"
                                                  : ": it is a link that leads to no folder",
                                              ", so the card cannot hold its audio; nothing was "
                                              "written"}));
        }
        if (p.kind == card::Problem::Kind::ScheduleBad) {
            env.err << kName << ": " << fileio::Display(p.file)
                    << " fails its length or checksum; it is written afresh from the settings\n";
        }
    }
    return std::move(*read);
}

int Apply(const Environment& env, const std::string& cardArg, const std::string& settingsFile,
          const std::string& program, bool force) {
    Json settings;
    std::error_code ec;
    if (!fs::is_regular_file(settingsFile, ec)) {
        return Trouble(env, text::Concat({settingsFile, ": no such settings file"}));
    }
    if (!LoadSettings(env, settingsFile, settings)) {
        return kTrouble;
    }
    // A card that is not there is a mistake, not a new configuration file.
    card::Location where = card::Locate(cardArg);
    if (!fs::exists(cardArg, ec) || !fs::is_directory(where.dir, ec)) {
        return Trouble(env, text::Concat({cardArg,
                                          ": no such card folder or file; nothing was "
                                          "written"}));
    }
    auto read = ReadForApply(env, where, force);
    if (const int* status = std::get_if<int>(&read)) {
        return *status;
    }
    card::Image image = std::move(std::get<card::Read>(read).image);
    const auto errors = doctor::ApplySettings(settings, image.config, image.schedules,
                                              doctor::SoundsAliases(image));
    if (!errors.empty()) {
        for (const std::string& e : errors) {
            env.err << kName << ": " << settingsFile << ": " << e << "\n";
        }
        env.err << kName << ": nothing was written\n";
        return kTrouble;
    }
    card::WriteOptions options;
    // The player reads only TUNBOX.CFG: a copy under another name is written
    // alone, and the card's live files keep matching its TUNBOX.CFG.
    options.configOnly = !where.ConfigIsTheCards();
    // As the window does on opening a card: each track's file position
    // follows where its file now lies, so a track given another file plays it.
    options.reconcileTracks = !options.configOnly;
    options.program = ProgramToCopy({env.out, env.err, env.terminal, program}, where.dir);
    if (options.configOnly) {
        env.err << kName << ": " << fileio::Display(where.config)
                << " is not TUNBOX.CFG, so it is written alone; the card's other files stay as "
                   "they are\n";
    }
    return ReportWrite(env, card::WriteCard(where, image, options));
}

// What the command line names, filled in as CLI11 parses it.
struct Arguments {
    std::string card;
    std::string other;
    std::string settingsFile;
    std::string program;
    bool json = false;
    bool force = false;
    std::vector<std::string> names;  // add-audio's files, order's names
    bool yes = false;
};

struct Commands {
    CLI::App* check = nullptr;
    CLI::App* dump = nullptr;
    CLI::App* diff = nullptr;
    CLI::App* apply = nullptr;
    CLI::App* addAudio = nullptr;
    CLI::App* order = nullptr;
};

void AddAudioCommands(CLI::App& app, Arguments& a, Commands& c) {
    c.addAudio = app.add_subcommand(
        "add-audio",
        "Put sound files on the card as the next tracks, in the order given: MP3 and 16-bit "
        "WAV copied, anything else converted to 16-bit WAV. Shows the plan; writes only "
        "with --yes.");
    c.addAudio->add_option("CARD", a.card, "the card's folder or its TUNBOX.CFG")->required();
    c.addAudio->add_option("FILE", a.names, "the sound files, in track order")->required();
    c.addAudio->add_flag("--yes", a.yes, "write the files (without it, only the plan is shown)");

    c.order = app.add_subcommand(
        "order",
        "Put the files of SOUNDS in this order, and with them the track numbers; the "
        "track settings, playlists, inputs and schedules follow their files. Files not "
        "named follow in their present order.");
    c.order->add_option("CARD", a.card, "the card's folder or its TUNBOX.CFG")->required();
    c.order->add_option("NAME", a.names, "long or 8.3 names of files in SOUNDS")->required();
}

void DescribeProgram(CLI::App& app) {
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
}

Commands AddCommands(CLI::App& app, Arguments& a) {
    Commands c;
    c.check = app.add_subcommand(
        "check",
        "Read the card as the player would and report every problem found, with its "
        "severity, the file it concerns and what to do.");
    c.check->add_option("CARD", a.card, "the card's folder or its TUNBOX.CFG")->required();
    c.check->add_flag("--json", a.json, "report in JSON for programs");

    c.dump = app.add_subcommand("dump", "Show every setting on the card by name.");
    c.dump->add_option("CARD", a.card, "the card's folder or its TUNBOX.CFG")->required();
    c.dump->add_flag("--json", a.json, "write the settings as JSON (docs/card-json.md)");

    c.diff = app.add_subcommand(
        "diff",
        "Show the settings that differ between two cards or JSON dumps, old value and "
        "new.");
    c.diff->add_option("CARD_A", a.card, "a card folder, a TUNBOX.CFG or a JSON dump")->required();
    c.diff->add_option("CARD_B", a.other, "a card folder, a TUNBOX.CFG or a JSON dump")->required();

    c.apply = app.add_subcommand(
        "apply",
        "Write the settings of a JSON file (a whole dump, or only the keys to change) "
        "onto the card, as the window saves it. Nothing is written when any value is "
        "wrong.");
    c.apply->add_option("CARD", a.card, "the card's folder or its TUNBOX.CFG")->required();
    c.apply->add_option("SETTINGS", a.settingsFile, "the JSON settings file")->required();
    c.apply->add_option("--program", a.program,
                        "the program to copy onto the card as Cardwright.exe (default: cardwright "
                        "beside this program, or none)");
    c.apply->add_flag("--force", a.force,
                      "write even where the window would ask first: an empty or older "
                      "configuration, schedule events that would be left out");
    AddAudioCommands(app, a, c);
    return c;
}

int RunCommand(const Environment& env, const Commands& c, const Arguments& a) {
    if (c.check->parsed()) {
        return Check(env, a.card, a.json);
    }
    if (c.dump->parsed()) {
        return Dump(env, a.card, a.json);
    }
    if (c.diff->parsed()) {
        return Diff(env, a.card, a.other);
    }
    if (c.addAudio->parsed()) {
        return AddAudio(env, a.card, a.names, a.yes);
    }
    if (c.order->parsed()) {
        return Order(env, a.card, a.names);
    }
    return Apply(env, a.card, a.settingsFile, a.program, a.force);
}

}  // namespace

int Run(int argc, const char* const* argv, const Environment& env) {
    CLI::App app{
        "Checks, shows, compares and writes the settings on the memory card of a TUNBOX audio "
        "player. CARD is the card's folder or its TUNBOX.CFG.",
        kName};
    DescribeProgram(app);
    Arguments arguments;
    const Commands commands = AddCommands(app, arguments);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, env.out, env.err);
        return code == 0 ? 0 : kTrouble;
    }
    try {
        return RunCommand(env, commands, arguments);
    } catch (const std::exception& e) {
        return Trouble(env, e.what());
    }
}

}  // namespace cli
