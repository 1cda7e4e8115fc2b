#include "cli/Cli.h"

#include <CLI/CLI.hpp>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <set>
#include <variant>

#include "BuildInfo.h"
#include "cli/AudioCommands.h"
#include "cli/CheckCommand.h"
#include "cli/Help.h"
#include "cli/SettingsIo.h"
#include "doctor/Card.h"
#include "doctor/CardCheck.h"
#include "doctor/Report.h"
#include "doctor/Settings.h"
#include "doctor/SettingsSchema.h"
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
int Trouble(const Environment& env, const std::string& what) {
    env.err << kName << ": " << what << "\n";
    return kTrouble;
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

// The settings of a JSON file or pipe as it is.
bool LoadJsonSettings(const Environment& env, const std::string& arg, Json& out) {
    const Input input = ReadInput(arg, env.in);
    if (!input.error.empty()) {
        Trouble(env, input.error);
        return false;
    }
    Parsed parsed = ParseSettings(input.bytes, InputName(arg));
    if (!parsed.error.empty()) {
        Trouble(env, parsed.error);
        return false;
    }
    out = std::move(parsed.json);
    return true;
}

// A card as it is, to be shown: what makes it unreadable is said.
std::optional<card::Read> ReadToShow(const Environment& env, const std::string& arg) {
    const card::Location where = card::Locate(arg);
    Result<card::Read> read = card::ReadCard(where);
    if (!read) {
        Trouble(env, read.error().Message());
        return std::nullopt;
    }
    using Kind = card::Problem::Kind;
    for (const card::Problem& p : read->problems) {
        if (const auto refusal = ConfigRefusal(p, true)) {
            Trouble(env, text::Concat({fileio::Display(p.file), ": ", *refusal}));
            return std::nullopt;
        }
        if (p.kind == Kind::ScheduleBad) {
            env.err << kName << ": " << fileio::Display(p.file)
                    << ": bad length or checksum; read as no schedules\n";
        }
    }
    return std::move(*read);
}

Json DumpOf(const card::Image& image) {
    return doctor::DumpSettings(image.config, image.schedules, doctor::SoundsAliases(image));
}

// The settings of a card, or of a JSON file as it is.
bool LoadSettings(const Environment& env, const std::string& arg, Json& out) {
    if (NamesJson(arg)) {
        return LoadJsonSettings(env, arg, out);
    }
    const auto read = ReadToShow(env, arg);
    if (read) {
        out = DumpOf(read->image);
    }
    return read.has_value();
}

int Dump(const Environment& env, const std::string& card, bool json, const std::string& output) {
    Json settings;
    if (!LoadSettings(env, card, settings)) {
        return kTrouble;
    }
    const std::string error =
        WriteOutput(output,
                    json ? settings.dump(2, ' ', false, Json::error_handler_t::replace) + "\n"
                         : doctor::RenderText(settings),
                    env.out);
    return error.empty() ? 0 : Trouble(env, error);
}

// Says each setting that differs, "key: old -> new"; kDiffers when any does.
int ShowChanges(const Environment& env, const Json& left, const Json& right) {
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

// Only the settings `partial` holds, and the entries of its lists: what a
// file of the keys to change leaves alone is not a difference.
Json Restrict(const Json& whole, const Json& partial);

// The entries of a numbered list (tracks, inputs, schedules) that `partial`
// names by its first key, as a dump writes them.
Json RestrictList(const Json& whole, const Json& partial) {
    Json out = Json::array();
    for (const Json& entry : whole) {
        if (!entry.is_object() || entry.empty()) {
            return whole;  // a list of values is a value, compared whole
        }
        const auto id = entry.items().begin();
        for (const Json& named : partial) {
            if (named.is_object() && named.contains(id.key()) && named[id.key()] == id.value()) {
                out.push_back(Restrict(entry, named));
            }
        }
    }
    return out;
}

Json Restrict(const Json& whole, const Json& partial) {
    if (whole.is_array() && partial.is_array()) {
        return RestrictList(whole, partial);
    }
    if (!whole.is_object() || !partial.is_object()) {
        return whole;
    }
    Json out = Json::object();
    for (const auto& [key, value] : partial.items()) {
        if (whole.contains(key)) {
            out[key] = Restrict(whole[key], value);
        }
    }
    return out;
}

void Complain(const Environment& env, const std::string& file,
              const std::vector<std::string>& errors) {
    for (const std::string& e : errors) {
        env.err << kName << ": " << file << ": " << e << "\n";
    }
}

// The card's settings, and the same once `settings` are applied as apply
// would; with `reconcile`, as the save then writes them too: in this
// program's version, the tracks following SOUNDS when `where` is the card's
// own configuration. Nothing when the settings are refused.
std::optional<std::pair<Json, Json>> Preview(const Environment& env, const card::Location& where,
                                             const card::Read& read, const Json& settings,
                                             const std::string& name, bool reconcile) {
    card::Image after = read.image;
    const auto errors =
        doctor::ApplySettings(settings, after.config, after.schedules,
                              doctor::SoundsAliases(read.image), doctor::RootFiles(read.root));
    if (!errors.empty()) {
        Complain(env, name, errors);
        return std::nullopt;
    }
    if (reconcile) {
        after.config.Set(field::kConfigVersion, card::ProgramVersion());  // as a save writes it
    }
    // Without SOUNDS a save first moves the root's audio into it; the track
    // list then follows what it finds, which cannot be seen beforehand.
    if (reconcile && where.ConfigIsTheCards() && !read.Has(card::Problem::Kind::SoundsMissing)) {
        TrackScanner scanner;
        scanner.SetLister(doctor::DefaultLister());
        scanner.SyncTracks(after.config, where.config, where.dir, true);
    }
    return std::pair{DumpOf(read.image), DumpOf(after)};
}

int Diff(const Environment& env, const std::string& a, const std::string& b) {
    Json left;
    Json right;
    // A card and a settings file: the card as the file would leave it.
    if (!NamesJson(a) && NamesJson(b)) {
        const auto read = ReadToShow(env, a);
        if (!read || !LoadJsonSettings(env, b, right)) {
            return kTrouble;
        }
        const auto preview = Preview(env, card::Locate(a), *read, right, InputName(b), false);
        return preview ? ShowChanges(env, preview->first, preview->second) : kTrouble;
    }
    if (!LoadSettings(env, a, left) || !LoadSettings(env, b, right)) {
        return kTrouble;
    }
    return ShowChanges(env, NamesJson(b) ? Restrict(left, right) : left, right);
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
          const std::string& program, bool force, bool dryRun) {
    Json settings;
    std::error_code ec;
    if (!LoadJsonSettings(env, settingsFile, settings)) {
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
    if (dryRun) {
        const auto preview = Preview(env, where, std::get<card::Read>(read), settings,
                                     InputName(settingsFile), true);
        return preview ? ShowChanges(env, preview->first, preview->second) : kTrouble;
    }
    card::Image image = std::move(std::get<card::Read>(read).image);
    const auto errors =
        doctor::ApplySettings(settings, image.config, image.schedules, doctor::SoundsAliases(image),
                              doctor::RootFiles(std::get<card::Read>(read).root));
    if (!errors.empty()) {
        Complain(env, InputName(settingsFile), errors);
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

// --- validate and schema ----------------------------------------------------

// 0 when the file holds settings apply could take, 1 naming every problem,
// 3 when it cannot be read.
int Validate(const Environment& env, const std::string& settingsFile) {
    const Input input = ReadInput(settingsFile, env.in);
    if (!input.error.empty()) {
        return Trouble(env, input.error);
    }
    const std::string name = InputName(settingsFile);
    const Parsed parsed = ParseSettings(input.bytes, name);
    if (!parsed.error.empty()) {
        env.err << kName << ": " << parsed.error << "\n";
        return kInvalid;
    }
    const auto errors = doctor::ValidateSettings(parsed.json);
    Complain(env, name, errors);
    return errors.empty() ? 0 : kInvalid;
}

int Schema(const Environment& env) {
    env.out << doctor::SettingsSchema().dump(2) << "\n";
    return 0;
}

// --- report ---------------------------------------------------------------------

int Report(const Environment& env, const std::string& card, const std::string& format,
           const std::string& output) {
    std::error_code ec;
    if (!fs::exists(card, ec)) {
        return Trouble(env, text::Concat({card, ": no such card folder or file"}));
    }
    const Result<doctor::ReportContent> content = doctor::GatherReport(card);
    if (!content) {
        return Trouble(env, content.error().Message());
    }
    const std::string report =
        doctor::RenderReport(*content, format == "markdown" ? doctor::ReportFormat::Markdown
                                                            : doctor::ReportFormat::Html);
    if (output.empty() || output == "-") {
        env.out << report;
        return 0;
    }
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file << report;
    file.close();
    if (!file) {
        return Trouble(env, text::Concat({output, ": cannot be written"}));
    }
    return 0;
}

// What the command line names, filled in as CLI11 parses it.
struct Arguments {
    CheckRequest check;
    std::string card;
    std::string other;
    std::string settingsFile;
    std::string program;
    std::string format = "html";
    std::string output = "-";
    bool json = false;
    bool force = false;
    bool dryRun = false;
    std::vector<std::string> names;  // add-audio's files, order's names
    bool yes = false;
};

struct Commands {
    CLI::App* check = nullptr;
    CLI::App* dump = nullptr;
    CLI::App* diff = nullptr;
    CLI::App* apply = nullptr;
    CLI::App* validate = nullptr;
    CLI::App* schema = nullptr;
    CLI::App* report = nullptr;
    CLI::App* addAudio = nullptr;
    CLI::App* order = nullptr;
};

void AddSettingsCommands(CLI::App& app, Arguments& a, Commands& c) {
    c.validate = app.add_subcommand(
        "validate",
        "Check a JSON settings file without a card: every key, type and range apply checks. "
        "Exit status 0 when it is valid, 1 when it is not, 3 when it cannot be read.");
    c.validate->add_option("SETTINGS", a.settingsFile, "the JSON settings file, or - to read it")
        ->required();
    c.schema = app.add_subcommand(
        "schema", "Write the JSON Schema of settings files (docs/card-settings.schema.json).");
}

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
    app.formatter(std::make_shared<WrappingFormatter>());
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return text::Concat({kName, ": ", e.what(), "\nRun with --help for more information.\n"});
    });
    app.footer(
        "Exit status: check gives 0 when nothing is wrong, 1 for warnings only and 2 when the "
        "player will not start or a track will not play; diff gives 1 when the settings "
        "differ; every command gives 3 when it cannot do what was asked, such as a CARD that is "
        "not there.");
}

Commands AddCommands(CLI::App& app, Arguments& a) {
    Commands c;
    c.check = app.add_subcommand(
        "check",
        "Read each card as the player would and report every problem found, worst first, "
        "with its severity, id, the file it concerns and what to do.");
    DescribeCheck(*c.check, a.check);

    c.dump = app.add_subcommand("dump", "Show every setting on the card by name.");
    c.dump->add_option("CARD", a.card, "the card's folder or its TUNBOX.CFG")->required();
    c.dump->add_flag("--json", a.json, "write the settings as JSON (docs/card-json.md)");
    c.dump->add_option("-o,--output", a.output, "write to this file instead (- standard output)");

    c.diff = app.add_subcommand(
        "diff",
        "Show the settings that differ between two cards or JSON dumps, old value and "
        "new.");
    c.diff->add_option("CARD_A", a.card, "a card folder, a TUNBOX.CFG or a JSON dump")->required();
    c.diff
        ->add_option("CARD_B", a.other,
                     "a card folder, a TUNBOX.CFG or JSON settings (- to read them); only "
                     "the settings a JSON file holds are compared")
        ->required();

    c.apply = app.add_subcommand(
        "apply",
        "Write the settings of a JSON file (a whole dump, or only the keys to change) "
        "onto the card, as the window saves it. Nothing is written when any value is "
        "wrong.");
    c.apply->add_option("CARD", a.card, "the card's folder or its TUNBOX.CFG")->required();
    c.apply->add_option("SETTINGS", a.settingsFile, "the JSON settings file, or - to read it")
        ->required();
    c.apply->add_flag("--dry-run", a.dryRun,
                      "write nothing; show the settings that would change as diff does, and "
                      "exit 1 when any would");
    c.apply->add_option("--program", a.program,
                        "the program to copy onto the card as Cardwright.exe (default: cardwright "
                        "beside this program, or none)");
    c.apply->add_flag("--force", a.force,
                      "write even where the window would ask first: an empty or older "
                      "configuration, schedule events that would be left out");
    AddSettingsCommands(app, a, c);

    c.report = app.add_subcommand(
        "report",
        "Write a report of the whole card for people: the tracks and what happens at their "
        "end, the playlists, what each input does, the schedules and their days, and what "
        "the check finds.");
    c.report->add_option("CARD", a.card, "the card's folder or its TUNBOX.CFG")->required();
    c.report->add_option("--format", a.format, "html (the default) or markdown")
        ->check(CLI::IsMember({"html", "markdown"}));
    c.report->add_option("-o,--output", a.output, "the file to write; - or none: standard output");
    AddAudioCommands(app, a, c);
    return c;
}

int RunCommand(const Environment& env, const Commands& c, const Arguments& a) {
    if (c.check->parsed()) {
        return RunCheck(env, a.check);
    }
    if (c.dump->parsed()) {
        return Dump(env, a.card, a.json, a.output);
    }
    if (c.diff->parsed()) {
        return Diff(env, a.card, a.other);
    }
    if (c.validate->parsed()) {
        return Validate(env, a.settingsFile);
    }
    if (c.schema->parsed()) {
        return Schema(env);
    }
    if (c.report->parsed()) {
        return Report(env, a.card, a.format, a.output);
    }
    if (c.addAudio->parsed()) {
        return AddAudio(env, a.card, a.names, a.yes);
    }
    if (c.order->parsed()) {
        return Order(env, a.card, a.names);
    }
    return Apply(env, a.card, a.settingsFile, a.program, a.force, a.dryRun);
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
