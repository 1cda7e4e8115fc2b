#include "doctor/Report.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "doctor/Card.h"
#include "media/Probe.h"
#include "model/AnimationControl.h"
#include "model/Card.h"
#include "model/Describe.h"
#include "model/LevelChannels.h"
#include "model/ScheduleText.h"
#include "model/Text.h"

namespace doctor {

namespace {

// The report as a list of blocks, built once and written out in either
// format, so both say the same.
struct Block {
    enum class Kind { Heading, Paragraph, Table, List, Image };
    Kind kind = Kind::Paragraph;
    int level = 0;                               // of a heading
    std::string text;                            // heading and paragraph text; an image's source
    std::vector<std::vector<std::string>> rows;  // a table's, the first its head
    std::vector<std::string> items;              // a list's
};

class Builder {
  public:
    void Heading(int level, std::string text) {
        blocks.push_back({Block::Kind::Heading, level, std::move(text), {}, {}});
    }
    void Paragraph(std::string text) {
        blocks.push_back({Block::Kind::Paragraph, 0, std::move(text), {}, {}});
    }
    void Table(std::vector<std::vector<std::string>> rows) {
        blocks.push_back({Block::Kind::Table, 0, {}, std::move(rows), {}});
    }
    void List(std::vector<std::string> items) {
        blocks.push_back({Block::Kind::List, 0, {}, {}, std::move(items)});
    }
    void Image(std::string source) {
        blocks.push_back({Block::Kind::Image, 0, std::move(source), {}, {}});
    }
    std::vector<Block> blocks;
};

std::string Num(long long n) {
    return std::to_string(n);
}

std::string YesNo(bool on) {
    return on ? "yes" : "no";
}

std::string SignedNum(int n) {
    return n > 0 ? "+" + Num(n) : Num(n);
}

describe::LongNames NamesOf(const ReportContent& r) {
    return [&r](const std::string& alias) {
        for (const auto& [shortName, longName] : r.aliases) {
            if (shortName == alias) {
                return longName;
            }
        }
        return std::string();
    };
}

void Overview(Builder& b, const ReportContent& r) {
    b.Heading(1, "Card report");
    b.Table({{"Model", describe::ModelName(r.config)},
             {"Card folder", r.cardFolder},
             {"Date", r.date}});
    if (r.unsavedChanges) {
        b.Paragraph(
            "This report shows changes that have not been saved: the card does not hold them "
            "yet.");
    }
}

void Audio(Builder& b, const CardConfig& c) {
    using namespace field;
    const LevelChannels channels(c);
    const auto level = [&](bool on, const Field<std::uint32_t>& channel) {
        return on ? "on, channel " + Num(channels.Shown(c.Get(channel))) : std::string("off");
    };
    b.Heading(2, "Audio");
    b.Table({
        {"Setting", "Left", "Right"},
        {"Main Volume Level (0 to 63)", Num(c.Get(kMainVolumeLeft)), Num(c.Get(kMainVolumeRight))},
        {"'Half Mute' Volume Level (0 to 63)", Num(c.Get(kHalfMuteVolumeLeft)),
         Num(c.Get(kHalfMuteVolumeRight))},
        {"Realtime Level Control", level(c.Get(kRealtimeLevelLeft), kLevelControlChannelLeft),
         level(c.Get(kRealtimeLevelRight), kLevelControlChannelRight)},
    });
    b.Table({
        {"Tone", "Corner frequency", "Gain"},
        {"Bass", Num(c.Get(kBassCornerFrequency)) + " Hz", SignedNum(c.Get(kBassGain))},
        {"Treble", Num(c.Get(kTrebleCornerFrequency)) + " Hz", SignedNum(c.Get(kTrebleGain))},
    });
    b.Paragraph(c.Get(kPowerAmplifiersFlag) ? "The power amplifiers are enabled."
                                            : "The power amplifiers are disabled.");
}

void Tracks(Builder& b, const ReportContent& r) {
    const CardConfig& c = r.config;
    const describe::LongNames names = NamesOf(r);
    b.Heading(2, "Tracks");
    b.Paragraph("At power up: " + describe::PowerUp(c, names) + ".");
    std::vector<std::vector<std::string>> rows{
        {"Track", "Name", "8.3 name", "Length", "At its end", "Can be stepped on"}};
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (!c.TrackExists(n)) {
            continue;
        }
        const std::string alias = c.TrackName(n);
        const std::string longName = names(alias);
        const auto length = r.seconds.find(alias);
        rows.push_back({Num(n), longName.empty() ? alias : longName, alias,
                        length == r.seconds.end() ? "unknown" : LengthText(length->second),
                        describe::EndAction(c, n, names), YesNo(c.Get(field::kStepOn, n))});
    }
    if (rows.size() == 1) {
        b.Paragraph("The configuration holds no tracks.");
    } else {
        b.Table(std::move(rows));
    }
}

void Playlists(Builder& b, const ReportContent& r) {
    b.Heading(2, "Playlists");
    std::vector<std::string> empty;
    for (int p = 0; p < layout::kPlaylistCount; ++p) {
        if (r.config.PlaylistCount(p) == 0) {
            empty.push_back(Num(p + 1));
            continue;
        }
        b.Heading(3, "Playlist " + Num(p + 1));
        b.Paragraph(describe::PlaylistSummary(r.config, p));
        b.List(describe::PlaylistEntries(r.config, p, NamesOf(r)));
    }
    if (!empty.empty()) {
        b.Paragraph((empty.size() == 1 ? "Playlist " : "Playlists ") + describe::JoinWords(empty) +
                    (empty.size() == 1 ? " is empty." : " are empty."));
    }
}

void Inputs(Builder& b, const ReportContent& r, InputSet set) {
    b.Heading(2, set == InputSet::Player ? "Inputs" : "Animation inputs");
    std::vector<std::string> sentences;
    for (int i = 0; i < r.config.InputCount(); ++i) {
        for (std::string& s : describe::InputSentences(r.config, set, i, NamesOf(r))) {
            sentences.push_back(std::move(s));
        }
    }
    b.List(std::move(sentences));
}

std::string ReceptionText(animation::Reception reception) {
    switch (reception) {
        case animation::Reception::DmxTransmit:
            return "DMX-512 Transmit Enabled";
        case animation::Reception::Dmx:
            return "Enable DMX-512 Reception";
        case animation::Reception::Midi:
            return "Enable MIDI Reception";
        case animation::Reception::NetSerial:
            return "Enable NetSerial Reception";
        case animation::Reception::IrRemote:
            return "Enable IR Remote Control Reception";
    }
    return {};
}

void Animation(Builder& b, const CardConfig& c) {
    using namespace field;
    const animation::Reception mode = animation::ReceptionOf(c);
    const bool midi = mode == animation::Reception::Midi;
    const animation::ModeNumbers shown = animation::ShownNumbers(c, mode);
    b.Heading(2, "Animation");
    b.Table({
        {"Setting", "Value"},
        {"Animation control", ReceptionText(mode)},
        {midi ? "MIDI Channel Number" : "Tessel Serial Address",
         Num(shown.addressOrChannel.value_or(0))},
        {midi ? "Player Control First Note Number" : "Player Control Channel Number",
         Num(c.Get(kPlayerControlChannel))},
        {midi ? "Animation First Note Number" : "First Animation Channel Number",
         Num(shown.firstChannelOrNote.value_or(0))},
        {"Enable DMX Checksum", YesNo(c.Get(kDmxChecksumFlag))},
        {"MIDI Notes Trigger Animation Playback", YesNo(c.Get(kMidiNotesFlag))},
        {"Enable Animation From Flash", YesNo(c.Get(kAnimationFromFlashFlag))},
        {"Disable Outputs When Stopped", YesNo(c.Get(kOutputsOffFlag))},
        {"Write Protect Flash Memory", YesNo(c.Get(kFlashWriteProtectFlag))},
    });
    const std::string current = c.Get(kCurrentDownloadFile);
    const std::string chosen = c.Get(kChosenDownloadFile);
    b.Table({
        {"Show file", "Value"},
        {"In the player's flash", current.empty() ? "none" : current},
        {"Make this the current file on next boot",
         c.Get(kNextBootFlag) && !chosen.empty() ? chosen : "no"},
        {"Always load current file to flash on boot", YesNo(c.Get(kLoadOnBootFlag))},
    });
}

std::string ScheduleName(const ReportContent& r, int n) {
    const auto i = static_cast<std::size_t>(n);
    return i < r.scheduleNames.size() && !r.scheduleNames[i].empty() ? r.scheduleNames[i]
                                                                     : scheduletext::DefaultName(n);
}

void Schedules(Builder& b, const ReportContent& r, const ScheduleImages& images) {
    const ScheduleSet& s = r.schedules;
    b.Heading(2, "Schedules");
    b.Paragraph(r.config.Get(field::kResetClockFlag)
                    ? "The clock is reset on D/White to " +
                          scheduletext::ResetTimeText(s.ResetTime()) + "."
                    : "The clock is not reset on D/White.");
    b.Paragraph(r.config.Get(field::kNoBlueStartsFlag) ? "Schedule starts on C/Blue are disabled."
                                                       : "Schedules may start on C/Blue.");
    bool any = false;
    for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
        if (!s.InUse(n)) {
            continue;
        }
        any = true;
        const std::string name = ScheduleName(r, n);
        b.Heading(3, name == scheduletext::DefaultName(n)
                         ? name
                         : text::Concat({scheduletext::DefaultName(n), ": ", name}));
        b.Paragraph("Runs on: " + describe::ScheduleDays(s, n) + ".");
        std::vector<std::string> events;
        for (const std::uint32_t entry : s.Entries(n)) {
            events.push_back(describe::ScheduleEvent(r.config, entry, NamesOf(r)));
        }
        b.List(std::move(events));
        if (const std::string image = images ? images(n) : std::string(); !image.empty()) {
            b.Image(image);
        }
    }
    if (!any) {
        b.Paragraph("There are no schedules.");
    }
}

