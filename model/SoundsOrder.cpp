#include "model/SoundsOrder.h"

#include <algorithm>
#include <sstream>
#include <unordered_map>

#include "model/CardFiles.h"
#include "model/FileIo.h"
#include "model/InputTable.h"
#include "model/Text.h"
#include "platform/Files.h"

namespace soundsorder {

namespace fs = std::filesystem;

std::error_code FileOps::Rename(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    return ec;
}

std::error_code FileOps::MakeFolder(const fs::path& dir) {
    std::error_code ec;
    if (!fs::create_directory(dir, ec) && !ec) {
        ec = std::make_error_code(std::errc::file_exists);
    }
    return ec;
}

std::error_code FileOps::RemoveEmptyFolder(const fs::path& dir) {
    std::error_code ec;
    fs::remove(dir, ec);
    return ec;
}

std::error_code FileOps::WriteFile(const fs::path& file, const std::string& text) {
    const fileio::WriteResult r =
        fileio::Replace(file, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    return r.ok() ? std::error_code{} : std::make_error_code(std::errc::io_error);
}

std::error_code FileOps::RemoveFile(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
    return ec;
}

namespace {

constexpr std::string_view kJournalHeader = "cardwright sounds order 1";

const card::AudioFile* FindByName(const std::vector<card::AudioFile>& audio,
                                  const std::string& name) {
    for (const card::AudioFile& f : audio) {
        if (text::EqualIgnoringCase(f.longName, name)) {
            return &f;
        }
    }
    for (const card::AudioFile& f : audio) {
        if (!f.alias.empty() && text::EqualIgnoringCase(f.alias, name)) {
            return &f;
        }
    }
    return nullptr;
}

std::string JournalText(const Journal& j) {
    std::string out(kJournalHeader);
    out += '\n';
    for (const card::AudioFile& f : j.before) {
        out += text::Concat({"old\t", f.alias, "\t", f.longName, "\n"});
    }
    for (const std::string& name : j.order) {
        out += text::Concat({"new\t", name, "\n"});
    }
    return out;
}

std::optional<Journal> ParseJournal(const std::vector<std::uint8_t>& bytes) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string line;
    if (!std::getline(in, line) || line != kJournalHeader) {
        return std::nullopt;
    }
    Journal j;
    while (std::getline(in, line)) {
        const std::size_t tab = line.find('\t');
        const std::string kind = line.substr(0, tab);
        const std::string rest = tab == std::string::npos ? std::string() : line.substr(tab + 1);
        if (kind == "new") {
            j.order.push_back(rest);
        } else if (const std::size_t tab2 = rest.find('\t');
                   kind == "old" && tab2 != std::string::npos) {
            j.before.push_back({rest.substr(tab2 + 1), rest.substr(0, tab2), false});
        }
    }
    return j;
}

Failure Fault(const fs::path& file, std::error_code ec) {
    return Failure{file, ec.message()};
}

// Moves what is left in `from` into `to`: first the journal's files in its
// order, then everything else (other files, folders) as it comes.
Status MoveAll(const fs::path& from, const fs::path& to, const std::vector<std::string>& order,
               FileOps& ops) {
    std::error_code ec;
    for (const std::string& name : order) {
        if (!fs::exists(fs::symlink_status(from / name, ec))) {
            continue;  // moved before the work was cut short
        }
        if (auto err = ops.Rename(from / name, to / name)) {
            return Fault(from / name, err);
        }
    }
    std::vector<fs::path> rest;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        rest.push_back(it->path());
    }
    if (ec) {
        return Fault(from, ec);
    }
    for (const fs::path& p : rest) {
        if (auto err = ops.Rename(p, to / p.filename())) {
            return Fault(p, err);
        }
    }
    platform::SyncDirectory(to);
    return {};
}

bool Exists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// From whatever state the work was cut short in, to every file in a SOUNDS
// made afresh, in the journal's order. All of SOUNDS first goes into the
// holding folder, in any order; then SOUNDS is made again, so that no freed
// slot of an old folder can put a file before those written ahead of it,
// and the files come back in order. Renaming a whole folder instead would
// take one move fewer per file, but some FAT drivers lose a folder's
// contents when it is renamed.
Status FinishFolders(const fs::path& cardDir, const fs::path& sounds,
                     const std::vector<std::string>& order, FileOps& ops) {
    const fs::path holding = cardDir / kHoldingFolderName;
    if (!Exists(holding)) {
        if (auto err = ops.MakeFolder(holding)) {
            return Fault(holding, err);
        }
    }
    if (Exists(sounds)) {
        if (Status moved = MoveAll(sounds, holding, {}, ops); !moved) {
            return moved;
        }
        if (auto err = ops.RemoveEmptyFolder(sounds)) {
            return Fault(sounds, err);
        }
    }
    if (auto err = ops.MakeFolder(sounds)) {
        return Fault(sounds, err);
    }
    if (Status moved = MoveAll(holding, sounds, order, ops); !moved) {
        return moved;
    }
    if (auto err = ops.RemoveEmptyFolder(holding)) {
        return Fault(holding, err);
    }
    platform::SyncDirectory(cardDir);
    return {};
}

}  // namespace

