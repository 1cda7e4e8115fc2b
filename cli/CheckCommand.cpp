#include "cli/CheckCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <nlohmann/json.hpp>
#include <ostream>

#include "doctor/CardCheck.h"
#include "doctor/Printable.h"
#include "model/BlinkCodes.h"
#include "model/Card.h"
#include "model/Text.h"

namespace cli {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

constexpr const char* kName = "cardwright-cli";
// Below this many audio files a check is over before progress is worth drawing.
constexpr int kProgressFrom = 32;

// One card's check as it is reported.
struct Report {
    std::string card;                    // as given
    fs::path folder;                     // the card's folder, as given
    std::vector<doctor::Finding> shown;  // the findings asked for, worst first
    std::size_t hidden = 0;              // left out by --severity or --ignore
    int status = 0;                      // over the findings shown
};

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

doctor::CheckResult CheckWithProgress(const Environment& env, const std::string& card) {
    doctor::CheckOptions options;
    bool drew = false;
    if (env.terminal) {
        options.progress = [&](int done, int total, const std::string& file) {
            if (total < kProgressFrom) {
                return;
            }
            std::string line = text::Concat({"checking ", std::to_string(done), "/",
                                             std::to_string(total), " ", doctor::Printable(file)});
            line.resize(79, ' ');
            env.err << '\r' << line << std::flush;
            drew = true;
        };
    }
    doctor::CheckResult result = doctor::CheckCard(card, options);
    if (drew) {
        env.err << '\r' << std::string(79, ' ') << '\r' << std::flush;
    }
    return result;
}

Report CheckOne(const Environment& env, const CheckRequest& request, const std::string& card) {
    doctor::CheckResult result = CheckWithProgress(env, card);
    const doctor::Severity least = doctor::SeverityNamed(request.severity).value();
    Report report{card, card::Locate(card).dir, {}, 0, 0};
    for (doctor::Finding& f : result.findings) {
        const auto& ignore = request.ignore;
        if (f.severity < least || std::find(ignore.begin(), ignore.end(), f.id) != ignore.end()) {
            ++report.hidden;
        } else {
            report.shown.push_back(std::move(f));
        }
    }
    doctor::SortWorstFirst(report.shown);
    report.status = result.cancelled ? kTrouble : doctor::ExitStatus(report.shown);
    return report;
}

// --- the three forms ----------------------------------------------------------

fs::path Where(const Report& r, const doctor::Finding& f) {
    return f.file.empty() ? r.folder : r.folder / f.file;
}

// `path` relative to the current folder, as compilers name files.
std::string FromHere(const fs::path& path) {
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec).lexically_normal();
    if (!absolute.has_filename() && absolute.has_parent_path()) {
        absolute = absolute.parent_path();
    }
    const fs::path relative = absolute.lexically_relative(fs::current_path(ec));
    return (relative.empty() ? absolute : relative).generic_string();
}

void WriteGcc(std::ostream& out, const Report& r) {
    for (const doctor::Finding& f : r.shown) {
        out << doctor::Printable(FromHere(Where(r, f))) << ": " << doctor::SeverityName(f.severity)
            << ": " << doctor::Printable(f.problem) << " [" << f.id << "]\n";
    }
}

void WriteJson(std::ostream& out, const Report& r) {
    Json j;
    j["format"] = "cardwright-check";
    j["version"] = 1;
    j["card"] = r.card;
    j["status"] = r.status;
    Json& list = j["findings"] = Json::array();
    for (const doctor::Finding& f : r.shown) {
        list.push_back(FindingJson(f));
    }
    out << j.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

// Each line begins with what it concerns, the card's folder included, so
// the lines of many cards can be told apart and searched.
void WriteText(std::ostream& out, const Report& r) {
    std::size_t counts[3] = {};
    for (const doctor::Finding& f : r.shown) {
        ++counts[static_cast<int>(f.severity)];
        const std::string where = doctor::Printable(Where(r, f).generic_string());
        out << where << ": " << doctor::SeverityName(f.severity) << ": "
            << doctor::Printable(f.problem) << " [" << f.id << "]\n"
            << where << ": what to do: " << doctor::Printable(f.action) << "\n";
    }
    out << doctor::Printable(r.folder.generic_string()) << ": ";
    if (r.shown.empty()) {
        out << "no problems found.";
    } else {
        out << Plural(counts[2], "error", "errors") << ", "
            << Plural(counts[1], "warning", "warnings") << ", "
            << Plural(counts[0], "note", "notes") << ".";
    }
    if (r.hidden > 0) {
        out << " " << Plural(r.hidden, "finding", "findings")
            << " left out by --severity or --ignore.";
    }
    if (counts[2] > 0) {
        out << " The player will not start from this card, or a track will not play.";
    }
    out << "\n";
}

}  // namespace

void DescribeCheck(CLI::App& check, CheckRequest& request) {
    check
        .add_option("CARD", request.cards,
                    "the card's folder or its TUNBOX.CFG; several cards are checked in turn")
        ->required();
    CLI::Option* format =
        check
            .add_option("--format", request.format,
                        "text (the default); json; or gcc, one line a finding: FILE: SEVERITY: "
                        "MESSAGE [ID], the file relative to the current folder")
            ->check(CLI::IsMember({"text", "json", "gcc"}));
    check.add_flag("--json", request.json, "the same as --format=json")->excludes(format);
    check
        .add_option("--severity", request.severity,
                    "the least severity shown: error, warning or note (the default); the exit "
                    "status follows what is shown")
        ->check(CLI::IsMember({"error", "warning", "note"}));
    const CLI::Validator findingId(
        [](std::string& id) {
            return doctor::IsFindingId(id)
                       ? std::string()
                       : text::Concat({"no finding has the id ", doctor::Printable(id),
                                       "; man cardwright-cli lists them"});
        },
        "ID");
    check
        .add_option("--ignore", request.ignore,
                    "leave out the findings with this id; give it once for each id")
        ->check(findingId)
        ->allow_extra_args(false);
}

int RunCheck(const Environment& env, const CheckRequest& request) {
    const std::string format = request.json ? "json" : request.format;
    int worst = 0;
    for (const std::string& card : request.cards) {
        std::error_code ec;
        if (!fs::exists(card, ec)) {
            env.err << kName << ": " << doctor::Printable(card) << ": "
                    << (ec ? ec.message() : "no such card folder or file") << "\n";
            worst = kTrouble;
            continue;
        }
        const Report report = CheckOne(env, request, card);
        if (format == "json") {
            WriteJson(env.out, report);
        } else if (format == "gcc") {
            WriteGcc(env.out, report);
        } else {
            WriteText(env.out, report);
        }
        worst = std::max(worst, report.status);
    }
    return worst;
}

}  // namespace cli
