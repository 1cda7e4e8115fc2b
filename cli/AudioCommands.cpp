#include "cli/AudioCommands.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <ostream>

#include "cardaudio/MediaTool.h"
#include "model/AddAudio.h"
#include "model/Card.h"
#include "model/FileIo.h"
#include "model/SoundsOrder.h"
#include "model/Text.h"

namespace cli {

namespace {

namespace fs = std::filesystem;
constexpr const char* kName = "cardwright-cli";

int Say(const Environment& env, const std::string& what, int status = kTrouble) {
    env.err << kName << ": " << what << "\n";
    return status;
}

// Why the card's files stop the work, if they do: a configuration that would
// be lost or misread by a save, or a SOUNDS that cannot hold audio.
std::optional<std::string> Obstacle(const card::Read& read) {
    using Kind = card::Problem::Kind;
    for (const card::Problem& p : read.problems) {
        switch (p.kind) {
            case Kind::ConfigUnreadable:
            case Kind::SoundsUnreadable:
                return text::Concat({fileio::Display(p.file), ": ", p.detail});
            case Kind::ConfigWrongSize:
            case Kind::ConfigEmpty:
            case Kind::ConfigNewer:
                return text::Concat({fileio::Display(p.file),
                                     ": not a configuration this program can keep; `check` "
                                     "says more"});
            case Kind::SoundsNotFolder:
            case Kind::SoundsBrokenLink:
                return text::Concat({fileio::Display(p.file),
                                     ": not a folder, so the card "
                                     "cannot hold its audio"});
            default:
                break;
        }
    }
    return std::nullopt;
}

// The card read, after finishing a reordering that was cut short.
std::optional<card::Read> OpenCard(const Environment& env, const std::string& arg,
                                   card::Location& where) {
    std::error_code ec;
    where = card::Locate(arg);
    if (!fs::exists(arg, ec) || !fs::is_directory(where.dir, ec)) {
        Say(env, text::Concat({arg, ": no such card folder or file; nothing was written"}));
        return std::nullopt;
    }
    soundsorder::FileOps ops;
    const soundsorder::Recovery recovered = soundsorder::Recover(where, ops);
    if (recovered.failure) {
        Say(env, text::Concat({recovered.failure->Message(),
                               "; a reordering of SOUNDS that was cut short could not be "
                               "finished, so nothing was written"}));
        return std::nullopt;
    }
    if (recovered.found) {
        Say(env, "finished putting SOUNDS in order, which was cut short before", 0);
    }
    Result<card::Read> read = card::ReadCard(where);
    if (!read) {
        Say(env, text::Concat({read.error().Message(), "; nothing was written"}));
        return std::nullopt;
    }
    if (const auto obstacle = Obstacle(*read)) {
        Say(env, text::Concat({*obstacle, "; nothing was written"}));
        return std::nullopt;
    }
    return std::move(*read);
}

void ShowPlan(const Environment& env, const addaudio::Plan& plan) {
    int n = 0;
    for (const addaudio::PlannedFile& f : plan.files) {
        const addaudio::SourceInfo& i = f.source.info;
        env.out << ++n << ". " << fileio::Display(f.source.path) << "\n   ";
        if (!f.Ready()) {
            env.out << "cannot be read: " << i.refusal << "\n";
            continue;
        }
        env.out << i.format << ", " << i.encoding << ", " << addaudio::LengthText(i.seconds) << "; "
                << (i.convert ? "converted to 16-bit WAV" : "copied") << " as \"" << f.cardName
                << "\" (" << f.alias << "), " << addaudio::SizeText(f.cardBytes) << "\n";
    }
    env.out << "Space needed: " << addaudio::SizeText(plan.spaceNeeded) << " of "
            << addaudio::SizeText(plan.spaceFree) << " free.\n";
}

// The new files become tracks, written into the card's configuration.
int WriteTracks(const Environment& env, const card::Location& where,
                const std::vector<std::string>& written) {
    Result<card::Read> read = card::ReadCard(where);
    if (!read) {
        return Say(env, read.error().Message());
    }
    card::Image image = std::move(read->image);
    addaudio::AppendTracks(image.config, image.audio, written);
    card::WriteOptions options;
    options.configOnly = !where.ConfigIsTheCards();
    const card::WriteReport report = card::WriteCard(where, image, options);
    if (report.refused) {
        return Say(env, text::Concat({report.refused->failure.Message(),
                                      "; the files are on the card but have no tracks yet"}));
    }
    return report.Complete() ? 0 : Say(env, "the tracks of the new files could not be saved");
}

int Carry(const Environment& env, const card::Location& where, const addaudio::Plan& plan,
          addaudio::AudioTool& tool) {
    addaudio::AddOptions options;
    if (env.terminal) {
        options.progress = [&](std::size_t file, std::uint64_t done, std::uint64_t total) {
            env.err << "\rwriting " << file + 1 << "/" << plan.files.size() << " "
                    << (total ? done * 100 / total : 100) << "%  " << std::flush;
        };
    }
    const addaudio::AddResult result = addaudio::AddFiles(plan, tool, options);
    if (env.terminal) {
        env.err << "\r" << std::string(40, ' ') << "\r" << std::flush;
    }
    if (result.refused) {
        return Say(env, text::Concat({result.refused->Message(), "; nothing was written"}));
    }
    for (const auto& s : result.scaled) {
        char gain[32];
        std::snprintf(gain, sizeof gain, "%.1f", std::fabs(s.gainDb));
        Say(env, text::Concat({s.cardName, ": turned down by ", gain, " dB so as not to clip"}), 0);
    }
    const int tracks = result.written.empty() ? 0 : WriteTracks(env, where, result.written);
    env.out << "Wrote " << result.written.size() << " of " << plan.files.size() << " files.\n";
    if (result.failed) {
        return Say(env, text::Concat({result.failed->Message(),
                                      "; the files after it were not "
                                      "written"}));
    }
    return tracks;
}

}  // namespace

int AddAudio(const Environment& env, const std::string& cardArg,
             const std::vector<std::string>& files, bool yes) {
    card::Location where;
    if (!OpenCard(env, cardArg, where)) {
        return kTrouble;
    }
    cardaudio::MediaTool tool;
    std::vector<fs::path> paths(files.begin(), files.end());
    const addaudio::Plan plan = addaudio::MakePlan(where.dir, addaudio::InspectAll(paths, tool));
    ShowPlan(env, plan);
    if (plan.Refused() > 0) {
        return Say(env, "some files cannot be read; nothing was written");
    }
    if (plan.spaceUnknown) {
        return Say(env, text::Concat({plan.spaceUnknown->Message(), "; nothing was written"}));
    }
    if (!plan.Fits()) {
        return Say(env, "the card has too little room for these files; nothing was written");
    }
    if (!yes) {
        return Say(env, "nothing was written; add --yes to write these files", kNothingDone);
    }
    return Carry(env, where, plan, tool);
}

int Order(const Environment& env, const std::string& cardArg,
          const std::vector<std::string>& names) {
    card::Location where;
    const std::optional<card::Read> read = OpenCard(env, cardArg, where);
    if (!read) {
        return kTrouble;
    }
    const auto& audio = read->image.audio;
    const Result<std::vector<std::string>> order = soundsorder::ResolveOrder(audio, names);
    if (!order) {
        return Say(env, text::Concat({order.error().Message(), "; nothing was changed"}));
    }
    soundsorder::FileOps ops;
    soundsorder::Journal journal{audio, *order};
    if (!soundsorder::InOrder(audio, *order)) {
        const Result<soundsorder::Journal> done =
            soundsorder::Reorder(where.dir, *order, audio, ops);
        if (!done) {
            return Say(env, text::Concat({done.error().Message(),
                                          "; every file is still on the card, and the next "
                                          "command on it finishes the work"}));
        }
    }
    if (Status followed = soundsorder::FollowOnCard(where, journal, ops); !followed) {
        return Say(env, text::Concat({followed.error().Message(),
                                      "; the files are in order, but the track settings "
                                      "were not saved"}));
    }
    for (std::size_t k = 0; k < order->size(); ++k) {
        env.out << k + 1 << ". " << (*order)[k] << "\n";
    }
    return 0;
}

}  // namespace cli