Result<std::vector<std::string>> ResolveOrder(const std::vector<card::AudioFile>& audio,
                                              const std::vector<std::string>& names) {
    std::vector<std::string> order;
    for (const std::string& name : names) {
        const card::AudioFile* f = FindByName(audio, name);
        if (f == nullptr) {
            return Failure{name, "no such audio file in SOUNDS"};
        }
        if (std::find(order.begin(), order.end(), f->longName) != order.end()) {
            return Failure{name, "named more than once"};
        }
        order.push_back(f->longName);
    }
    for (const card::AudioFile& f : audio) {
        if (std::find(order.begin(), order.end(), f.longName) == order.end()) {
            order.push_back(f.longName);
        }
    }
    return order;
}

std::vector<std::string> TrackOrder(const CardConfig& config,
                                    const std::vector<card::AudioFile>& audio) {
    std::vector<std::string> names;
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        const card::AudioFile* f = nullptr;
        for (const card::AudioFile& a : audio) {
            f = f == nullptr && config.TrackExists(n) && a.alias == config.TrackName(n) ? &a : f;
        }
        // A file two tracks name goes where the first of them puts it.
        if (f != nullptr && std::find(names.begin(), names.end(), f->longName) == names.end()) {
            names.push_back(f->longName);
        }
    }
    return *ResolveOrder(audio, names);
}

bool OutOfTrackOrder(const CardConfig& config) {
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (config.TrackExists(n) &&
            config.Get(field::kFilePosition, n) != static_cast<std::uint32_t>(n)) {
            return true;
        }
    }
    return false;
}

bool InOrder(const std::vector<card::AudioFile>& audio, const std::vector<std::string>& order) {
    return std::equal(
        audio.begin(), audio.end(), order.begin(), order.end(),
        [](const card::AudioFile& f, const std::string& n) { return f.longName == n; });
}

Result<Journal> Reorder(const fs::path& cardDir, const std::vector<std::string>& order,
                        const std::vector<card::AudioFile>& before, FileOps& ops) {
    const fs::path sounds = TrackScanner::SoundsDirectory(cardDir);
    if (Exists(cardDir / kHoldingFolderName)) {
        return Failure{cardDir / kHoldingFolderName,
                       "the card already holds a folder of this name; move it away first"};
    }
    Journal journal{before, order};
    if (auto err = ops.WriteFile(cardDir / kJournalName, JournalText(journal))) {
        return Fault(cardDir / kJournalName, err);
    }
    if (Status done = FinishFolders(cardDir, sounds, order, ops); !done) {
        return done.error();
    }
    return journal;
}

Status Settle(const fs::path& cardDir, FileOps& ops) {
    if (auto err = ops.RemoveFile(cardDir / kJournalName)) {
        return Fault(cardDir / kJournalName, err);
    }
    return {};
}

namespace {

// The new track of each old one: by the long name of its file.
std::vector<int> TrackMap(const CardConfig& c, const std::vector<card::AudioFile>& before,
                          const std::vector<card::AudioFile>& after) {
    std::unordered_map<std::string, std::string> longOfAlias;
    for (const card::AudioFile& f : before) {
        longOfAlias.emplace(f.alias, f.longName);
    }
    std::unordered_map<std::string, int> placeOf;
    const int usable = std::min<int>(static_cast<int>(after.size()), layout::kMaxTrack);
    for (int k = usable; k >= 1; --k) {
        placeOf[after[static_cast<std::size_t>(k - 1)].longName] = k;
    }
    std::vector<int> map(layout::kTrackSlots, 0);
    std::vector<bool> taken(layout::kTrackSlots, false);
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        const auto name = longOfAlias.find(c.TrackName(n));
        const auto place = name == longOfAlias.end() ? placeOf.end() : placeOf.find(name->second);
        if (c.TrackExists(n) && place != placeOf.end() &&
            !taken[static_cast<std::size_t>(place->second)]) {
            map[static_cast<std::size_t>(n)] = place->second;
            taken[static_cast<std::size_t>(place->second)] = true;
        }
    }
    return map;
}

// A number a setting holds, moved with its track; one naming a track that
// had no file stays as it was.
std::uint32_t Follow(const std::vector<int>& map, std::uint32_t n) {
    if (n < 1 || n > static_cast<std::uint32_t>(layout::kMaxTrack) || map[n] == 0) {
        return n;
    }
    return static_cast<std::uint32_t>(map[n]);
}

