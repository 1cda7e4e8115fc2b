#include "model/TrackReferences.h"

#include <algorithm>

namespace trackrefs {

namespace {

using Kind = EmptyReference::Kind;

EmptyReference Reference(Kind kind, int track = 0) {
    EmptyReference r;
    r.kind = kind;
    r.track = track;
    return r;
}

bool TrackNamed(const CardConfig& c, const std::string& name) {
    if (name.empty()) {
        return false;
    }
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (c.TrackExists(n) && c.TrackName(n) == name) {
            return true;
        }
    }
    return false;
}

void FindInInputs(const CardConfig& c, InputSet set, std::vector<EmptyReference>& found) {
    for (int i = 0; i < c.InputCount(); ++i) {
        if (c.Get(field::kInputMode, set, i) == inputs::kUnused) {
            continue;
        }
        for (const auto side : {inputs::Side::Close, inputs::Side::Open}) {
            const InputAction a = inputs::ReadAction(c, set, i, side);
            if (!a.IsStart() || a.choice != InputAction::Choice::Numbered) {
                continue;
            }
            EmptyReference r = Reference(
                a.scope == InputAction::kAllTracks ? Kind::InputTrack : Kind::InputPlaylistEntry);
            r.set = set;
            r.input = i;
            r.side = side;
            if (r.kind == Kind::InputTrack) {
                r.track = a.number;
                if (!TrackPlays(c, static_cast<std::uint32_t>(a.number))) {
                    found.push_back(r);
                }
            } else if (static_cast<std::uint32_t>(a.number) > c.PlaylistCount(a.scope - 1)) {
                r.playlist = a.scope;
                r.entry = a.number;
                found.push_back(r);
            }
        }
    }
}

}  // namespace

bool TrackPlays(const CardConfig& c, std::uint32_t n) {
    return n >= 1 && n <= static_cast<std::uint32_t>(layout::kMaxTrack) &&
           c.TrackExists(static_cast<int>(n));
}

std::vector<EmptyReference> FindEmptyReferences(const CardConfig& c) {
    std::vector<EmptyReference> found;
    const std::uint32_t powerUp = c.Get(field::kPowerUpTrack);
    if (powerUp != 0 && !TrackPlays(c, powerUp)) {
        found.push_back(Reference(Kind::PowerUp, static_cast<int>(powerUp)));
    }
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        const std::uint32_t code = c.TrackExists(n) ? c.Get(field::kEndAction, n) : 0;
        if (code >= 1 && code <= static_cast<std::uint32_t>(layout::kMaxTrack) &&
            !TrackPlays(c, code)) {
            EmptyReference r = Reference(Kind::EndAction, static_cast<int>(code));
            r.from = n;
            found.push_back(r);
        }
    }
    FindInInputs(c, InputSet::Player, found);
    if (c.HasAnimation()) {
        FindInInputs(c, InputSet::Animation, found);
    }
    for (int p = 0; p < layout::kPlaylistCount; ++p) {
        const int count = static_cast<int>(c.PlaylistCount(p));
        for (int k = 0; k < count; ++k) {
            if (std::string entry = c.PlaylistEntry(p, k); !TrackNamed(c, entry)) {
                EmptyReference r = Reference(Kind::PlaylistEntry);
                r.playlist = p + 1;
                r.entry = k + 1;
                r.name = std::move(entry);
                found.push_back(r);
            }
        }
    }
    return found;
}

TrackListChanges CompareTrackLists(const CardConfig& before, const CardConfig& after) {
    std::vector<std::string> was;
    std::vector<std::string> is;
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (before.TrackExists(n)) {
            was.push_back(before.TrackName(n));
        }
        if (after.TrackExists(n)) {
            is.push_back(after.TrackName(n));
        }
    }
    const auto notIn = [](const std::vector<std::string>& from,
                          const std::vector<std::string>& in) {
        std::vector<std::string> out;
        std::copy_if(from.begin(), from.end(), std::back_inserter(out), [&in](const auto& name) {
            return std::find(in.begin(), in.end(), name) == in.end();
        });
        return out;
    };
    return {notIn(is, was), notIn(was, is)};
}

}  // namespace trackrefs