void Findings(Builder& b, const ReportContent& r) {
    b.Heading(2, "Card check");
    if (!r.checkNote.empty()) {
        b.Paragraph(r.checkNote);
    }
    if (!r.checked) {
        return;
    }
    if (r.findings.empty()) {
        b.Paragraph("No problems found.");
        return;
    }
    std::vector<std::vector<std::string>> rows{{"Severity", "File", "Problem", "What to do"}};
    for (const Finding& f : r.findings) {
        rows.push_back(
            {SeverityName(f.severity), f.file.empty() ? "(card)" : f.file, f.problem, f.action});
    }
    b.Table(std::move(rows));
}

std::vector<Block> Build(const ReportContent& r, const ScheduleImages& images) {
    Builder b;
    Overview(b, r);
    Audio(b, r.config);
    Tracks(b, r);
    Playlists(b, r);
    Inputs(b, r, InputSet::Player);
    if (r.config.HasAnimation()) {
        Inputs(b, r, InputSet::Animation);
        Animation(b, r.config);
    }
    if (r.config.HasClock()) {
        Schedules(b, r, images);
    }
    Findings(b, r);
    return std::move(b.blocks);
}

// --- HTML ---------------------------------------------------------------------

std::string Escape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (const char ch : s) {
        switch (ch) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += ch;
        }
    }
    return out;
}

