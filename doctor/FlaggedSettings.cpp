#include "doctor/FlaggedSettings.h"

#include <cstdio>

#include "doctor/Card.h"
#include "model/Text.h"
#include "model/TrackReferences.h"

namespace doctor {

namespace {

std::string Index(const char* list, int n) {
    return text::Concat({list, "[", std::to_string(n), "]"});
}

std::string NoFile(int track) {
    return text::Concat({"track ", std::to_string(track), " has no file on this card"});
}

std::string InputKey(const trackrefs::EmptyReference& r) {
    return text::Concat({"inputs.", r.set == InputSet::Player ? "player" : "animation", "[",
                         std::to_string(r.input), "].",
                         r.side == inputs::Side::Close ? "close_code" : "open_code"});
}

FlaggedSetting Flag(const CardConfig& c, const trackrefs::EmptyReference& r) {
    using Kind = trackrefs::EmptyReference::Kind;
    switch (r.kind) {
        case Kind::PowerUp:
            return {"power_up_track", r.track, NoFile(r.track)};
        case Kind::EndAction:
            return {Index("tracks", r.from) + ".end_action", r.track, NoFile(r.track)};
        case Kind::InputTrack:
            return {InputKey(r), r.track, NoFile(r.track)};
        case Kind::InputPlaylistEntry:
            return {InputKey(r), r.entry,
                    text::Concat({"it plays entry ", std::to_string(r.entry), " of playlist ",
                                  std::to_string(r.playlist), ", which has ",
                                  std::to_string(c.PlaylistCount(r.playlist - 1)), " entries"})};
        case Kind::PlaylistEntry:
            break;
    }
    return {text::Concat(
                {Index("playlists", r.playlist), ".entries[", std::to_string(r.entry - 1), "]"}),
            r.name, r.name.empty() ? "names no file" : "no track of this card plays that file"};
}

// A clock runs the schedules: an entry playing a track without a file plays
// nothing at its time.
void FlagSchedules(const CardConfig& c, const ScheduleSet& s, std::vector<FlaggedSetting>& out) {
    if (!c.HasClock()) {
        return;
    }
    for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
        for (const std::uint32_t entry : s.Entries(n)) {
            const auto b = ScheduleSet::EntryToBytes(entry);
            if ((b[1] & ScheduleSet::kTrackEvent) == 0 || trackrefs::TrackPlays(c, b[2])) {
                continue;
            }
            char time[8];
            std::snprintf(time, sizeof time, "%02X:%02X", b[0], b[1] & ~ScheduleSet::kTrackEvent);
            out.push_back({Index("schedules.list", n) + ".entries",
                           {{"time", time}, {"track", b[2]}},
                           NoFile(b[2])});
        }
    }
}

// A show file the player is told to load must lie beside the configuration.
void FlagShowFiles(const CardConfig& c,
                   const std::vector<std::pair<std::string, std::string>>& rootFiles,
                   std::vector<FlaggedSetting>& out) {
    if (!c.HasAnimation()) {
        return;
    }
    const auto flag = [&](NameField name, bool wanted, const char* key) {
        const std::string file = c.Get(name);
        if (wanted && !file.empty() && !ShowFilePresent(rootFiles, file)) {
            out.push_back({text::Concat({"show_file.", key}), file,
                           "the show file is not beside the configuration on this card"});
        }
    };
    flag(field::kChosenDownloadFile, c.Get(field::kNextBootFlag) != 0, "chosen_download_file");
    flag(field::kCurrentDownloadFile, c.Get(field::kLoadOnBootFlag) != 0, "current_download_file");
}

}  // namespace

std::vector<FlaggedSetting> FlaggedSettings(
    const CardConfig& c, const ScheduleSet& s,
    const std::vector<std::pair<std::string, std::string>>& rootFiles) {
    std::vector<FlaggedSetting> out;
    FlagShowFiles(c, rootFiles, out);
    for (const trackrefs::EmptyReference& r : trackrefs::FindEmptyReferences(c)) {
        out.push_back(Flag(c, r));
    }
    FlagSchedules(c, s, out);
    return out;
}

}  // namespace doctor