void FollowInputs(CardConfig& c, const std::vector<int>& map) {
    for (const InputSet set : {InputSet::Player, InputSet::Animation}) {
        for (int i = 0; i < layout::kInputCount; ++i) {
            for (const auto side : {inputs::Side::Close, inputs::Side::Open}) {
                InputAction a = inputs::ReadAction(c, set, i, side);
                if (a.IsStart() && a.choice == InputAction::Choice::Numbered &&
                    a.scope == InputAction::kAllTracks) {
                    a.number = static_cast<int>(Follow(map, static_cast<std::uint32_t>(a.number)));
                    inputs::WriteAction(c, set, i, side, a);
                }
            }
        }
    }
}

void FollowSchedules(ScheduleSet& s, const std::vector<int>& map) {
    for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
        std::vector<std::uint32_t> entries = s.Entries(n);
        for (std::uint32_t& e : entries) {
            if (((e >> 8) & ScheduleSet::kTrackEvent) != 0) {
                e = (e & ~0xFFu) | Follow(map, e & 0xFF);
            }
        }
        s.SetEntries(n, entries);
    }
}

}  // namespace

card::Image FollowFiles(const card::Image& image, const std::vector<card::AudioFile>& before,
                        const std::vector<card::AudioFile>& after) {
    const CardConfig& old = image.config;
    const std::vector<int> map = TrackMap(old, before, after);
    card::Image out = image;
    CardConfig& c = out.config;
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        c.ClearTrack(n);
    }
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (const int k = map[static_cast<std::size_t>(n)]; k != 0) {
            c.SetTrackRecordWord(k, 0, old.TrackRecordWord(n, 0));
            c.SetTrackRecordWord(k, 1, old.TrackRecordWord(n, 1));
        }
    }
    const int usable = std::min<int>(static_cast<int>(after.size()), layout::kMaxTrack);
    for (int k = 1; k <= usable; ++k) {
        const std::string& alias = after[static_cast<std::size_t>(k - 1)].alias;
        c.SetTrackName(k, alias.empty() ? "ERROR.ERR" : alias);
        c.Set(field::kFilePosition, k, static_cast<std::uint32_t>(k));
        if (c.Get(field::kEndAction, k) <= static_cast<std::uint32_t>(layout::kMaxTrack)) {
            c.Set(field::kEndAction, k, Follow(map, c.Get(field::kEndAction, k)));
        }
    }
    c.Set(field::kPowerUpTrack, Follow(map, c.Get(field::kPowerUpTrack)));
    FollowInputs(c, map);
    FollowSchedules(out.schedules, map);
    // Playlist entries name files by alias: the old alias, through the long
    // name, to the new one.
    std::unordered_map<std::string, std::string> newAlias;
    for (const card::AudioFile& f : before) {
        if (const card::AudioFile* now = FindByName(after, f.longName)) {
            newAlias.emplace(f.alias, now->alias);
        }
    }
    for (int p = 0; p < layout::kPlaylistCount; ++p) {
        for (int k = 0; k < static_cast<int>(c.PlaylistCount(p)); ++k) {
            if (auto it = newAlias.find(c.PlaylistEntry(p, k)); it != newAlias.end()) {
                c.SetPlaylistEntry(p, k, it->second);
            }
        }
    }
    c.RebuildPlaylistSlots();
    out.audio = after;
    return out;
}

Status FollowOnCard(const card::Location& where, const Journal& journal, FileOps& ops,
                    const DirectoryLister& lister) {
    Result<card::Read> read = card::ReadCard(where, lister);
    if (!read) {
        return read.error();
    }
    const card::Image image = FollowFiles(read->image, journal.before, read->image.audio);
    card::WriteOptions options;
    options.lister = lister;
    options.configOnly = !where.ConfigIsTheCards();
    const card::WriteReport report = card::WriteCard(where, image, options);
    if (report.refused) {
        return report.refused->failure;
    }
    for (const card::FileReport& f : report.files) {
        if (f.outcome == card::FileReport::Outcome::Failed) {
            return Failure{f.file, f.reason};
        }
    }
    return Settle(where.dir, ops);
}

Recovery Recover(const card::Location& where, FileOps& ops, const DirectoryLister& lister) {
    Recovery r;
    const fs::path path = where.dir / kJournalName;
    if (!Exists(path)) {
        return r;
    }
    r.found = true;
    const auto bytes = fileio::ReadPrefix(path, 1u << 20);
    const std::optional<Journal> journal =
        bytes ? ParseJournal(bytes->bytes) : std::optional<Journal>();
    if (!journal) {
        r.failure = Failure{path, "the journal of an interrupted reordering cannot be read"};
        return r;
    }
    const fs::path sounds = TrackScanner::SoundsDirectory(where.dir);
    if (Status done = FinishFolders(where.dir, sounds, journal->order, ops); !done) {
        r.failure = done.error();
        return r;
    }
    if (Status followed = FollowOnCard(where, *journal, ops, lister); !followed) {
        r.failure = followed.error();
    }
    return r;
}

}  // namespace soundsorder