constexpr const char* kStyle =
    "body { font-family: sans-serif; font-size: 10pt; color: #111; }\n"
    "h1 { font-size: 18pt; } h2 { font-size: 14pt; margin-top: 18px; }\n"
    "h3 { font-size: 11pt; }\n"
    "table { border-collapse: collapse; margin: 6px 0; }\n"
    "th, td { border: 1px solid #999; padding: 2px 6px; text-align: left; "
    "vertical-align: top; }\n"
    "th { background: #e8e8e8; }\n";

void HtmlTable(std::string& out, const Block& block) {
    // A table of many columns takes the page's width, so that its words are
    // not broken into pieces on paper.
    const bool wide = !block.rows.empty() && block.rows.front().size() >= 5;
    out += text::Concat({"<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"",
                         wide ? " width=\"100%\"" : "", ">\n"});
    for (std::size_t i = 0; i < block.rows.size(); ++i) {
        const char* cell = i == 0 ? "th" : "td";
        out += "<tr>";
        for (const std::string& text : block.rows[i]) {
            out += text::Concat({"<", cell, ">", Escape(text), "</", cell, ">"});
        }
        out += "</tr>\n";
    }
    out += "</table>\n";
}

void HtmlBlock(std::string& out, const Block& block) {
    switch (block.kind) {
        case Block::Kind::Heading: {
            const std::string h = "h" + Num(block.level);
            out += text::Concat({"<", h, ">", Escape(block.text), "</", h, ">\n"});
            break;
        }
        case Block::Kind::Paragraph:
            out += text::Concat({"<p>", Escape(block.text), "</p>\n"});
            break;
        case Block::Kind::Table:
            HtmlTable(out, block);
            break;
        case Block::Kind::List:
            out += "<ul>\n";
            for (const std::string& item : block.items) {
                out += text::Concat({"<li>", Escape(item), "</li>\n"});
            }
            out += "</ul>\n";
            break;
        case Block::Kind::Image:
            out += text::Concat({"<p><img src=\"", Escape(block.text), "\" alt=\"\"></p>\n"});
            break;
    }
}

std::string Html(const std::vector<Block>& blocks) {
    std::string out =
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Card report</title>\n<style>\n";
    out += kStyle;
    out += "</style>\n</head>\n<body>\n";
    for (const Block& block : blocks) {
        HtmlBlock(out, block);
    }
    out += "</body>\n</html>\n";
    return out;
}

// --- Markdown -----------------------------------------------------------------

// Text that Markdown takes as it is: its marks escaped, lines joined.
std::string Plain(std::string_view s) {
    std::string out;
    for (const char ch : s) {
        if (ch == '\n' || ch == '\r') {
            out += ' ';
            continue;
        }
        if (std::string_view("\\`*_[]<>|#").find(ch) != std::string_view::npos) {
            out += '\\';
        }
        out += ch;
    }
    return out;
}

void MarkdownTable(std::string& out, const Block& block) {
    for (std::size_t i = 0; i < block.rows.size(); ++i) {
        out += "|";
        for (const std::string& cell : block.rows[i]) {
            out += " " + Plain(cell) + " |";
        }
        out += "\n";
        if (i == 0) {
            out += "|";
            for (std::size_t k = 0; k < block.rows[0].size(); ++k) {
                out += " --- |";
            }
            out += "\n";
        }
    }
    out += "\n";
}

std::string Markdown(const std::vector<Block>& blocks) {
    std::string out;
    for (const Block& block : blocks) {
        switch (block.kind) {
            case Block::Kind::Heading:
                out += std::string(static_cast<std::size_t>(block.level), '#') + " " +
                       Plain(block.text) + "\n\n";
                break;
            case Block::Kind::Paragraph:
                out += Plain(block.text) + "\n\n";
                break;
            case Block::Kind::Table:
                MarkdownTable(out, block);
                break;
            case Block::Kind::List:
                for (const std::string& item : block.items) {
                    out += "- " + Plain(item) + "\n";
                }
                out += "\n";
                break;
            case Block::Kind::Image:
                out += "![](" + block.text + ")\n\n";
                break;
        }
    }
    return out;
}

// --- gathering ----------------------------------------------------------------

std::string Today() {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    const std::chrono::year_month_day ymd{today};
    char out[16];
    std::snprintf(out, sizeof out, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return out;
}

// Reads the length of each audio file, as far as the cancel flag lets it.
void ReadLengths(const card::Location& where, const card::Image& image, const CheckOptions& options,
                 ReportContent& r) {
    std::error_code ec;
    const std::filesystem::path sounds = where.dir / "SOUNDS";
    const bool inSounds = std::filesystem::is_directory(sounds, ec);
    const int total = static_cast<int>(image.audio.size());
    for (int k = 0; k < total; ++k) {
        if (options.cancel && options.cancel->load()) {
            return;
        }
        const card::AudioFile& f = image.audio[static_cast<std::size_t>(k)];
        if (options.progress) {
            options.progress(k, total, f.longName);
        }
        const media::Probe probe = media::ProbeFile((inSounds ? sounds : where.dir) / f.longName);
        if (probe.fault == media::Fault::None && probe.sampleRate > 0 && !probe.partial) {
            r.seconds.emplace(f.alias, probe.Seconds());
        }
    }
}

}  // namespace

std::string RenderReport(const ReportContent& content, ReportFormat format,
                         const ScheduleImages& images) {
    const std::vector<Block> blocks = Build(content, images);
    return format == ReportFormat::Html ? Html(blocks) : Markdown(blocks);
}

std::string LengthText(double seconds) {
    const long long whole = std::llround(std::max(0.0, seconds));
    char out[32];
    std::snprintf(out, sizeof out, "%lld:%02lld", whole / 60, whole % 60);
    return out;
}

Result<ReportContent> GatherReport(const std::filesystem::path& cardPath,
                                   const GatherOptions& options) {
    const card::Location where = card::Locate(cardPath);
    const DirectoryLister lister =
        options.checkOptions.lister ? options.checkOptions.lister : DefaultLister();
    Result<card::Read> read = card::ReadCard(where, lister);
    if (!read) {
        return read.error();
    }
    ReportContent r;
    r.config = read->image.config;
    r.schedules = read->image.schedules;
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::absolute(where.dir, ec);
    r.cardFolder = (ec ? where.dir : folder.lexically_normal()).string();
    r.date = options.date.empty() ? Today() : options.date;
    r.aliases = SoundsAliases(read->image);
    if (options.check) {
        CheckResult check = CheckCard(cardPath, options.checkOptions);
        r.checked = !check.cancelled;
        r.findings = std::move(check.findings);
        r.checkNote = check.cancelled ? "The card check was stopped before it ended." : "";
    }
    ReadLengths(where, read->image, options.checkOptions, r);
    return r;
}

}  // namespace doctor
